// The page: the saver's scene in the window, from the same core as the saver, compiled to
// WebAssembly. The scene runs beside the page (scene_thread.js, in a worker where the browser
// allows); this module is the page's side: it sizes the scene, and wires it to the settings
// panel, the address fragment, the sounds, full screen, the visitor's pictures and the page's
// buttons and keys.
import { FullScreen } from './full_screen.js';
import { formatFragment, pictureName, pixelBudget, readFragment, sceneSizeFor, timeOfDaySeed } from './page_options.js';
import { decodePicture } from './picture_file.js';
import { SaverSounds } from './saver_sounds.js';
import { SceneChannel } from './scene_channel.js';
import { SettingsPanel } from './settings_panel.js';

// Resizes come in bursts (a window dragged, a phone turned): the scene is laid out again
// once they have settled for this long.
const resizeSettle = 250;

const canvas = document.getElementById('scene');
const sounds = new SaverSounds(new URL('.', import.meta.url));
const heard = {
  // The scene's state, once it is of the run the page last opened (not of one before).
  state: ({ state, ticks, run: id }) => {
    if (id !== opened) return;
    canvas.dataset.state = state;
    canvas.dataset.ticks = String(ticks);
    tick = ticks;
  },
  'first-frame': () => performance.mark('wrigglet-first-frame'),
  sound: ({ resource }) => sounds.play(resource),
  leave: () => fullScreen.leave(),
  saved: ({ blob }) => save(blob),
  failed: ({ reason }) => notice(`The scene stopped: ${reason}.`),
};

// A message over the page in place of a scene that can't run (the first one says why).
function notice(message) {
  const box = document.getElementById('notice');
  if (!box.hidden) return;
  box.textContent = message;
  box.hidden = false;
}

let scene, defaults, tick = 0, opened = 0;
try {
  ({ channel: scene, defaults } = await SceneChannel.start(canvas, (message) => heard[message.type]?.(message)));
} catch (error) {
  notice(`The scene could not start in this browser: ${error.message}.`);
  throw error;
}

// The canvas's size in device pixels (as the resize observer last saw it), within the
// budget: a larger one keeps its shape.
let box = null, capped = false;
function sceneSize() {
  const ratio = window.devicePixelRatio || 1;
  const { width, height } = box ?? { width: Math.round(canvas.clientWidth * ratio), height: Math.round(canvas.clientHeight * ratio) };
  const size = sceneSizeFor({ width, height });
  const scaled = size.width * size.height < width * height;
  if (scaled && !capped)
    panel.say(`The window has ${width}x${height} pixels; the scene is drawn at ${size.width}x${size.height} ` +
              `(the page's limit is ${pixelBudget.toLocaleString('en')} pixels) and shown enlarged.`);
  capped = scaled;
  return size;
}

// The most a picture needs for the scene to cover the window at any size the screen allows.
function pictureCover() {
  const { width, height } = sceneSize(), ratio = window.devicePixelRatio || 1;
  return { width: Math.max(width, Math.round(screen.width * ratio)), height: Math.max(height, Math.round(screen.height * ratio)) };
}

// The run the address asks for; one without a seed gets the saver's own, and the address
// then names it, so that it can be shared. A field the page can't read is said, not hidden.
let run;
function takeRun({ mistyped = [], ...next }, { newEntry = false } = {}) {
  run = { ...next, seed: next.seed ?? timeOfDaySeed() };
  history[newEntry ? 'pushState' : 'replaceState'](null, '', formatFragment(run));
  if (mistyped.length)
    panel.say(`The page could not read ${mistyped.join(', ')} in the address, so the default stands in ` +
              `(this run's seed is ${run.seed}).`);
  sounds.setEnabled(run.settings.sound);
  panel.settings = run.settings;
  scene.send({ type: 'open', run: { id: ++opened, settings: run.settings, seed: run.seed, ticks: run.ticks }, size: sceneSize() });
}

function save(blob) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = pictureName(run, tick);
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  panel.say(`Saved the picture as “${link.download}”.`);
}

const fullScreen = new FullScreen(document.documentElement, {
  watch: (x, y) => scene.send({ type: 'watch', x, y }),
  moved: (x, y) => scene.send({ type: 'moved', x, y }),
});
const panel = new SettingsPanel(document.getElementById('panel'), {
  // A change is the visitor's doing, so the sound it turns on may start at once.
  settings: (settings) => {
    takeRun({ ...run, settings });
    sounds.unlock();
  },
  picture: async (file) => {
    let image;
    try {
      image = await decodePicture(file, pictureCover());
    } catch (error) {
      panel.say(`“${file.name}” ${error.message}; the picture stays as it was.`);
      return;
    }
    scene.send({ type: 'picture', image }, [image]);
    panel.say(`Showing “${file.name}”.`);
    takeRun({ ...run, settings: { ...run.settings, desktop: true } });
  },
  pause: () => pause(!paused.has('visitor')),
  fullScreen: () => fullScreen.enter().catch(() => panel.say('This browser did not allow full screen.')),
  newRun: () => takeRun({ settings: run.settings }, { newEntry: true }),
  copyLink: () =>
    navigator.clipboard.writeText(location.href).then(
      () => panel.say('Copied the link to this run.'),
      () => panel.say('This browser did not allow copying; the address bar holds the link to this run.')),
  savePicture: () => scene.send({ type: 'save' }),
});

// Holds on the scene: the visitor's pause, a hidden tab.
const paused = new Set();
function hold(reason, on) {
  if (on) paused.add(reason);
  else paused.delete(reason);
  scene.send({ type: 'hold', reason, on });
  sounds.quiet(paused.size > 0);
}

function pause(on) {
  hold('visitor', on);
  panel.paused = on;
}

// Dropping a picture anywhere on the page takes it, like the chooser.
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const [file] = event.dataTransfer.files;
  if (file) panel.handlers.picture(file);
});

for (const type of ['pointerdown', 'keydown']) document.addEventListener(type, () => sounds.unlock());
document.addEventListener('visibilitychange', () => hold('hidden', document.hidden));
window.addEventListener('hashchange', () => takeRun(readFragment(location.hash, defaults)));

hold('hidden', document.hidden);
if (matchMedia('(prefers-reduced-motion: reduce)').matches) pause(true);

// The number of layouts after the first, on the canvas for the tests to see.
let layouts = 0;
function relayout() {
  canvas.dataset.layouts = String(++layouts);
  scene.send({ type: 'resize', size: sceneSize() });
}

// One scene at the canvas's size in device pixels, opened when the canvas's size is first
// known and laid out again once a burst of new sizes has settled.
let settling = 0;
const resized = new ResizeObserver(([entry]) => {
  const device = entry.devicePixelContentBoxSize?.[0];
  box = device ? { width: device.inlineSize, height: device.blockSize } : null;
  clearTimeout(settling);
  if (!run) takeRun(readFragment(location.hash, defaults));
  else settling = setTimeout(relayout, resizeSettle);
});
try {
  resized.observe(canvas, { box: 'device-pixel-content-box' });
} catch {
  resized.observe(canvas);
}

// Offline visits and installing: the service worker keeps the site (not on file://).
if (location.protocol !== 'file:') navigator.serviceWorker?.register('service_worker.js').catch(() => {});
