// The saver's own looping sounds (701, 702, 703) through Web Audio. A browser lets a page
// make sound only once the visitor has done something on it, so nothing is made or fetched
// before the first press of a key or a button with Sound on; the sound the scene chose
// meanwhile starts then.

export class SaverSounds {
  constructor(base) {
    this.base = base;  // where sound701.wav .. sound703.wav are
    this.enabled = false;
    this.wanted = 0;  // the resource the scene chose last; 0: none
    this.request = 0;  // counts the scene's choices, so a late decode can't start an old one
    this.audio = null;
    this.buffers = new Map();
    this.playing = null;  // { resource, source }
  }

  setEnabled(on) {
    this.enabled = on;
    if (!on) {
      this.wanted = 0;
      this.stop();
    }
  }

  // From the scene: start this resource looping from its beginning, replacing the one
  // playing (even when it is the same).
  play(resource) {
    this.wanted = resource;
    ++this.request;
    this.start();
  }

  // Called from a key or button press: the moment the browser allows sound.
  unlock() {
    if (!this.enabled) return;
    if (!this.audio) this.audio = new AudioContext();
    if (this.audio.state === 'suspended') this.audio.resume();
    if (!this.playing) this.start();
  }

  // A hidden tab or a paused scene is silent.
  quiet(on) {
    if (!this.audio) return;
    if (on) this.audio.suspend();
    else this.audio.resume();
  }

  async buffer(resource) {
    if (!this.buffers.has(resource)) {
      const loading = fetch(new URL(`sound${resource}.wav`, this.base))
        .then((response) => (response.ok ? response.arrayBuffer() : Promise.reject(new Error(response.statusText))))
        .then((bytes) => this.audio.decodeAudioData(bytes));
      this.buffers.set(resource, loading);
      loading.catch(() => this.buffers.delete(resource));
    }
    return this.buffers.get(resource);
  }

  async start() {
    const resource = this.wanted, request = this.request;
    if (!this.enabled || !this.audio || !resource) return;
    let buffer;
    try {
      buffer = await this.buffer(resource);
    } catch {
      return;  // the scene runs on without its sound, as the saver does
    }
    if (request !== this.request || !this.enabled) return;
    this.stop();
    const source = this.audio.createBufferSource();
    source.buffer = buffer;
    source.loop = true;
    source.connect(this.audio.destination);
    source.start();
    this.playing = { resource, source };
  }

  stop() {
    this.playing?.source.stop();
    this.playing = null;
  }
}
