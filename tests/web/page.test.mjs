// The page in headless Chromium, served from the built site by the site's own server (with
// its strict Content-Security-Policy), against wrigglet-sim: a run's frame pixel for pixel
// (and the saved picture of it), a chosen picture under the trails (and files that are not
// fit to be one), full screen's leaving rule, the page's promises in one table, and a console
// without errors or warnings. Needs WRIGGLET_SITE (the site) and WRIGGLET_SIM (the
// simulator); exits 77 (skipped) without them.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { Browser } from './browser.mjs';
import { serveSite } from '../../scripts/site-server.mjs';

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

// How many pixels of the canvas (or of the PNG `shown`) differ from the PNG's, and the first of them.
function compareCanvas(png, shown = null) {
  const base64 = (file) => readFileSync(file).toString('base64');
  return browser.evaluate(`(async () => {
    const decode = (data) => createImageBitmap(new Blob([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))], { type: 'image/png' }), { colorSpaceConversion: 'none' });
    const canvas = ${shown ? `await decode('${base64(shown)}')` : `document.getElementById('scene')`}, { width, height } = canvas;
    const picture = await decode('${base64(png)}');
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
const notice = `document.getElementById('notice').textContent`;

async function open(fragment, url = `${origin}/${fragment}`) {
  await browser.page('Page.navigate', { url: 'about:blank' });
  await browser.page('Page.navigate', { url });
}

async function click(selector) {
  const [x, y] = await browser.evaluate(`(() => { const r = document.querySelector('${selector}').getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()`);
  await browser.page('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
  for (const type of ['mousePressed', 'mouseReleased']) await browser.page('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
  return [x, y];
}

const moveTo = (x, y) => browser.page('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const settle = () => sleep(500);
const windowSize = (width, height) => browser.page('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile: false });
const press = (key) => browser.page('Input.dispatchKeyEvent', { type: 'keyDown', key, code: `Key${key.toUpperCase()}`, text: key });

async function chooseFile(path) {
  const { root } = await browser.page('DOM.getDocument');
  const { nodeId } = await browser.page('DOM.querySelector', { nodeId: root.nodeId, selector: '#picture' });
  await browser.page('DOM.setFileInputFiles', { nodeId, files: [path] });
}

before(async () => {
  ({ origin, close: server } = await serveSite(site));
  browser = await Browser.launch();
  browser.on((method, params) => {
    if (method === 'Runtime.consoleAPICalled' && ['error', 'warning', 'assert'].includes(params.type))
      problems.push(`console.${params.type}: ${params.args.map((a) => a.value ?? a.description).join(' ')}`);
    if (method === 'Runtime.exceptionThrown') problems.push(`exception: ${params.exceptionDetails.exception?.description ?? params.exceptionDetails.text}`);
    if (method === 'Log.entryAdded' && ['error', 'warning'].includes(params.entry.level) && !params.entry.url?.startsWith('file:'))
      problems.push(`${params.entry.level}: ${params.entry.text} ${params.entry.url ?? ''}`);
  });
  for (const domain of ['Runtime', 'Log', 'Page', 'DOM']) await browser.page(`${domain}.enable`);
  await browser.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: work });
  // Every task of the page's own thread over 50 ms, from the start of each page.
  await browser.page('Page.addScriptToEvaluateOnNewDocument', {
    source: `window.longest = 0; new PerformanceObserver((list) => list.getEntries().forEach((e) => (window.longest = Math.max(window.longest, e.duration)))).observe({ type: 'longtask', buffered: true });`,
  });
  await windowSize(1024, 768);
});

after(async () => {
  await browser?.close();
  await server?.();
  rmSync(work, { recursive: true, force: true });
});

test('a run from the address equals the simulator frame for frame, and so does its saved picture', async () => {
  await open(`${run}&text=0&desktop=0`);
  await browser.waitFor(canvasIs('still', 200));
  const png = simulate('black', '--seed', '7', '--ticks', '200', '--wrigglets', '3', '--speed', '3', '--text', 'off');
  assert.deepEqual(await compareCanvas(png), { differing: 0, first: null });
  await click('#save-picture');
  const saved = join(work, 'wrigglet2004-seed7-tick200.png');
  await browser.waitFor(`${status}.startsWith('Saved')`);
  for (let i = 0; i < 100 && !existsSync(saved); ++i) await sleep(100);
  assert.deepEqual(await compareCanvas(png, saved), { differing: 0, first: null });
});

test('with Text on the words are the simulator\'s, pixel for pixel', async (t) => {
  const png = join(work, 'words.png');
  const stats = execFileSync(sim, ['--size', '1024x768', '--png', png, '--seed', '7', '--ticks', '200', '--wrigglets', '3', '--speed', '3', '--text', 'on', '--stats'], { encoding: 'utf8' });
  if (!stats.includes('font: /usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf'))
    return t.skip(`the simulator draws the words with another font than the page's: ${/font: .*/.exec(stats)?.[0]}`);
  await open(`${run}&text=1&desktop=0`);
  await browser.waitFor(canvasIs('still', 200));
  assert.deepEqual(await compareCanvas(png), { differing: 0, first: null });
});

test('a chosen picture lies under the trails; a file unfit for one leaves it and says why', async () => {
  const picture = simulate('picture', '--seed', '11', '--ticks', '600', '--wrigglets', '3', '--speed', '3');
  const expected = simulate('over-picture', '--seed', '7', '--ticks', '200', '--wrigglets', '3', '--speed', '3', '--background', picture);
  await open(`${run}&text=0&desktop=0`);
  await browser.waitFor(canvasIs('still', 200));
  await chooseFile(picture);
  await browser.waitFor(`${status}.startsWith('Showing') && location.hash.includes('desktop=1') && ${canvasIs('still', 200)}`);
  assert.deepEqual(await compareCanvas(expected), { differing: 0, first: null });

  // A PNG's signature, its header chunk for 30000 x 30000 pixels, and its end chunk.
  const bytes = readFileSync(picture), huge = Buffer.concat([bytes.subarray(0, 33), bytes.subarray(-12)]);
  huge.writeUInt32BE(30000, 16);
  huge.writeUInt32BE(30000, 20);
  for (const [name, contents, says] of [
    ['notes.png', 'not a picture\n', 'is not a PNG, JPEG, GIF, WebP or BMP picture'],
    ['cut.png', bytes.subarray(0, bytes.length / 2), 'is a PNG file cut short'],
    ['huge.png', huge, 'is too large: 30000x30000, the limit is 16384 pixels a side'],
  ]) {
    writeFileSync(join(work, name), contents);
    await chooseFile(join(work, name));
    await browser.waitFor(`${status}.startsWith('“${name}” ${says}') && ${status}.endsWith('the picture stays as it was.')`);
  }
  assert.deepEqual(await compareCanvas(expected), { differing: 0, first: null });
});

test('full screen hides the cursor; a 4 px move keeps it, a 5 px move or a key leaves it', async () => {
  await open(`${run}&text=0&desktop=1`);
  await browser.waitFor(`document.getElementById('scene').dataset.state !== undefined`);
  const fullScreen = `document.fullscreenElement !== null && getComputedStyle(document.body).cursor === 'none'`;
  const [x, y] = (await click('#full-screen')).map((v) => v + 1);
  await browser.waitFor(fullScreen);
  await moveTo(x, y);  // the watch starts at the first move
  await moveTo(x + 4, y - 4);
  await settle();
  assert.ok(await browser.evaluate(fullScreen), 'a 4 px move left full screen');
  await moveTo(x + 5, y);
  await browser.waitFor('document.fullscreenElement === null');

  await press('f');
  await browser.waitFor(fullScreen);
  await press('a');
  await browser.waitFor('document.fullscreenElement === null');
});

// What the page promises beyond the frame: each row sets the page up, then waits for what
// must hold. The budget is the page's 7680 x 4320 pixels.
const promises = [
  ['the scene starts under the strict CSP, the panel styled from its stylesheet', {
    go: () => open(`${run}&text=1`),
    holds: `getComputedStyle(document.getElementById('panel')).position === 'fixed' && Number(document.getElementById('scene').dataset.ticks) > 0`,
  }],
  ['a mistyped seed keeps the default run and says so; N starts a new run', {
    go: async () => {
      await open('#seed=7x&wrigglets=3');
      await browser.waitFor(`${status}.includes('seed=7x')`);
      const seed = await browser.evaluate(`location.hash`);
      await press('n');
      await browser.waitFor(`location.hash !== '${seed}'`);
    },
    holds: `/^#seed=[0-9]+&wrigglets=3&/.test(location.hash)`,
  }],
  ['no task of the page\'s thread passes 300 ms at 4K, loading or through 20 resizes, which make a layout or two', {
    go: async () => {
      await windowSize(3840, 2160);
      await open(`#seed=7&wrigglets=3&speed=3&text=1`);
      await browser.waitFor(`Number(document.getElementById('scene').dataset.ticks) > 0`, 60);
      for (let i = 0; i < 20; ++i) await windowSize(3840 - i * 40, 2160 - i * 20).then(() => sleep(20));
    },
    holds: `document.getElementById('scene').width === 3080 && Number(document.getElementById('scene').dataset.layouts) <= 2 && window.longest < 300`,
  }],
  ['a canvas over the budget is drawn at the budget, its shape kept, and says so', {
    go: async () => {
      await windowSize(8192, 4608);
      await open(`${run}&text=0`);
    },
    holds: `document.getElementById('scene').width === 7680 && document.getElementById('scene').height === 4320 && ${status}.includes('limit is 33,177,600 pixels')`,
  }],
  ['without WebAssembly the page says so', {
    go: async () => {
      await windowSize(1024, 768);
      const { identifier } = await browser.page('Page.addScriptToEvaluateOnNewDocument', { source: 'delete globalThis.WebAssembly;' });
      await open(run);
      await browser.waitFor(`${notice}.includes('no WebAssembly')`);
      await browser.page('Page.removeScriptToEvaluateOnNewDocument', { identifier });
    },
    holds: `document.getElementById('notice').checkVisibility()`,
  }],
  ['opened as a file the page says how to serve it', {
    go: () => open('', `file://${resolve(site)}/index.html${run}`),
    holds: `${notice}.includes('python3 -m http.server') && document.getElementById('notice').checkVisibility()`,
  }],
  ['installable: manifest, icons, service worker', {
    go: async () => {
      await open(run);
      await browser.waitFor(`navigator.serviceWorker.controller !== null && Number(document.getElementById('scene').dataset.ticks) > 0`);
      assert.deepEqual((await browser.page('Page.getInstallabilityErrors')).installabilityErrors, []);
    },
    holds: `fetch('manifest.webmanifest').then((r) => r.json()).then((m) => m.icons.filter((i) => i.purpose === 'maskable').map((i) => i.sizes).join() === '192x192,512x512')`,
  }],
  ['offline, a reload still runs the scene', {
    go: async () => {
      await server();
      await browser.page('Page.reload');
    },
    holds: `Number(document.getElementById('scene').dataset.ticks) > 0 && ${notice} === ''`,
  }],
];

for (const [name, { go, holds }] of promises)
  test(name, async () => {
    await go();
    await browser.waitFor(holds, 60);
  });

test('the runs above and ten seconds with the desktop, the words and the sound leave the console clean', async () => {
  ({ origin, close: server } = await serveSite(site, Number(new URL(origin).port)));
  await open('#wrigglets=3&speed=3&text=1&sound=1&desktop=1');
  await browser.waitFor(`document.getElementById('scene').dataset.state === 'running'`);
  await click('#scene');  // a gesture, so the sound may start
  await sleep(10000);
  assert.ok(Number(await browser.evaluate(`document.getElementById('scene').dataset.ticks`)) > 0);
  assert.deepEqual(problems, []);
});
