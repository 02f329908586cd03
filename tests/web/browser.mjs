// A headless Chromium driven over the DevTools protocol on a pipe (no WebSocket, no packages):
// launch, one page, commands and events, closing.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export class Browser {
  // Starts Chromium with a window of width x height and attaches to its first page.
  static async launch({ width = 1024, height = 768, extra = [], executable = process.env.CHROMIUM ?? '/usr/bin/chromium' } = {}) {
    const profile = mkdtempSync(join(tmpdir(), 'wrigglet-chromium-'));
    const args = [
      '--headless', '--disable-gpu', '--no-first-run', '--no-default-browser-check', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--disable-extensions', '--mute-audio', '--hide-scrollbars',
      '--remote-debugging-pipe', `--user-data-dir=${profile}`, `--window-size=${width},${height}`, ...extra, 'about:blank',
    ];
    if (process.getuid?.() === 0) args.unshift('--no-sandbox');  // Chromium's sandbox refuses root
    const child = spawn(executable, args, { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    const browser = new Browser(child, profile);
    const { targetInfos } = await browser.send('Target.getTargets');
    const page = targetInfos.find((t) => t.type === 'page');
    const { sessionId } = await browser.send('Target.attachToTarget', { targetId: page.targetId, flatten: true });
    browser.session = sessionId;
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = new Set();
    this.stderr = '';
    let input = '';
    child.stderr.on('data', (data) => (this.stderr += data));
    child.stdio[4].on('data', (data) => {
      input += data;
      for (let end; (end = input.indexOf('\0')) >= 0; input = input.slice(end + 1)) this.receive(JSON.parse(input.slice(0, end)));
    });
    this.exited = new Promise((resolve) => child.on('exit', resolve));
    this.exited.then(() => {
      for (const { reject } of this.pending.values()) reject(new Error(`Chromium ended: ${this.stderr.slice(-2000)}`));
    });
  }

  receive(message) {
    if (message.id === undefined) {
      for (const listener of this.listeners) listener(message);
      return;
    }
    const call = this.pending.get(message.id);
    this.pending.delete(message.id);
    if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
    else call.resolve(message.result);
  }

  // A command to the browser, or (session given) to the page.
  send(method, params = {}, session = undefined) {
    const id = this.nextId++;
    const message = { id, method, params, ...(session ? { sessionId: session } : {}) };
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.child.stdio[3].write(JSON.stringify(message) + '\0');
    });
  }

  page(method, params) {
    return this.send(method, params, this.session);
  }

  // Calls `listener(method, params)` for every event of the page.
  on(listener) {
    this.listeners.add((m) => m.sessionId === this.session && listener(m.method, m.params));
  }

  // The value of a JavaScript expression in the page (awaited when it is a promise).
  async evaluate(expression) {
    const { result, exceptionDetails } = await this.page('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
    return result.value;
  }

  // Evaluates `expression` every 50 ms until it is true (an exception counts as false, as
  // while a page loads); fails after `seconds`.
  async waitFor(expression, seconds = 30) {
    const deadline = Date.now() + seconds * 1000;
    for (let last = 'false'; ; await new Promise((resolve) => setTimeout(resolve, 50))) {
      try {
        if (await this.evaluate(expression)) return;
      } catch (error) {
        last = error.message;
      }
      if (Date.now() > deadline) throw new Error(`still ${last} after ${seconds} s: ${expression}`);
    }
  }

  async close() {
    this.send('Browser.close').catch(() => {});
    const timeout = setTimeout(() => this.child.kill('SIGKILL'), 5000);
    await this.exited;
    clearTimeout(timeout);
    rmSync(this.profile, { recursive: true, force: true });
  }
}
