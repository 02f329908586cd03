// The page's line to the scene (scene_thread.js): a worker drawing into the canvas's
// OffscreenCanvas, or, where the browser can't hand a canvas to a worker, the same scene on
// the page. Messages go both ways and arrive later, never at once, in both cases.

export class SceneChannel {
  // Starts the scene over `canvas`; every message from it but the first goes to
  // `listener`. Answers the channel and the core's default settings once the scene is
  // ready; rejects with the reason when it can't start.
  static async start(canvas, listener) {
    const channel = new SceneChannel(listener);
    if (typeof canvas.transferControlToOffscreen === 'function') {
      const worker = new Worker(new URL('scene_worker.js', import.meta.url), { type: 'module' });
      worker.addEventListener('message', ({ data }) => channel.heard(data));
      worker.addEventListener('error', (event) => channel.heard({ type: 'failed', reason: event.message || 'its worker did not load' }));
      const offscreen = canvas.transferControlToOffscreen();
      worker.postMessage({ type: 'start', canvas: offscreen }, [offscreen]);
      channel.send = (message, transfer = []) => worker.postMessage(message, transfer);
    } else {
      const { startScene } = await import('./scene_thread.js');
      const receive = await startScene(canvas, (message) => setTimeout(() => channel.heard(message)));
      channel.send = (message) => setTimeout(() => receive?.(message));
    }
    const defaults = await channel.ready;
    return { channel, defaults };
  }

  constructor(listener) {
    this.listener = listener;
    this.send = () => {};
    this.ready = new Promise((resolve, reject) => (this.settle = { resolve, reject }));
    this.started = false;
  }

  heard(message) {
    if (this.started) this.listener(message);
    else if (message.type === 'ready') this.settle.resolve(message.defaults);
    else if (message.type === 'failed') this.settle.reject(new Error(message.reason));
    this.started ||= message.type === 'ready';
  }
}
