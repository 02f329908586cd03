// The worker that runs the scene off the page's thread: its first message hands it the
// canvas (an OffscreenCanvas); every later one is for the scene (scene_thread.js).
import { startScene } from './scene_thread.js';

let receive = null;
self.addEventListener('message', async ({ data }) => {
  if (data.type === 'start') receive = await startScene(data.canvas, (message) => self.postMessage(message));
  else receive?.(data);
});
