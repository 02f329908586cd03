// The scene's side of the page: the core compiled to WebAssembly (the words' font and
// rasteriser inside it), its loop over the canvas, and the desktop picture. It runs in a worker over the canvas's OffscreenCanvas,
// so the page's own thread never waits on a set-up or a tick, or on the page itself where
// the browser can't hand a canvas to a worker; either way it speaks with the page (main.js)
// only in messages, whose verbs are below.
import createCore from './wrigglet.js';
import { DesktopPicture } from './desktop_picture.js';
import { defaultSettings } from './page_options.js';
import { PageLoop } from './page_loop.js';

// Starts the scene over `canvas`; `post(message)` reaches the page. Answers the function
// that takes the page's messages, after posting { type: 'ready', defaults }; or posts
// { type: 'failed', reason } and answers null when the core can't start.
export async function startScene(canvas, post) {
  const loop = new PageLoop(canvas);
  const picture = new DesktopPicture();
  let core;
  try {
    core = await createCore({
      page: {
        showBuffer: (address, width, height) => loop.showBuffer(address, width, height),
        putRect: (x, y, width, height) => loop.putRect(x, y, width, height),
        drawDesktop: (address, width, height) => picture.fill(core.HEAPU8, address, width, height),
        playSound: (resource) => post({ type: 'sound', resource }),
      },
    });
  } catch (error) {
    post({ type: 'failed', reason: String(error?.message ?? error) });
    return null;
  }
  loop.attach(core);
  loop.onState = (state, ticks, run) => post({ type: 'state', state, ticks, run });
  loop.onPresent = () => {
    post({ type: 'first-frame' });
    loop.onPresent = () => {};
  };

  const verbs = {
    open: ({ run, size }) => loop.open(run, size),
    resize: ({ size }) => loop.resize(size),
    hold: ({ reason, on }) => loop.hold(reason, on),
    picture: ({ image }) => picture.take(image),
    // The saver's mouse-move rule in full screen, in device pixels of the page.
    watch: ({ x, y }) => core._wrigglet_watch_mouse(x, y),
    moved: ({ x, y }) => core._wrigglet_mouse_moved(x, y) && post({ type: 'leave' }),
    save: async () => post({ type: 'saved', blob: await loop.picture() }),
  };
  post({ type: 'ready', defaults: defaultSettings(core) });
  return (message) => verbs[message.type]?.(message);
}
