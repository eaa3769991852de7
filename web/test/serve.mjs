// SPDX-License-Identifier: MIT
// A static web server for a folder, on 127.0.0.1, as a web host serves a site: each file
// with its content type (a web app manifest as application/manifest+json, whatever its
// name), gzipped where the browser accepts it and the type gains from it. A file changed
// while it serves is served as it is now, as a host serves a new release.
//
// As a program, it serves FOLDER until it is stopped, on PORT (by default a free one),
// says its URL in its first line, and then one line for each request it answers:
//
//   node serve.mjs FOLDER [PORT]      ->  http://127.0.0.1:PORT/   then   GET /path 200
import { createServer } from 'node:http';
import { gzipSync } from 'node:zlib';
import { readFileSync, readdirSync, statSync } from 'node:fs';
import { extname, join, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

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

// Serves `folder` on 127.0.0.1 at `port` (0: a free one), gzipped where the browser
// accepts it and the type gains from it. Only GET and HEAD; nothing outside the folder.
// `log`, when given, is told of each answer: 'METHOD PATH STATUS'.
export async function serve(folder, { port = 0, log } = {}) {
    folder = resolve(folder);
    const manifests = manifestPaths(folder);
    // file -> { stamp, plain, gzip }: each read and compressed once, until it changes.
    const bodies = new Map();
    const server = createServer((request, response) => {
        const answer = (status, headers = {}, body = '') => {
            response.writeHead(status, { 'Content-Length': Buffer.byteLength(body), ...headers });
            response.end(request.method === 'HEAD' ? undefined : body);
            log?.(`${request.method} ${request.url} ${status}`);
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
        let stat;
        try {
            if (statSync(file).isDirectory()) {
                // As hosts do: a folder's relative links resolve inside it only from its URL with a slash.
                if (!url.endsWith('/')) return answer(301, { Location: `${url}/` });
                file = join(file, 'index.html');
            }
            stat = statSync(file);
            if (!stat.isFile()) return answer(404);
        } catch {
            return answer(404);
        }
        const type = manifests.has(url) ? 'application/manifest+json'
            : TYPES[extname(file).toLowerCase()] ?? 'application/octet-stream';
        const stamp = `${stat.ino} ${stat.size} ${stat.mtimeMs}`;
        if (bodies.get(file)?.stamp !== stamp) {
            const plain = readFileSync(file);
            bodies.set(file, { stamp, plain, gzip: COMPRESSIBLE.test(type) ? gzipSync(plain) : null });
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
    await new Promise((done, failed) => server.once('error', failed).listen(port, '127.0.0.1', done));
    const close = () => {
        server.closeAllConnections();
        return new Promise((done) => server.close(done));
    };
    return { url: `http://127.0.0.1:${server.address().port}/`, close };
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
    const [folder, port = '0'] = process.argv.slice(2);
    if (!folder || !/^\d+$/.test(port)) {
        console.error('usage: node serve.mjs FOLDER [PORT]');
        process.exit(2);
    }
    const server = await serve(folder, { port: Number(port), log: (line) => console.log(line) });
    console.log(server.url);
    process.once('SIGTERM', () => server.close().then(() => process.exit(0)));
}
