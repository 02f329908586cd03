// The settings panel: the saver's dialog as a small panel over the scene (Wrigglets, Speed,
// Background, Text, Sound), the buttons of the page and their keys, and a line that says what
// happened. It shows at once and while the pointer moves or the keyboard is used, and fades
// after two seconds of stillness, so a still page shows the scene alone; it stays while the
// pointer rests on it, while a control has the keyboard's focus and while the scene is paused.

const fadeAfter = 2000;
// The buttons by id, with the handler each calls, and the keys that do the same.
const buttons = { pause: 'pause', 'full-screen': 'fullScreen', 'new-run': 'newRun', 'copy-link': 'copyLink', 'save-picture': 'savePicture' };
const keys = { ' ': 'pause', f: 'fullScreen', n: 'newRun' };

export class SettingsPanel {
  constructor(panel, handlers) {
    this.panel = panel;
    this.form = panel.querySelector('form');
    this.handlers = handlers;
    this.timer = 0;
    this.keepShown = false;
    this.form.addEventListener('change', (event) => this.changed(event));
    this.form.addEventListener('submit', (event) => event.preventDefault());
    for (const [id, name] of Object.entries(buttons)) panel.querySelector(`#${id}`).addEventListener('click', () => handlers[name]());
    document.addEventListener('keydown', (event) => this.pressed(event));
    for (const type of ['pointermove', 'pointerdown', 'keydown']) document.addEventListener(type, () => this.show());
    panel.addEventListener('focusin', () => this.show());
    this.show();
  }

  // The controls as these settings have them.
  set settings(settings) {
    const f = this.form.elements;
    f.wrigglets.value = String(settings.wrigglets);
    f.speed.value = String(settings.speed);
    f.background.value = settings.desktop ? 'desktop' : 'black';
    f.text.value = settings.text ? 'on' : 'off';
    f.sound.value = settings.sound ? 'on' : 'off';
  }

  get settings() {
    const f = this.form.elements;
    return {
      wrigglets: Number(f.wrigglets.value),
      speed: Number(f.speed.value),
      desktop: f.background.value === 'desktop',
      text: f.text.value === 'on',
      sound: f.sound.value === 'on',
    };
  }

  changed(event) {
    if (event.target.type === 'file') {
      const [file] = event.target.files;
      event.target.value = '';
      if (file) this.handlers.picture(file);
      return;
    }
    this.handlers.settings(this.settings);
  }

  // A key of the page's own; Space is a focused control's own (it presses a button).
  pressed(event) {
    const name = keys[event.key.toLowerCase()];
    if (!name || event.ctrlKey || event.altKey || event.metaKey) return;
    if (event.key === ' ' && event.target.closest?.('input, button, label')) return;
    event.preventDefault();
    this.handlers[name]();
  }

  say(message) {
    this.panel.querySelector('#status').textContent = message;
    this.show();
  }

  set paused(on) {
    this.panel.querySelector('#pause').setAttribute('aria-pressed', String(on));
    this.keepShown = on;
    this.show();
  }

  show() {
    this.panel.classList.add('shown');
    clearTimeout(this.timer);
    this.timer = setTimeout(() => this.fade(), fadeAfter);
  }

  fade() {
    const resting = this.panel.matches(':hover') || this.panel.querySelector(':focus-visible');
    if (this.keepShown || resting) this.show();
    else this.panel.classList.remove('shown');
  }
}
