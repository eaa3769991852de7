// SPDX-License-Identifier: MIT
// The site (build-web/site/), served on 127.0.0.1 as a static host would serve it: its
// policy holds, nothing stops Chromium from installing it, its service worker takes the
// page over, and with the server gone it still starts and draws the desktop's picture;
// served in two folders of one origin, the two keep apart. The single file's policy is
// checked here too; every other test checks that the page breaks neither. (A release's
// update of a kept site is web/test/update.mjs's, with two releases' sites.)
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, openPage, settled, canvasPicture, Desktop, assertAgree, serve, sleep, pageFile, siteDir,
    startSite, appId } from './support.mjs';

describe('the site', () => {
    let chromium;
    let server;
    let desktop;
    before(async () => {
        chromium = await launch();
        server = await serve(siteDir);
        desktop = await Desktop.start();
    });
    after(async () => {
        await desktop?.stop();
        await server?.close();
        await chromium?.close();
    });

    it('keeps to its policy, which refuses inline code it does not name, from disk and served', async () => {
        const pages = [
            ['the single file, from disk', pageFile, []],
            ["the site's page, from disk", join(siteDir, 'index.html'), []],
            ['the site, served', server.url, ["manifest-src 'self'", "worker-src 'self'", "img-src 'self'", "connect-src 'self'"]],
        ];
        // Apart, so that the next test is the site's first visit.
        const apart = await chromium.browser.createBrowserContext();
        for (const [what, where, sources] of pages) {
            const { page, problems, fetched } = await openPage(apart, where);
            await settled(page);
            const policy = await page.$eval('meta[http-equiv="Content-Security-Policy"]', (m) => m.content);
            assert.match(policy, /^default-src 'none'; script-src ('sha256-[^']+' )+'wasm-unsafe-eval'; style-src 'sha256-/, what);
            assert.doesNotMatch(policy, /unsafe-inline|unsafe-hashes|\*/, what);
            for (const source of sources) assert.ok(policy.includes(source), `${what}: no ${source}`);
            assert.deepEqual(problems, [], what);
            const folder = new URL('.', page.url()).href;
            assert.deepEqual(fetched.filter((url) => !url.startsWith(folder)), [], `${what} fetched from elsewhere`);

            await page.evaluate(() => {
                const script = document.createElement('script');
                script.textContent = 'window.tessaryInjected = true;';
                document.head.append(script);
            });
            for (let i = 0; i < 100 && !problems.length; i++) await sleep(50);
            assert.equal(await page.evaluate(() => window.tessaryInjected), undefined, `${what}: an injected script ran`);
            // Chromium reports it in the console as well as by the event.
            assert.ok(problems.some((p) => /violation: script-src-elem refused inline/.test(p)), `${what}: ${problems}`);
            assert.ok(problems.every((p) => /Content.Security.Policy/i.test(p)), `${what}: ${problems}`);
            await page.close();
        }
        await apart.close();
    });

    it('can be installed, its worker takes the page over, and it starts and draws with no server', async () => {
        const { page, problems } = await openPage(chromium.browser, server.url);
        await page.evaluate(() => navigator.serviceWorker.ready);
        const session = await page.createCDPSession();
        const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
        assert.deepEqual(installabilityErrors, []);
        const { url, errors } = await session.send('Page.getAppManifest');
        assert.equal(url, `${server.url}manifest.webmanifest`);
        assert.deepEqual(errors, []);
        // At an origin's root, the app is the root, as it always was: installed there, it stays one app.
        assert.equal(await appId(page), server.url);

        await page.reload({ waitUntil: 'load' });
        assert.equal(await page.evaluate(() => navigator.serviceWorker.controller?.scriptURL), `${server.url}sw.js`);
        assert.deepEqual(problems, []);
        await page.close();

        await server.close();
        const offline = await openPage(chromium.browser, server.url);
        console.log(`offline: ${assertAgree(await desktop.picture(), await canvasPicture(offline.page), 'offline')}`);
        assert.deepEqual(offline.problems, []);
    });

    it('in two folders of one origin, has an app id of its own in each, and each starts with no network', async () => {
        // /tessary/'s worker takes over last: one that took /tessary-1.0/'s caches for
        // its own, as its path begins the other's, or that removed every cache but its
        // own, would leave /tessary-1.0/ nothing to start from. /tessary-1.0/ has another
        // build's hash, as another release would, so that its cache is not /tessary/'s
        // by name alone.
        const folders = ['tessary-1.0', 'tessary'];
        const dir = mkdtempSync(join(tmpdir(), 'tessary-folders-'));
        try {
            for (const folder of folders) cpSync(siteDir, join(dir, folder), { recursive: true });
            const worker = join(dir, folders[0], 'sw.js');
            const build = /^const BUILD = '([0-9a-f]+)';/;
            assert.match(readFileSync(worker, 'utf8'), build);
            writeFileSync(worker, readFileSync(worker, 'utf8').replace(build, (_, hash) => `const BUILD = '${[...hash].reverse().join('')}';`));
            const host = await serve(dir);
            try {
                for (const folder of folders) {
                    await (await startSite(chromium.browser, `${host.url}${folder}/`, { controlled: true })).page.close();
                }
            } finally {
                await host.close();
            }
            for (const folder of folders) {
                const url = `${host.url}${folder}/`;
                const { page, heading, worker } = await startSite(chromium.browser, url);
                assert.match(heading, /^Tessary \d/, folder);
                assert.equal(worker, `${url}sw.js`, folder);
                assert.equal(await appId(page), url, folder);
                await page.close();
            }
        } finally {
            rmSync(dir, { recursive: true, force: true });
        }
    });

    it('has a maskable icon whose drawing keeps within the safe zone', () => {
        // Launchers may crop the icon to any shape that holds the circle of 40 % of the
        // side about its centre; the ground fills the square, the lines stay inside.
        const SIDE = 512;
        const grey = execFileSync('convert', [join(siteDir, 'icon-maskable-512.png'), '-colorspace', 'gray', '-depth', '8', 'gray:-']);
        assert.equal(grey.length, SIDE * SIDE);
        let lit = 0;
        let reach = 0;
        for (let i = 0; i < grey.length; i++) {
            if (grey[i] < 16) continue;
            lit++;
            reach = Math.max(reach, Math.hypot(i % SIDE + 0.5 - SIDE / 2, Math.floor(i / SIDE) + 0.5 - SIDE / 2) / SIDE);
        }
        assert.ok(lit > 1000, 'the icon draws nothing');
        assert.ok(reach <= 0.4, `the drawing reaches ${reach.toFixed(3)} of the side from the centre`);
        assert.equal(grey[0], grey[SIDE * SIDE - 1], 'the ground does not fill the corners');
        assert.ok(grey[0] < 16, 'the ground is not dark');
    });
});
