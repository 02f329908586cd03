// The README's picture of the page: the site in build/web served by Python's static server,
// headless Chromium at 960x540, 1500 ticks of Lots and Turbo with the words over the page's
// own desktop, seed 7, the settings panel shown. Usage: node scripts/web-screenshot.mjs OUT.png
import { spawn } from 'node:child_process';
import { writeFileSync } from 'node:fs';
import { Browser } from '../tests/web/browser.mjs';

const out = process.argv[2] ?? 'docs/web-960x540.png';
const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', 'build/web'], { stdio: ['ignore', 'pipe', 'ignore'] });
const origin = await new Promise((resolve) => server.stdout.on('data', (d) => { const m = /port (\d+)/.exec(String(d)); if (m) resolve(`http://127.0.0.1:${m[1]}`); }));
const browser = await Browser.launch({ width: 960, height: 540 });
try {
  await browser.page('Emulation.setDeviceMetricsOverride', { width: 960, height: 540, deviceScaleFactor: 1, mobile: false });
  await browser.page('Page.navigate', { url: `${origin}/#seed=7&wrigglets=3&speed=3&desktop=1&text=1&sound=0&ticks=1500` });
  await browser.waitFor(`document.getElementById('scene').dataset.state === 'still'`, 180);
  await browser.page('Input.dispatchMouseEvent', { type: 'mouseMoved', x: 600, y: 400 });
  await browser.waitFor(`document.getElementById('panel').classList.contains('shown') && getComputedStyle(document.getElementById('panel')).opacity === '1'`);
  const { data } = await browser.page('Page.captureScreenshot', { format: 'png' });
  writeFileSync(out, Buffer.from(data, 'base64'));
  console.log(`wrote ${out}`);
} finally {
  await browser.close();
  server.kill();
}
