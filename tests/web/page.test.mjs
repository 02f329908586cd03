// The page in headless Chromium, served from the built site by Python's static server, against
// wrigglet-sim: a run's frame pixel for pixel, a chosen picture under the trails (and a file
// that is not one), full screen's leaving rule, and a console without errors or warnings.
// Needs WRIGGLET_SITE (the site) and WRIGGLET_SIM (the simulator); exits 77 (skipped)
// without them.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { Browser } from './browser.mjs';

const site = process.env.WRIGGLET_SITE, sim = process.env.WRIGGLET_SIM;
for (const [what, path] of [['the site (WRIGGLET_SITE)', `${site}/index.html`], ['wrigglet-sim (WRIGGLET_SIM)', sim], ['Chromium', '/usr/bin/chromium']]) {
  if (!path || !existsSync(path)) {
    console.log(`skipped: no ${what} at ${path}`);
    process.exit(77);
  }
}

const work = mkdtempSync(join(tmpdir(), 'wrigglet-page-'));
const run = '#seed=7&ticks=200&wrigglets=3&speed=3';
const problems = [];
let server, origin, browser;

function simulate(name, ...options) {
  const png = join(work, `${name}.png`);
  execFileSync(sim, ['--size', '1024x768', '--png', png, ...options]);
  return png;
}

// How many pixels of the canvas differ from the PNG's, and the first of them.
function compareCanvas(png) {
  const data = readFileSync(png).toString('base64');
  return browser.evaluate(`(async () => {
    const canvas = document.getElementById('scene'), { width, height } = canvas;
    const bytes = Uint8Array.from(atob('${data}'), (c) => c.charCodeAt(0));
    const picture = await createImageBitmap(new Blob([bytes], { type: 'image/png' }), { colorSpaceConversion: 'none' });
    if (picture.width !== width || picture.height !== height) return { size: [width, height, picture.width, picture.height] };
    const pixels = (source) => {
      const context = new OffscreenCanvas(width, height).getContext('2d', { willReadFrequently: true });
      context.drawImage(source, 0, 0);
      return new Uint32Array(context.getImageData(0, 0, width, height).data.buffer);
    };
    const page = pixels(canvas), simulated = pixels(picture);
    let differing = 0, first = null;
    for (let i = 0; i < page.length; ++i)
      if (page[i] !== simulated[i] && differing++ === 0) first = { x: i % width, y: Math.floor(i / width), page: page[i], sim: simulated[i] };
    return { differing, first };
  })()`);
}

const canvasIs = (state, ticks) => `document.getElementById('scene').dataset.state === '${state}' && document.getElementById('scene').dataset.ticks === '${ticks}'`;
const status = `document.getElementById('status').textContent`;

async function open(fragment) {
  await browser.page('Page.navigate', { url: 'about:blank' });
  await browser.page('Page.navigate', { url: `${origin}/${fragment}` });
  await browser.waitFor(`document.getElementById('scene').dataset.state !== undefined`);
}

