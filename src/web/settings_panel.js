// The settings panel: the saver's dialog as a small panel over the scene (Wrigglets, Speed,
// Background, Text, Sound), the buttons of the page, and a line that says what happened. It
// shows while the pointer moves or the keyboard is used, and fades after two seconds of
// stillness, so a still page shows the scene alone; it stays while the pointer rests on it,
// while a control has the keyboard's focus and while the scene is paused.

const fadeAfter = 2000;

export class SettingsPanel {
  constructor(panel, handlers) {
    this.panel = panel;
    this.form = panel.querySelector('form');
    this.handlers = handlers;
    this.timer = 0;
    this.keepShown = false;
    this.form.addEventListener('change', (event) => this.changed(event));
    this.form.addEventListener('submit', (event) => event.preventDefault());
    panel.querySelector('#pause').addEventListener('click', () => handlers.pause());
    panel.querySelector('#full-screen').addEventListener('click', () => handlers.fullScreen());
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

  say(message) {
    this.panel.querySelector('#status').textContent = message;
    this.show();
  }

  set paused(on) {
    const button = this.panel.querySelector('#pause');
    button.textContent = on ? 'Play' : 'Pause';
    button.setAttribute('aria-pressed', String(on));
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
