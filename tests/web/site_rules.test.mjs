// The page's rules that need no browser, one table each: the address fragment, the pixel
// budget, what a picture file's first bytes say, and the site server's answers.
// Needs WRIGGLET_SITE (the built site) for the server's table.
import assert from 'node:assert/strict';
import { existsSync } from 'node:fs';
import { test } from 'node:test';
import { readFragment, sceneSizeFor } from '../../src/web/page_options.js';
import { pictureHeader } from '../../src/web/picture_file.js';
import { serveSite } from '../../scripts/site-server.mjs';

const defaults = { wrigglets: 2, speed: 2, desktop: true, text: false, sound: false };

test('a fragment: what it gets right is taken, what it gets wrong is named', () => {
  for (const [hash, seed, ticks, wrigglets, mistyped] of [
    ['#seed=7&ticks=200&wrigglets=3', 7, 200, 3, []],
    ['', undefined, undefined, 2, []],
    ['#seed=7x&wrigglets=9&text=yes', undefined, undefined, 2, ['wrigglets=9', 'text=yes', 'seed=7x']],
    ['#seed=4294967296&ticks=-1', undefined, undefined, 2, ['seed=4294967296', 'ticks=-1']],
  ]) assert.deepEqual(readFragment(hash, defaults), { settings: { ...defaults, wrigglets }, seed, ticks, mistyped }, hash);
});

test('the scene keeps to the pixel budget in the canvas\'s shape', () => {
  for (const [canvas, scene] of [
    [[3840, 2160], [3840, 2160]],
    [[7680, 4320], [7680, 4320]],
    [[23040, 12960], [7680, 4320]],
    [[8192, 4608], [7680, 4320]],
    [[0, 0], [1, 1]],
  ]) assert.deepEqual(sceneSizeFor({ width: canvas[0], height: canvas[1] }), { width: scene[0], height: scene[1] }, String(canvas));
});

// Files of each kind, made from their headers: whole, or cut short.
const bytes = (...parts) => Uint8Array.from(parts.flat(Infinity));
const text = (string) => [...string].map((c) => c.charCodeAt(0));
const big16 = (v) => [v >> 8, v & 255], little16 = (v) => [v & 255, v >> 8], little32 = (v) => [...little16(v & 0xffff), ...little16(v >>> 16)];
const png = (width, height, end) => bytes(0x89, text('PNG\r\n'), 0x1a, 10, 0, 0, 0, 13, text('IHDR'), 0, 0, big16(width), 0, 0, big16(height), 8, 6, 0, 0, 0, [1, 2, 3, 4], end ? [0, 0, 0, 0, text('IEND'), 0xae, 0x42, 0x60, 0x82] : [9, 9]);
// A start, a thumbnail whose own end marker comes before the picture, the frame, the scan.
const jpeg = (tail) => bytes(0xff, 0xd8, 0xff, 0xe1, 0, 6, 0xff, 0xd9, 1, 2, 0xff, 0xc0, 0, 17, 8, big16(480), big16(640), Array(10).fill(0), 0xff, 0xda, 0, 4, 0, 0, 7, 7, 7, tail);
const webp = (size) => bytes(text('RIFF'), little32(size), text('WEBPVP8L'), little32(10), 0x2f, little32((639) | (479 << 14)), 0, 0, 0, 0, 0);

test('a picture file\'s first bytes give its kind and size, and whether it is whole', () => {
  for (const [name, file, expected] of [
    ['PNG', png(30000, 20, true), { kind: 'PNG', width: 30000, height: 20, whole: true }],
    ['PNG cut short', png(640, 480, false), { kind: 'PNG', width: 640, height: 480, whole: false }],
    ['JPEG', jpeg([0xff, 0xd9]), { kind: 'JPEG', width: 640, height: 480, whole: true }],
    ['JPEG with data after its end', jpeg([0xff, 0xd9, 1, 2, 3]), { kind: 'JPEG', width: 640, height: 480, whole: true }],
    ['JPEG cut short', jpeg([5, 5]), { kind: 'JPEG', width: 640, height: 480, whole: false }],
    ['GIF', bytes(text('GIF89a'), little16(640), little16(480), Array(6).fill(0), 0x3b), { kind: 'GIF', width: 640, height: 480, whole: true }],
    ['GIF cut short', bytes(text('GIF89a'), little16(640), little16(480), Array(6).fill(0)), { kind: 'GIF', width: 640, height: 480, whole: false }],
    ['WebP', webp(22), { kind: 'WebP', width: 640, height: 480, whole: true }],
    ['WebP cut short', webp(4000), { kind: 'WebP', width: 640, height: 480, whole: false }],
    ['BMP, top down', bytes(text('BM'), little32(26), Array(12).fill(0), little32(640), little32(-480 >>> 0)), { kind: 'BMP', width: 640, height: 480, whole: true }],
  ]) assert.deepEqual(pictureHeader(file), expected, name);
  assert.equal(pictureHeader(bytes(text('<svg xmlns="http://www.w3.org/2000/svg"/>'))), null);
});

const site = process.env.WRIGGLET_SITE;
test('the site server: its headers, compression, revalidation, nothing outside the site', { skip: !existsSync(`${site}/index.html`) && 'no site (WRIGGLET_SITE)' }, async () => {
  const { origin, close } = await serveSite(site);
  try {
    for (const [path, headers, status, encoding] of [
      ['/', { 'accept-encoding': 'gzip, br' }, 200, 'br'],
      ['/wrigglet.wasm', { 'accept-encoding': 'gzip' }, 200, 'gzip'],
      ['/manifest.webmanifest', { 'accept-encoding': 'identity' }, 200, null],
      ['/%2e%2e/%2e%2e/etc/passwd', {}, 404, null],
      ['/missing.js', {}, 404, null],
    ]) {
      const response = await fetch(origin + path, { headers });
      assert.equal(response.status, status, path);
      if (status !== 200) continue;
      assert.equal(response.headers.get('content-encoding'), encoding, path);
      assert.match(response.headers.get('content-security-policy'), /^default-src 'self'; script-src 'self' 'wasm-unsafe-eval'$/);
      const again = await fetch(origin + path, { headers: { 'if-none-match': response.headers.get('etag') } });
      assert.equal(again.status, 304, path);
    }
  } finally {
    await close();
  }
});
