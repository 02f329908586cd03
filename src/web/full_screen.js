// Full screen as the saver runs: the scene alone without a cursor, left again by any key,
// any button press, or a pointer move of 5 or more pixels. The move rule is the saver's own,
// asked of the core, in device pixels of the full-screen page. A page can't ask where the
// pointer is, so the watch starts at the first move it sees in full screen (the one the
// page's appearance under the pointer sends), which the rule ignores as the saver does.

function devicePoint(event) {
  const ratio = window.devicePixelRatio || 1;
  return [Math.round(event.clientX * ratio), Math.round(event.clientY * ratio)];
}

export class FullScreen {
  constructor(root, core) {
    this.root = root;
    this.core = core;
    this.started = false;  // the watch has its origin
    // Always listening: input can reach the page before the change of mode is announced.
    document.addEventListener('fullscreenchange', () => this.active || (this.started = false));
    document.addEventListener('keydown', (event) => this.leave(event), true);
    document.addEventListener('pointerdown', (event) => this.leave(event), true);
    document.addEventListener('pointermove', (event) => this.moved(event), true);
  }

  get active() {
    return document.fullscreenElement === this.root;
  }

  enter() {
    this.started = false;
    return this.root.requestFullscreen({ navigationUI: 'hide' });
  }

  moved(event) {
    if (!this.active) return;
    const [x, y] = devicePoint(event);
    if (!this.started) this.core._wrigglet_watch_mouse(x, y);
    this.started = true;
    if (this.core._wrigglet_mouse_moved(x, y)) this.leave(event);
  }

  leave(event) {
    if (!this.active) return;
    event.preventDefault();
    event.stopPropagation();
    document.exitFullscreen().catch(() => {});
  }
}
