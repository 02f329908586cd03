// The surface the core's text imprint reads: the browser's canvas text, white on black. The
// face the core asks for is tried first and a script face stands in, as the platform's font
// mapper would; the font is sized so a character cell (ascent and descent) is the requested
// height, and stretched so an average letter is the requested width.

const standIns = '"URW Chancery L", "Z003", "Apple Chancery", cursive';
const averageSample = 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ';

function cellOf(context, size) {
  const m = context.measureText('Hg');
  const ascent = m.fontBoundingBoxAscent ?? size * 0.8;
  const descent = m.fontBoundingBoxDescent ?? size * 0.2;
  return { ascent, height: ascent + descent };
}

export class CanvasText {
  constructor() {
    this.context = null;
  }

  begin(width, height, cellHeight, averageWidth, weight, italic, face) {
    this.end();
    if (width <= 0 || height <= 0 || cellHeight <= 0) return false;
    const context = new OffscreenCanvas(width, height).getContext('2d', { willReadFrequently: true });
    const font = (size) => `${italic ? 'italic ' : ''}${weight} ${size}px "${face}", ${standIns}`;
    context.font = font(100);
    const size = (100 * cellHeight) / cellOf(context, 100).height;
    context.font = font(size);
    this.ascent = cellOf(context, size).ascent;
    const average = context.measureText(averageSample).width / averageSample.length;
    this.stretch = averageWidth > 0 && average > 0 ? averageWidth / average : 1;
    context.fillStyle = '#000';
    context.fillRect(0, 0, width, height);
    context.fillStyle = '#fff';
    context.textBaseline = 'alphabetic';
    this.context = context;
    return true;
  }

  measure(word) {
    return this.context ? this.context.measureText(word).width * this.stretch : -1;
  }

  draw(word, x, y) {
    const context = this.context;
    if (!context) return;
    context.save();
    context.translate(x, y + this.ascent);
    context.scale(this.stretch, 1);
    context.fillText(word, 0, 0);
    context.restore();
  }

  read(heap, address) {
    if (!this.context) return;
    const { width, height } = this.context.canvas;
    heap.set(this.context.getImageData(0, 0, width, height).data, address);
  }

  end() {
    this.context = null;
  }
}
