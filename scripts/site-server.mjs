// The page's static web server, with the headers the README recommends for any server of
// the site: a strict Content-Security-Policy, compression (Brotli or gzip), revalidated
// caching (ETag), the right content types. scripts/web.sh serves the site with it; the
// page's tests and benchmark serve it in-process.
// Usage: node scripts/site-server.mjs DIR [PORT]   (127.0.0.1; port 0 picks a free one)
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { brotliCompressSync, gzipSync } from 'node:zlib';
import { pathToFileURL } from 'node:url';

export const siteHeaders = {
  'Content-Security-Policy': "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'",
  'X-Content-Type-Options': 'nosniff',
  'Cross-Origin-Opener-Policy': 'same-origin',
  'Referrer-Policy': 'no-referrer',
  // The files keep their names from release to release, so each is checked with its ETag;
  // the service worker keeps the site for offline visits.
  'Cache-Control': 'no-cache',
};

const types = {
  '.html': 'text/html; charset=utf-8', '.css': 'text/css; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json', '.png': 'image/png',
  '.ico': 'image/x-icon', '.wav': 'audio/wav',
};

// Each file's bytes and its compressed forms, made once for each version of the file.
const made = new Map();
async function prepared(path) {
  const info = await stat(path);
  const tag = `"${info.size.toString(36)}-${info.mtimeMs.toString(36)}"`;
  if (made.get(path)?.tag !== tag) {
    const bytes = await readFile(path);
    made.set(path, { tag, identity: bytes, br: brotliCompressSync(bytes), gzip: gzipSync(bytes, { level: 9 }) });
  }
  return made.get(path);
}

// Answers { origin, close() } once the server listens.
export function serveSite(dir, port = 0) {
  const root = resolve(dir);
  const server = createServer(async (request, response) => {
    const path = normalize(join(root, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    const file = path.endsWith(sep) ? join(path, 'index.html') : path;
    if (!['GET', 'HEAD'].includes(request.method)) return response.writeHead(405).end();
    if (!file.startsWith(root + sep) || !types[extname(file)]) return response.writeHead(404).end();
    let entry;
    try {
      entry = await prepared(file);
    } catch {
      return response.writeHead(404).end();
    }
    const headers = { ...siteHeaders, 'Content-Type': types[extname(file)], ETag: entry.tag, Vary: 'Accept-Encoding' };
    if (request.headers['if-none-match'] === entry.tag) return response.writeHead(304, headers).end();
    const accepted = request.headers['accept-encoding'] ?? '';
    const encoding = ['br', 'gzip'].find((name) => accepted.includes(name)) ?? 'identity';
    if (encoding !== 'identity') headers['Content-Encoding'] = encoding;
    response.writeHead(200, { ...headers, 'Content-Length': entry[encoding].length });
    response.end(request.method === 'HEAD' ? undefined : entry[encoding]);
  });
  return new Promise((done) =>
    server.listen(port, '127.0.0.1', () =>
      done({
        origin: `http://127.0.0.1:${server.address().port}`,
        close: () => new Promise((closed) => server.close(closed) && server.closeAllConnections()),
      })));
}

if (process.argv[1] && import.meta.url === pathToFileURL(resolve(process.argv[1])).href) {
  const { origin } = await serveSite(process.argv[2] ?? 'build/web', Number(process.argv[3] ?? 8000));
  console.log(`Serving ${process.argv[2] ?? 'build/web'} at ${origin}/ (Ctrl-C stops it)`);
}
