// The page: the saver's scene in the window, from the same core as the saver, compiled to
// WebAssembly. This module wires the core to the canvas, the desktop picture, the words, the
// sounds, the settings panel, the address fragment and full screen.
import createCore from './wrigglet.js';
import { CanvasText } from './canvas_text.js';
import { DesktopPicture } from './desktop_picture.js';
import { FullScreen } from './full_screen.js';
import { defaultSettings, formatFragment, readFragment, timeOfDaySeed } from './page_options.js';
import { SaverSounds } from './saver_sounds.js';
import { PageLoop } from './page_loop.js';
import { SettingsPanel } from './settings_panel.js';

const canvas = document.getElementById('scene');
const loop = new PageLoop(canvas);
const picture = new DesktopPicture();
const text = new CanvasText();
const sounds = new SaverSounds(new URL('.', import.meta.url));

const core = await createCore({
  page: {
    showBuffer: (address, width, height) => loop.showBuffer(address, width, height),
    putRect: (x, y, width, height) => loop.putRect(x, y, width, height),
    drawDesktop: (address, width, height) => picture.fill(core.HEAPU8, address, width, height),
    text: {
      begin: (...request) => text.begin(...request),
      measure: (word) => text.measure(word),
      draw: (word, x, y) => text.draw(word, x, y),
      read: (address) => text.read(core.HEAPU8, address),
      end: () => text.end(),
    },
    playSound: (resource) => sounds.play(resource),
  },
});
loop.attach(core);
loop.onPresent = () => {
  performance.mark('wrigglet-first-frame');
  loop.onPresent = () => {};
};

// The run the address asks for; one without a seed gets the saver's own, and the address
// then names it, so that it can be shared.
const defaults = defaultSettings(core);
let run = readFragment(location.hash, defaults);
function takeRun(next) {
  run = { ...next, seed: next.seed ?? timeOfDaySeed() };
  history.replaceState(null, '', formatFragment(run));
  sounds.setEnabled(run.settings.sound);
  panel.settings = run.settings;
  loop.open(run);
}

const fullScreen = new FullScreen(document.documentElement, core);
const panel = new SettingsPanel(document.getElementById('panel'), {
  // A change is the visitor's doing, so the sound it turns on may start at once.
  settings: (settings) => {
    takeRun({ ...run, settings });
    sounds.unlock();
  },
  picture: async (file) => {
    try {
      await picture.load(file);
    } catch {
      panel.say(`“${file.name}” is not a picture this browser can read; the picture stays as it was.`);
      return;
    }
    panel.say(`Showing “${file.name}”.`);
    takeRun({ ...run, settings: { ...run.settings, desktop: true } });
  },
  pause: () => pause(!loop.holds.has('visitor')),
  fullScreen: () => fullScreen.enter().catch(() => panel.say('This browser did not allow full screen.')),
});

function pause(on) {
  loop.hold('visitor', on);
  panel.paused = on;
  sounds.quiet(loop.paused);
}

// Dropping a picture anywhere on the page takes it, like the chooser.
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const [file] = event.dataTransfer.files;
  if (file) panel.handlers.picture(file);
});

for (const type of ['pointerdown', 'keydown']) document.addEventListener(type, () => sounds.unlock());
document.addEventListener('visibilitychange', () => {
  loop.hold('hidden', document.hidden);
  sounds.quiet(loop.paused);
});
window.addEventListener('hashchange', () => takeRun(readFragment(location.hash, defaults)));

// One scene at the canvas's size in device pixels, laid out again when that changes.
const resized = new ResizeObserver(([entry]) => {
  const box = entry.devicePixelContentBoxSize?.[0];
  loop.resize(box ? { width: box.inlineSize, height: box.blockSize } : undefined);
});
try {
  resized.observe(canvas, { box: 'device-pixel-content-box' });
} catch {
  resized.observe(canvas);
}

loop.hold('hidden', document.hidden);
if (matchMedia('(prefers-reduced-motion: reduce)').matches) pause(true);
takeRun(run);
