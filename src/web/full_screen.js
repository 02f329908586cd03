// Full screen as the saver runs: the scene alone without a cursor, left again by any key,
// any button press, or a pointer move of 5 or more pixels. The move rule is the saver's own,
// asked of the core beside the scene, in device pixels of the full-screen page: `watch(x, y)`
// starts it, `moved(x, y)` asks it, and the scene's answer comes back as leave(). A page
// can't ask where the pointer is, so the watch starts at the first move it sees in full
// screen (the one the page's appearance under the pointer sends), which the rule ignores as
// the saver does. While in full screen the screen is kept awake, where the browser allows.

function devicePoint(event) {
  const ratio = window.devicePixelRatio || 1;
  return [Math.round(event.clientX * ratio), Math.round(event.clientY * ratio)];
}

export class FullScreen {
  constructor(root, { watch, moved }) {
    this.root = root;
    this.rule = { watch, moved };
    this.started = false;  // the watch has its origin
    this.wakeLock = null;
    // Always listening: input can reach the page before the change of mode is announced.
    document.addEventListener('fullscreenchange', () => this.changed());
    document.addEventListener('visibilitychange', () => this.keepAwake(this.active && !document.hidden));
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

  changed() {
    if (!this.active) this.started = false;
    this.keepAwake(this.active);
  }

  // A screen wake lock while in full screen; the browser drops it when the tab hides, so it
  // is asked again when the tab shows.
  async keepAwake(on) {
    if (!on) {
      this.wakeLock?.release().catch(() => {});
      this.wakeLock = null;
    } else if (!this.wakeLock && navigator.wakeLock) {
      this.wakeLock = await navigator.wakeLock.request('screen').catch(() => null);
      if (!this.active) this.keepAwake(false);  // left while the request was on its way
    }
  }

  moved(event) {
    if (!this.active) return;
    const [x, y] = devicePoint(event);
    if (!this.started) this.rule.watch(x, y);
    this.started = true;
    this.rule.moved(x, y);
  }

  leave(event) {
    if (!this.active) return;
    event?.preventDefault();
    event?.stopPropagation();
    document.exitFullscreen().catch(() => {});
  }
}
