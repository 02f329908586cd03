// The visitor's picture file, read on the page before the scene takes it: its kind and size
// from its first bytes, whether it is whole, and then its pixels, scaled down while they are
// decoded when it is larger than the scene can ever show. Every browser gives the same
// answer, because these checks come before the browser's own decoder.

// The kinds every current browser reads (the chooser in index.html offers these) and the
// largest side any of them draws.
export const largestSide = 16384;

const ascii = (bytes, at, text) => [...text].every((c, i) => bytes[at + i] === c.charCodeAt(0));
const little32 = (view, at) => view.getUint32(at, true);

// A JPEG's size is in its start-of-frame segment. Its compressed picture follows the
// start-of-scan segment; the file is whole when an end-of-image marker comes after that
// (other data may trail it; a thumbnail's marker comes before it).
function jpegHeader(bytes, view) {
  let width = 0, height = 0;
  for (let at = 2; at + 9 < bytes.length && bytes[at] === 0xff; at += 2 + view.getUint16(at + 2)) {
    const marker = bytes[at + 1];
    if (marker >= 0xc0 && marker <= 0xcf && ![0xc4, 0xc8, 0xcc].includes(marker))
      [height, width] = [view.getUint16(at + 5), view.getUint16(at + 7)];
    if (marker !== 0xda) continue;
    let end = bytes.length - 1;
    while (end > at && !(bytes[end - 1] === 0xff && bytes[end] === 0xd9)) --end;
    return { width, height, whole: end > at };
  }
  return { width, height, whole: false };
}

function webpSize(bytes, view) {
  if (ascii(bytes, 12, 'VP8X')) return [1 + (little32(view, 24) & 0xffffff), 1 + (little32(view, 27) & 0xffffff)];
  if (ascii(bytes, 12, 'VP8L')) {
    const bits = little32(view, 21);
    return [1 + (bits & 0x3fff), 1 + ((bits >> 14) & 0x3fff)];
  }
  if (ascii(bytes, 12, 'VP8 ')) return [view.getUint16(26, true) & 0x3fff, view.getUint16(28, true) & 0x3fff];
  return null;
}

// { kind, width, height, whole } of a file's bytes, or null when they are none of the kinds.
export function pictureHeader(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const n = bytes.length, size = (pair) => pair && { width: pair[0], height: pair[1] };
  if (n >= 33 && bytes[0] === 0x89 && ascii(bytes, 1, 'PNG') && ascii(bytes, 12, 'IHDR'))
    return { kind: 'PNG', width: view.getUint32(16), height: view.getUint32(20), whole: ascii(bytes, n - 8, 'IEND') };
  if (n >= 4 && bytes[0] === 0xff && bytes[1] === 0xd8) return { kind: 'JPEG', ...jpegHeader(bytes, view) };
  if (n >= 13 && ascii(bytes, 0, 'GIF8'))
    return { kind: 'GIF', width: view.getUint16(6, true), height: view.getUint16(8, true), whole: bytes[n - 1] === 0x3b };
  if (n >= 30 && ascii(bytes, 0, 'RIFF') && ascii(bytes, 8, 'WEBP'))
    return { kind: 'WebP', ...size(webpSize(bytes, view)), whole: little32(view, 4) + 8 <= n };
  if (n >= 26 && ascii(bytes, 0, 'BM'))
    return { kind: 'BMP', width: Math.abs(view.getInt32(18, true)), height: Math.abs(view.getInt32(22, true)), whole: little32(view, 2) <= n };
  return null;
}

// The picture's pixels, at most as large as it takes to cover `cover` (device pixels);
// throws an Error whose message says what is wrong with the file.
export async function decodePicture(file, cover) {
  const header = pictureHeader(new Uint8Array(await file.arrayBuffer()));
  if (!header) throw new Error('is not a PNG, JPEG, GIF, WebP or BMP picture');
  const { kind, width, height } = header;
  if (!width || !height) throw new Error(`is a damaged ${kind} file (it gives no size)`);
  if (!header.whole) throw new Error(`is a ${kind} file cut short (it ends before its picture does)`);
  if (width > largestSide || height > largestSide)
    throw new Error(`is too large: ${width}x${height}, the limit is ${largestSide} pixels a side`);
  const scale = Math.max(cover.width / width, cover.height / height);
  const options = scale < 1 ? { resizeWidth: Math.ceil(width * scale), resizeHeight: Math.ceil(height * scale), resizeQuality: 'high' } : {};
  try {
    return await createImageBitmap(file, options);
  } catch {
    throw new Error(`is a ${kind} file this browser can't decode`);
  }
}
