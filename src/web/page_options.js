// The page's settings and the address fragment that carries them, with the seed and an
// optional tick limit, so that a run can be shared and shown again:
// #seed=7&wrigglets=3&speed=3&desktop=0&text=0&sound=0&ticks=200

// As a saver that was never configured starts: the core's defaults, which it packs into one
// number (desktop, sound and text in bits 0 to 2, the speed from bit 4, the population from 8).
export function defaultSettings(core) {
  const packed = core._wrigglet_default_settings();
  return Object.freeze({
    wrigglets: (packed >> 8) & 15, speed: (packed >> 4) & 15, desktop: !!(packed & 1), text: !!(packed & 4), sound: !!(packed & 2),
  });
}

const choices = { wrigglets: [1, 2, 3], speed: [1, 2, 3] };
const switches = ['desktop', 'text', 'sound'];

// The saver's own seed: milliseconds since midnight UTC.
export function timeOfDaySeed(now = new Date()) {
  return ((now.getUTCHours() * 60 + now.getUTCMinutes()) * 60 + now.getUTCSeconds()) * 1000 + now.getUTCMilliseconds();
}

function wholeNumber(text, highest) {
  if (!/^[0-9]+$/.test(text ?? '')) return undefined;
  const value = Number(text);
  return value <= highest ? value : undefined;
}

// The run a fragment asks for; what it lacks or gets wrong takes the default (no seed: none
// chosen yet; no ticks: no limit). `mistyped` names the fields it got wrong, as written.
export function readFragment(hash, defaults) {
  const fields = new URLSearchParams(hash.replace(/^#/, ''));
  const settings = { ...defaults }, mistyped = [];
  const take = (name, value) => {
    if (value === undefined && fields.has(name)) mistyped.push(`${name}=${fields.get(name)}`);
    return value;
  };
  for (const [name, allowed] of Object.entries(choices)) {
    const value = wholeNumber(fields.get(name), 9);
    if (take(name, allowed.includes(value) ? value : undefined) !== undefined) settings[name] = value;
  }
  for (const name of switches) {
    const value = fields.get(name);
    if (take(name, value === '0' || value === '1' ? value : undefined) !== undefined) settings[name] = value === '1';
  }
  const seed = take('seed', wholeNumber(fields.get('seed'), 0xffffffff));
  const ticks = take('ticks', wholeNumber(fields.get('ticks'), 0x7fffffff));
  return { settings, seed, ticks, mistyped };
}

// The most pixels the scene is drawn at (8K UHD, 7680 x 4320): a canvas beyond it costs
// gigabytes, or stays black where the browser refuses it, so a larger one draws the scene
// at this budget, in the same shape, and shows it scaled up.
export const pixelBudget = 7680 * 4320;

// The scene's size for a canvas of width x height device pixels.
export function sceneSizeFor({ width, height }) {
  const scale = Math.min(1, Math.sqrt(pixelBudget / (width * height || 1)));
  const fit = (side) => Math.max(1, Math.floor(side * scale + 1e-6));  // 1/3 of 23040 is 7680, not 7679
  return { width: fit(width), height: fit(height) };
}

// A file name for a picture of the run at this tick.
export function pictureName({ seed }, ticks) {
  return `wrigglet2004-seed${seed}-tick${ticks}.png`;
}

export function formatFragment({ settings, seed, ticks }) {
  const fields = new URLSearchParams();
  if (seed !== undefined) fields.set('seed', String(seed));
  fields.set('wrigglets', String(settings.wrigglets));
  fields.set('speed', String(settings.speed));
  for (const name of switches) fields.set(name, settings[name] ? '1' : '0');
  if (ticks !== undefined) fields.set('ticks', String(ticks));
  return '#' + fields.toString();
}
