// The page's figures in headless Chromium (run by scripts/bench-web.sh): the step and the
// tick in WebAssembly (bench/tick_bench.cpp's page), load to first frame at 1920 x 1080,
// the longest task of the page's own thread at 1080p and 4K on load and through a burst of
// resizes, the page's main-thread time per tick, and the site's size compressed.
// Usage: node bench/web_bench.mjs BUILD_DIR   (BUILD_DIR holds web/ and web-build/bench/)
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { Browser } from '../tests/web/browser.mjs';
import { serveSite } from '../scripts/site-server.mjs';

const build = process.argv[2];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const { origin, close } = await serveSite(build);
const browser = await Browser.launch({ width: 1920, height: 1080 });
const lines = [], trace = [];
browser.on((method, params) => method === 'Runtime.consoleAPICalled' && lines.push(params.args.map((a) => a.value).join(' ')));
browser.on((method, params) => method === 'Tracing.dataCollected' && trace.push(...params.value));
const windowSize = (width, height) => browser.page('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile: false });
for (const domain of ['Runtime', 'Page', 'Performance']) await browser.page(`${domain}.enable`);
await windowSize(1920, 1080);

// The longest task of the page's own thread (the renderer's main thread) and of the scene's
// worker while `action` runs, in milliseconds.
async function longestTasks(action) {
  trace.length = 0;
  await browser.page('Tracing.start', { categories: 'toplevel,__metadata', transferMode: 'ReportEvents' });
  await action();
  const complete = new Promise((resolve) => browser.on((method) => method === 'Tracing.tracingComplete' && resolve()));
  await browser.page('Tracing.end');
  await complete;
  const longest = (thread) => {
    const ids = new Set(trace.filter((e) => e.name === 'thread_name' && e.args.name === thread).map((e) => `${e.pid}/${e.tid}`));
    const tasks = trace.filter((e) => e.ph === 'X' && e.name === 'ThreadControllerImpl::RunTask' && ids.has(`${e.pid}/${e.tid}`));
    return Math.max(0, ...tasks.map((e) => e.dur / 1000)).toFixed(1);
  };
  return `${longest('CrRendererMain')} ms (the scene's worker: ${longest('DedicatedWorker thread')} ms)`;
}

async function open(path) {
  await browser.page('Page.navigate', { url: 'about:blank' });
  await browser.page('Page.navigate', { url: `${origin}/${path}` });
}

try {
  await open('web-build/bench/tick_bench.html');
  const deadline = Date.now() + 120000;
  while (lines.length < 2 && Date.now() < deadline) await sleep(100);
  for (const line of lines) console.log(`WebAssembly ${line}`);

  const firstFrames = [];
  for (let i = 0; i < 6; ++i) {
    await open('web/#seed=7&wrigglets=3&speed=3&desktop=1&text=0');
    await browser.waitFor(`performance.getEntriesByName('wrigglet-first-frame').length > 0`);
    firstFrames.push(await browser.evaluate(`performance.getEntriesByName('wrigglet-first-frame')[0].startTime`));
  }
  console.log(`load to first frame at 1920x1080: ${firstFrames[0].toFixed(0)} ms the first time, median ${median(firstFrames.slice(1)).toFixed(0)} ms of 5 more`);

  for (const [width, height] of [[1920, 1080], [3840, 2160]]) {
    await windowSize(width, height);
    const load = await longestTasks(async () => {
      await open('web/#seed=7&wrigglets=3&speed=3&desktop=1&text=1');
      await browser.waitFor(`Number(document.getElementById('scene').dataset.ticks) > 0`, 60);
    });
    const resize = await longestTasks(async () => {
      for (let i = 1; i <= 50; ++i) await windowSize(width - i * 8, height - i * 4).then(() => sleep(20));
      await browser.waitFor(`document.getElementById('scene').width === ${width - 400}`, 60);
      await sleep(2000);
    });
    console.log(`longest task of the page's thread at ${width}x${height}: loading ${load}; through 50 resizes ${resize}`);
  }
  await windowSize(1920, 1080);
  await open('web/#seed=7&wrigglets=3&speed=3&desktop=1&text=0');

  // The page's own ticks, their presents included, once the population has grown a little.
  const ticks = () => browser.evaluate(`Number(document.getElementById('scene').dataset.ticks)`);
  const busy = async () => (await browser.page('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  await browser.waitFor(`Number(document.getElementById('scene').dataset.ticks) >= 50`);
  const [ticks0, busy0] = [await ticks(), await busy()];
  await sleep(8000);
  const [ticks1, busy1] = [await ticks(), await busy()];
  console.log(`page main thread per tick at 1920x1080, Lots, Turbo (ticks ${ticks0}..${ticks1}; the scene ticks in its worker): ${(((busy1 - busy0) * 1e6) / (ticks1 - ticks0)).toFixed(0)} us`);
} finally {
  await browser.close();
  await close();
}

const site = join(build, 'web');
let code = 0, media = 0;
for (const name of readdirSync(site)) {
  const size = gzipSync(readFileSync(join(site, name)), { level: 9 }).length;
  if (/\.(wav|png|ico)$/.test(name)) media += size;
  else code += size;
}
console.log(`site compressed (gzip -9): ${(code / 1024).toFixed(1)} KB without the sounds and pictures, ${((code + media) / 1024).toFixed(1)} KB with them`);
