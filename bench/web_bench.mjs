// The page's figures in headless Chromium (run by scripts/bench-web.sh): the step and the
// tick in WebAssembly (bench/tick_bench.cpp's page), load to first frame at 1920 x 1080,
// the page's main-thread time per tick, and the site's size compressed.
// Usage: node bench/web_bench.mjs BUILD_DIR   (BUILD_DIR holds web/ and web-build/bench/)
import { spawn } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { Browser } from '../tests/web/browser.mjs';

const build = process.argv[2];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', build], { stdio: ['ignore', 'pipe', 'ignore'] });
const origin = await new Promise((resolve) => server.stdout.on('data', (d) => { const m = /port (\d+)/.exec(String(d)); if (m) resolve(`http://127.0.0.1:${m[1]}`); }));
const browser = await Browser.launch({ width: 1920, height: 1080 });
const lines = [];
browser.on((method, params) => method === 'Runtime.consoleAPICalled' && lines.push(params.args.map((a) => a.value).join(' ')));
for (const domain of ['Runtime', 'Page', 'Performance']) await browser.page(`${domain}.enable`);
await browser.page('Emulation.setDeviceMetricsOverride', { width: 1920, height: 1080, deviceScaleFactor: 1, mobile: false });

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

  // The page's own ticks, their presents included, once the population has grown a little.
  const ticks = () => browser.evaluate(`Number(document.getElementById('scene').dataset.ticks)`);
  const busy = async () => (await browser.page('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  await browser.waitFor(`Number(document.getElementById('scene').dataset.ticks) >= 50`);
  const [ticks0, busy0] = [await ticks(), await busy()];
  await sleep(8000);
  const [ticks1, busy1] = [await ticks(), await busy()];
  console.log(`page main thread per tick at 1920x1080, Lots, Turbo (ticks ${ticks0}..${ticks1}, present included): ${(((busy1 - busy0) * 1e6) / (ticks1 - ticks0)).toFixed(0)} us`);
} finally {
  await browser.close();
  server.kill();
}

const site = join(build, 'web');
let code = 0, sounds = 0;
for (const name of readdirSync(site)) {
  const size = gzipSync(readFileSync(join(site, name)), { level: 9 }).length;
  if (name.endsWith('.wav')) sounds += size;
  else code += size;
}
console.log(`site compressed (gzip -9): ${(code / 1024).toFixed(1)} KB without the sounds, ${((code + sounds) / 1024).toFixed(1)} KB with them`);
