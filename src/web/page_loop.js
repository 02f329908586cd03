// The scene's timer and canvas: opens the core's scene session over the canvas at the size
// the page asks for (device pixels), ticks it when the core's tick clock says, lays it out
// again at a new size, and holds it still while anything asks (the visitor, a hidden tab).
// The canvas is the page's OffscreenCanvas in the scene's worker, or the page's own canvas
// where the browser can't hand it to a worker; both draw alike.

export class PageLoop {
  constructor(canvas) {
    this.canvas = canvas;
    this.context = canvas.getContext('2d', { alpha: false });
    this.core = null;
    this.buffer = null;  // the module's RGBA picture: { address, width, height }
    this.image = null;
    this.delay = -1;  // milliseconds to the next tick, as the core answered; -1: none wanted
    this.timer = 0;
    this.holds = new Set();
    this.onPresent = () => {};
    this.onState = () => {};  // (state, ticks, run): 'running', 'paused' or 'still'
    this.run = undefined;  // the page's name for the run open now
  }

  attach(core) {
    this.core = core;
  }

  // The hooks the module calls as it makes pictures and presents.
  showBuffer(address, width, height) {
    this.buffer = address ? { address, width, height } : null;
    this.image = null;
  }

  putRect(x, y, width, height) {
    const image = this.pictureImage();
    if (!image) return;
    this.context.putImageData(image, 0, 0, x, y, width, height);
    this.onPresent();
  }

  // An ImageData over the module's memory, made again when the memory has grown (which
  // leaves the old view empty).
  pictureImage() {
    if (!this.buffer) return null;
    const memory = this.core.HEAPU8.buffer;
    if (!this.image || this.image.data.buffer !== memory) {
      const { address, width, height } = this.buffer;
      this.image = new ImageData(new Uint8ClampedArray(memory, address, width * height * 4), width, height);
    }
    return this.image;
  }

  open({ id, settings, seed, ticks }, { width, height }) {
    this.run = id;
    this.canvas.width = width;
    this.canvas.height = height;
    const s = settings;
    this.answer(this.core._wrigglet_open(width, height, s.desktop, s.sound, s.text, s.speed, s.wrigglets, seed, ticks ?? -1));
  }

  // A new size (device pixels): the scene starts again for it.
  resize({ width, height }) {
    if (width === this.canvas.width && height === this.canvas.height) return;
    this.canvas.width = width;
    this.canvas.height = height;
    this.answer(this.core._wrigglet_relayout(width, height));
  }

  tick() {
    this.timer = 0;
    this.answer(this.core._wrigglet_tick());
  }

  // The core's answer: the milliseconds to the next tick (its clock makes no late tick up).
  answer(delay) {
    this.delay = delay;
    this.schedule();
  }

  schedule() {
    clearTimeout(this.timer);
    this.timer = 0;
    this.onState(this.delay < 0 ? 'still' : this.holds.size ? 'paused' : 'running', this.core._wrigglet_ticks(), this.run);
    if (this.delay < 0 || this.holds.size) return;
    this.timer = setTimeout(() => this.tick(), this.delay);
  }

  // hold('hidden', true) pauses until hold('hidden', false); any hold keeps it paused.
  hold(reason, on) {
    if (on === this.holds.has(reason)) return;
    if (on) this.holds.add(reason);
    else this.holds.delete(reason);
    if (!this.holds.size && this.core) this.delay = this.core._wrigglet_resume();
    this.schedule();
  }

  // The canvas as it shows now, as a PNG file.
  async picture() {
    const canvas = this.canvas;
    if (canvas.convertToBlob) return canvas.convertToBlob({ type: 'image/png' });
    return new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
  }
}
