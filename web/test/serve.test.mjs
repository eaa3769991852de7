// SPDX-License-Identifier: MIT
// The static server that serves the site to Lighthouse: the content types a browser
// judges a site by, gzip only where asked for, and nothing from outside the folder.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { request } from 'node:http';
import { gunzipSync } from 'node:zlib';
import { mkdtempSync, mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve } from './serve.mjs';

// One request as sent, path and all (fetch would tidy a path such as /%2e%2e/).
const get = (base, path, { method = 'GET', gzip = true } = {}) => new Promise((done, failed) => {
    const { hostname, port } = new URL(base);
    request({ hostname, port, path, method, headers: gzip ? { 'Accept-Encoding': 'gzip, br' } : {} }, (response) => {
        const chunks = [];
        response.on('data', (chunk) => chunks.push(chunk));
        response.on('end', () => done({ status: response.statusCode, headers: response.headers, body: Buffer.concat(chunks) }));
    }).on('error', failed).end();
});

describe('the site server', () => {
    let dir;
    let server;
    const page = '<!doctype html><link rel="manifest" href="app.json"><title>t</title>'.repeat(20);
    before(async () => {
        dir = mkdtempSync(join(tmpdir(), 'tessary-serve-'));
        mkdirSync(join(dir, 'site/icons'), { recursive: true });
        writeFileSync(join(dir, 'site/index.html'), page);
        writeFileSync(join(dir, 'site/app.json'), '{"name": "Tessary"}');
        writeFileSync(join(dir, 'site/data.json'), '{}');
        writeFileSync(join(dir, 'site/sw.js'), 'self.addEventListener("fetch", () => {});');
        writeFileSync(join(dir, 'site/icons/192.png'), Buffer.from([0x89, 0x50, 0x4e, 0x47]));
        writeFileSync(join(dir, 'secret.txt'), 'not to be served');
        server = await serve(join(dir, 'site'));
    });
    after(async () => {
        await server?.close();
        rmSync(dir, { recursive: true, force: true });
    });

    it('serves each file with its type, gzipped where that helps', async () => {
        for (const [path, type, zipped] of [
            ['/', 'text/html; charset=utf-8', true],
            ['/index.html', 'text/html; charset=utf-8', true],
            ['/app.json', 'application/manifest+json', true],  // the page's manifest
            ['/data.json', 'application/json', true],
            ['/sw.js', 'text/javascript; charset=utf-8', true],
            ['/icons/192.png', 'image/png', false],
        ]) {
            const { status, headers, body } = await get(server.url, path);
            assert.equal(status, 200, path);
            assert.equal(headers['content-type'], type, path);
            assert.equal(headers['content-encoding'], zipped ? 'gzip' : undefined, path);
            assert.equal(Number(headers['content-length']), body.length, path);
            if (path === '/') assert.equal(gunzipSync(body).toString(), page);
        }
        const plain = await get(server.url, '/', { gzip: false });
        assert.equal(plain.headers['content-encoding'], undefined);
        assert.equal(plain.body.toString(), page);
        const head = await get(server.url, '/', { method: 'HEAD' });
        assert.equal(head.status, 200);
        assert.equal(head.body.length, 0);
    });

    it('answers what it does not serve with the right status', async () => {
        for (const [path, status, method] of [
            ['/missing.html', 404], ['/icons', 301], ['/%e0%a4%a', 400], ['/', 405, 'POST'],
            // URL parsing takes out .. and %2e%2e; an encoded slash is for the server to catch.
            ['/../secret.txt', 404], ['/%2e%2e/secret.txt', 404], ['/icons/..%2f..%2fsecret.txt', 403],
        ]) {
            const { status: got, body } = await get(server.url, path, { method });
            assert.equal(got, status, path);
            assert.ok(!body.toString().includes('not to be served'), path);
        }
    });
});
