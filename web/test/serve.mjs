// SPDX-License-Identifier: MIT
// A static web server for a folder, on 127.0.0.1, as a web host serves a site: each file
// with its content type (a web app manifest as application/manifest+json, whatever its
// name), gzipped where the browser accepts it and the type gains from it.
import { createServer } from 'node:http';
import { gzipSync } from 'node:zlib';
import { readFileSync, readdirSync, statSync } from 'node:fs';
import { extname, join, resolve, sep } from 'node:path';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.json': 'application/json',
    '.webmanifest': 'application/manifest+json',
    '.wasm': 'application/wasm',
    '.svg': 'image/svg+xml',
    '.png': 'image/png',
    '.ico': 'image/x-icon',
    '.txt': 'text/plain; charset=utf-8',
};
const COMPRESSIBLE = /^(text\/|application\/(json|manifest\+json|wasm)|image\/svg\+xml)/;

// The manifests the folder's pages link to (`<link rel="manifest" href>`), as URL paths:
// served as application/manifest+json whatever their name ends in.
function manifestPaths(folder) {
    const paths = new Set();
    for (const name of readdirSync(folder).filter((n) => n.endsWith('.html'))) {
        for (const [tag] of readFileSync(join(folder, name), 'utf8').matchAll(/<link\b[^>]*>/gi)) {
            const rel = /\brel\s*=\s*["']?([^"'\s>]+)/i.exec(tag)?.[1];
            const href = /\bhref\s*=\s*["']?([^"'\s>]+)/i.exec(tag)?.[1];
            if (rel?.toLowerCase() === 'manifest' && href) paths.add(new URL(href, `http://host/${name}`).pathname);
        }
    }
    return paths;
}

// Serves `folder` on 127.0.0.1 at a free port, gzipped where the browser accepts it and
// the type gains from it. Only GET and HEAD; nothing outside the folder.
export async function serve(folder) {
    folder = resolve(folder);
    const manifests = manifestPaths(folder);
    const bodies = new Map();  // file -> { plain, gzip }: each read and compressed once
    const server = createServer((request, response) => {
        const answer = (status, headers = {}, body = '') => {
            response.writeHead(status, { 'Content-Length': Buffer.byteLength(body), ...headers });
            response.end(request.method === 'HEAD' ? undefined : body);
        };
        if (request.method !== 'GET' && request.method !== 'HEAD') return answer(405, { Allow: 'GET, HEAD' });
        const url = new URL(request.url, 'http://host').pathname;
        let path;
        try {
            path = decodeURIComponent(url);
        } catch {
            return answer(400);
        }
        let file = resolve(folder, `.${path}`);
        if (file !== folder && !file.startsWith(folder + sep)) return answer(403);
        try {
            if (statSync(file).isDirectory()) {
                // As hosts do: a folder's relative links resolve inside it only from its URL with a slash.
                if (!url.endsWith('/')) return answer(301, { Location: `${url}/` });
                file = join(file, 'index.html');
            }
            if (!statSync(file).isFile()) return answer(404);
        } catch {
            return answer(404);
        }
        const type = manifests.has(url) ? 'application/manifest+json'
            : TYPES[extname(file).toLowerCase()] ?? 'application/octet-stream';
        if (!bodies.has(file)) {
            const plain = readFileSync(file);
            bodies.set(file, { plain, gzip: COMPRESSIBLE.test(type) ? gzipSync(plain) : null });
        }
        const { plain, gzip } = bodies.get(file);
        const zipped = gzip && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
        answer(200, {
            'Content-Type': type,
            // Every load asks the server again: what is kept is the site's service worker's choice.
            'Cache-Control': 'no-cache',
            ...(gzip ? { Vary: 'Accept-Encoding' } : {}),
            ...(zipped ? { 'Content-Encoding': 'gzip' } : {}),
        }, zipped ? gzip : plain);
    });
    await new Promise((done, failed) => server.once('error', failed).listen(0, '127.0.0.1', done));
    const close = () => {
        server.closeAllConnections();
        return new Promise((done) => server.close(done));
    };
    return { url: `http://127.0.0.1:${server.address().port}/`, close };
}
