// SPDX-License-Identifier: MIT
// The site (build-web/site/), served on 127.0.0.1 as a static host would serve it: its
// policy holds, nothing stops Chromium from installing it, its service worker takes the
// page over, and with the server gone it still starts and draws the desktop's picture.
// The single file's policy is checked here too; every other test checks that the page
// breaks neither.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { join } from 'node:path';
import { launch, openPage, waitFrames, canvasPicture, Desktop, assertAgree, serve, sleep, pageFile, siteDir }
    from './support.mjs';

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
            await waitFrames(page);
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

        await page.reload({ waitUntil: 'load' });
        assert.equal(await page.evaluate(() => navigator.serviceWorker.controller?.scriptURL), `${server.url}sw.js`);
        assert.deepEqual(problems, []);
        await page.close();

        await server.close();
        const offline = await openPage(chromium.browser, server.url);
        console.log(`offline: ${assertAgree(await desktop.picture(), await canvasPicture(offline.page), 'offline')}`);
        assert.deepEqual(offline.problems, []);
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