async function click(selector) {
  const [x, y] = await browser.evaluate(`(() => { const r = document.querySelector('${selector}').getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()`);
  await browser.page('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
  for (const type of ['mousePressed', 'mouseReleased']) await browser.page('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
  return [x, y];
}

const moveTo = (x, y) => browser.page('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
const settle = () => new Promise((resolve) => setTimeout(resolve, 500));

async function chooseFile(path) {
  const { root } = await browser.page('DOM.getDocument');
  const { nodeId } = await browser.page('DOM.querySelector', { nodeId: root.nodeId, selector: '#picture' });
  await browser.page('DOM.setFileInputFiles', { nodeId, files: [path] });
}

before(async () => {
  server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', site], { stdio: ['ignore', 'pipe', 'ignore'] });
  origin = await new Promise((resolve, reject) => {
    server.stdout.on('data', (data) => {
      const port = /port (\d+)/.exec(String(data));
      if (port) resolve(`http://127.0.0.1:${port[1]}`);
    });
    server.on('exit', () => reject(new Error('the static server ended')));
  });
  browser = await Browser.launch();
  browser.on((method, params) => {
    if (method === 'Runtime.consoleAPICalled' && ['error', 'warning', 'assert'].includes(params.type))
      problems.push(`console.${params.type}: ${params.args.map((a) => a.value ?? a.description).join(' ')}`);
    if (method === 'Runtime.exceptionThrown') problems.push(`exception: ${params.exceptionDetails.exception?.description ?? params.exceptionDetails.text}`);
    if (method === 'Log.entryAdded' && ['error', 'warning'].includes(params.entry.level)) problems.push(`${params.entry.level}: ${params.entry.text} ${params.entry.url ?? ''}`);
  });
  for (const domain of ['Runtime', 'Log', 'Page', 'DOM']) await browser.page(`${domain}.enable`);
  await browser.page('Emulation.setDeviceMetricsOverride', { width: 1024, height: 768, deviceScaleFactor: 1, mobile: false });
});

after(async () => {
  await browser?.close();
  server?.kill();
  rmSync(work, { recursive: true, force: true });
});

test('a run from the address equals the simulator frame for frame', async () => {
  await open(`${run}&text=0&desktop=0`);
  await browser.waitFor(canvasIs('still', 200));
  const png = simulate('black', '--seed', '7', '--ticks', '200', '--wrigglets', '3', '--speed', '3', '--text', 'off');
  assert.deepEqual(await compareCanvas(png), { differing: 0, first: null });
});

test('a chosen picture lies under the trails; a file that is no picture leaves it and says so', async () => {
  const picture = simulate('picture', '--seed', '11', '--ticks', '600', '--wrigglets', '3', '--speed', '3');
  const expected = simulate('over-picture', '--seed', '7', '--ticks', '200', '--wrigglets', '3', '--speed', '3', '--background', picture);
  await open(`${run}&text=0&desktop=0`);
  await browser.waitFor(canvasIs('still', 200));
  await chooseFile(picture);
  await browser.waitFor(`${status}.startsWith('Showing') && location.hash.includes('desktop=1') && ${canvasIs('still', 200)}`);
  assert.deepEqual(await compareCanvas(expected), { differing: 0, first: null });

  const text = join(work, 'notes.png');
  writeFileSync(text, 'not a picture\n');
  await chooseFile(text);
  await browser.waitFor(`${status}.includes('not a picture')`);
  assert.deepEqual(await compareCanvas(expected), { differing: 0, first: null });
});

test('full screen hides the cursor; a 4 px move keeps it, a 5 px move or a key leaves it', async () => {
  await open(`${run}&text=0&desktop=1`);
  const fullScreen = `document.fullscreenElement !== null && getComputedStyle(document.body).cursor === 'none'`;
  const [x, y] = (await click('#full-screen')).map((v) => v + 1);
  await browser.waitFor(fullScreen);
  await moveTo(x, y);  // the watch starts at the first move
  await moveTo(x + 4, y - 4);
  await settle();
  assert.ok(await browser.evaluate(fullScreen), 'a 4 px move left full screen');
  await moveTo(x + 5, y);
  await browser.waitFor('document.fullscreenElement === null');

  await click('#full-screen');
  await browser.waitFor(fullScreen);
  await browser.page('Input.dispatchKeyEvent', { type: 'keyDown', key: 'a', code: 'KeyA', text: 'a' });
  await browser.waitFor('document.fullscreenElement === null');
});

test('ten seconds with the desktop, the words and the sound leave the console clean', async () => {
  await open('#wrigglets=3&speed=3&text=1&sound=1&desktop=1');
  await browser.waitFor(`document.getElementById('scene').dataset.state === 'running'`);
  await click('#scene');  // a gesture, so the sound may start
  await new Promise((resolve) => setTimeout(resolve, 10000));
  assert.ok(Number(await browser.evaluate(`document.getElementById('scene').dataset.ticks`)) > 0);
  assert.deepEqual(problems, []);
});
