// The picture under the trails, as the saver's snapshot of the desktop: the project's own
// desktop (a dusk over hills, drawn here at the scene's size, so it is sharp at any size and
// costs nothing to fetch), or a picture of the visitor's, scaled to cover the scene. It lives
// beside the scene (in its worker); the page decodes the visitor's file (picture_file.js).

// Stars at fixed places: a small generator of the saver's own kind, always the same sky.
function* starField(count) {
  let seed = 2004;
  const next = () => ((seed = (Math.imul(seed, 134775813) + 1) >>> 0) / 4294967296);
  for (let i = 0; i < count; ++i) yield { x: next(), y: next() * 0.45, size: 0.6 + next() * 1.2, glow: 0.35 + next() * 0.6 };
}

function hill(context, width, height, top, crests, colour) {
  context.beginPath();
  context.moveTo(0, height);
  context.lineTo(0, top * height);
  crests.forEach(([x, y], i) => {
    const [px, py] = i ? crests[i - 1] : [0, top];
    context.bezierCurveTo(((px + x) / 2) * width, py * height, ((px + x) / 2) * width, y * height, x * width, y * height);
  });
  context.lineTo(width, height);
  context.closePath();
  context.fillStyle = colour;
  context.fill();
}

export function drawOwnDesktop(context, width, height) {
  const sky = context.createLinearGradient(0, 0, 0, height);
  sky.addColorStop(0, '#0d1140');
  sky.addColorStop(0.38, '#3b2a78');
  sky.addColorStop(0.6, '#b4527a');
  sky.addColorStop(0.74, '#f08a5d');
  sky.addColorStop(0.82, '#f9c97c');
  context.fillStyle = sky;
  context.fillRect(0, 0, width, height);
  const unit = Math.min(width, height);
  for (const star of starField(90)) {
    context.fillStyle = `rgba(255, 244, 220, ${star.glow})`;
    context.fillRect(star.x * width, star.y * height, Math.max(1, (star.size * unit) / 600), Math.max(1, (star.size * unit) / 600));
  }
  const sunX = width * 0.68, sunY = height * 0.7, sunR = unit * 0.09;
  const glow = context.createRadialGradient(sunX, sunY, sunR * 0.5, sunX, sunY, sunR * 5);
  glow.addColorStop(0, 'rgba(255, 236, 170, 0.75)');
  glow.addColorStop(1, 'rgba(255, 200, 120, 0)');
  context.fillStyle = glow;
  context.fillRect(sunX - sunR * 5, sunY - sunR * 5, sunR * 10, sunR * 10);
  context.fillStyle = '#fff1c4';
  context.beginPath();
  context.arc(sunX, sunY, sunR, 0, 2 * Math.PI);
  context.fill();
  hill(context, width, height, 0.72, [[0.3, 0.66], [0.62, 0.74], [1, 0.64]], '#5a3a6e');
  hill(context, width, height, 0.8, [[0.22, 0.76], [0.55, 0.84], [0.85, 0.75], [1, 0.79]], '#33264f');
  hill(context, width, height, 0.9, [[0.4, 0.86], [0.75, 0.93], [1, 0.88]], '#171431');
}

export class DesktopPicture {
  constructor() {
    this.image = null;  // the visitor's picture, decoded
  }

  // The visitor's picture, decoded, from now on.
  take(image) {
    this.image?.close();
    this.image = image;
  }

  // The picture as R, G, B, A bytes covering width x height, written to `heap` at `address`.
  fill(heap, address, width, height) {
    if (width <= 0 || height <= 0) return;
    const canvas = new OffscreenCanvas(width, height);
    const context = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    if (this.image) {
      const { width: w, height: h } = this.image;
      const scale = Math.max(width / w, height / h);
      context.imageSmoothingQuality = 'high';
      context.drawImage(this.image, (width - w * scale) / 2, (height - h * scale) / 2, w * scale, h * scale);
    } else {
      drawOwnDesktop(context, width, height);
    }
    heap.set(context.getImageData(0, 0, width, height).data, address);
  }
}
