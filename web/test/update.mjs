// SPDX-License-Identifier: MIT
// Checks, in headless Chromium, that a site kept by a browser from one release updates
// to the next, and that two releases in two folders of one origin keep apart:
//
//   node web/test/update.mjs OLD NEW
//
// OLD and NEW are each a site folder (build-web/site/) or a release's tessary-V-site.zip
// (its files in the one folder tessary-V-site/), whose pages say different versions. It
// needs Debian's chromium (or TESSARY_CHROMIUM), unzip for a zip, and web/'s npm packages
// (scripts/lib.sh's npm_ci). It serves a folder of its own on 127.0.0.1 with a server it
// starts, and stops by its pid where the checks need no network:
//
//   1. OLD in /tessary/ and NEW in /tessary-1.0/ (the one's path begins the other's),
//      each opened with the network until its worker controls the page;
//   2. the server stopped: each starts, showing its own release, with an app id of its own;
//   3. the server back at the same origin, NEW in /tessary/ in place of OLD: started with
//      the network, it shows NEW at the latest on the second start (the first may be
//      OLD's page, from OLD's worker, while NEW's installs);
//   4. the server stopped: /tessary/ starts with NEW and OLD's cache is gone, and
//      /tessary-1.0/ still starts; each app id is its folder's URL.
//
// It prints each check as it goes and exits 1 naming those that failed.
import { execFileSync } from 'node:child_process';
import { cpSync, existsSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, serveProcess, startSite, appId, until } from './support.mjs';

const [oldPath, newPath] = process.argv.slice(2);
if (!newPath || process.argv.length > 4) {
    console.error('usage: node web/test/update.mjs OLD NEW   (each a site folder or a tessary-V-site.zip)');
    process.exit(2);
}
const begun = Date.now();
const work = mkdtempSync(join(tmpdir(), 'tessary-update-'));
const www = join(work, 'www');

// A site folder, or a release's zip unpacked under `work`, and what its page's heading says.
function site(path, name) {
    if (path.endsWith('.zip')) {
        const into = join(work, name);
        execFileSync('unzip', ['-q', path, '-d', into], { stdio: ['ignore', 'ignore', 'inherit'] });
        const top = readdirSync(into);
        if (top.length !== 1) throw new Error(`${path} holds ${top.join(', ')}, not one folder tessary-V-site/`);
        path = join(into, top[0]);
    }
    const index = join(path, 'index.html');
    if (!existsSync(index)) throw new Error(`${path} has no index.html: it is not a site`);
    const heading = /<h1>(Tessary [^<]+)<\/h1>/.exec(readFileSync(index, 'utf8'))?.[1];
    if (!heading) throw new Error(`${index} has no <h1>Tessary VERSION</h1>`);
    return { folder: path, heading };
}

const failures = [];
let checks = 0;
function check(what, ok, detail = '') {
    checks++;
    console.log(`${ok ? 'ok' : 'FAILED'}: ${what}${detail ? ` (${detail})` : ''}`);
    if (!ok) failures.push(what);
    return ok;
}

// The folder's content replaced by the site's, as a host gets a new release.
function place(from, folder) {
    rmSync(join(www, folder), { recursive: true, force: true });
    cpSync(from.folder, join(www, folder), { recursive: true });
}

let chromium;
let server;
try {
    const old = site(oldPath, 'old');
    const next = site(newPath, 'new');
    if (old.heading === next.heading) throw new Error(`OLD and NEW both say "${old.heading}"`);
    console.log(`OLD: ${old.heading}, ${old.folder}\nNEW: ${next.heading}, ${next.folder}`);

    place(old, 'tessary');
    place(next, 'tessary-1.0');
    server = await serveProcess(www);
    const { port, url: base } = server;
    const at = (folder) => `${base}${folder}/`;
    chromium = await launch({ args: ['--disable-quic'] });

    // One start: its page closed once it is read (the tab a person closes), or null,
    // counted as failed, where it does not start.
    async function start(what, url, { controlled = false, settle = false } = {}) {
        const swAsked = server?.asked(`${new URL(url).pathname}sw.js`);
        let started;
        try {
            started = await startSite(chromium.browser, url, { controlled });
        } catch (error) {
            check(what, false, error.message);
            return null;
        }
        started.id = await appId(started.page);
        // The browser checks the worker for an update on its own some time after a start
        // with the network, and installs a new one then: the tab stays open until that is
        // done, as a person's would, so that the next start finds it. Chromium asked for
        // sw.js 2 s after the page loaded (60 s after, started with --disable-gpu).
        if (settle) {
            const sw = `${new URL(url).pathname}sw.js`;
            const asked = await until('the browser to check sw.js', () => server.asked(sw) > swAsked, 100).catch(() => false);
            if (check('the browser checks sw.js for an update of its own accord', asked)) {
                await until('no worker installing or waiting', () => started.page.evaluate(async () => {
                    const registration = await navigator.serviceWorker.getRegistration();
                    return registration && !registration.installing && !registration.waiting;
                }));
            }
        }
        await started.page.close();
        return started;
    }
    const says = (started, site) => started?.heading === site.heading;

    // 1. Both kept by the browser.
    const first = await start('OLD in /tessary/ starts with the network and its worker takes it over', at('tessary'), { controlled: true });
    check(`/tessary/ says "${old.heading}"`, says(first, old), first?.heading);
    const oldCaches = first?.caches ?? [];
    console.log(`  OLD's caches: ${JSON.stringify(oldCaches)}`);
    const other = await start('NEW in /tessary-1.0/ starts with the network and its worker takes it over', at('tessary-1.0'), { controlled: true });
    check(`/tessary-1.0/ says "${next.heading}"`, says(other, next), other?.heading);

    // 2. Each starts with no network.
    await server.stop();
    server = null;
    check('the server is gone', await fetch(at('tessary')).then(() => false, () => true));
    const apart = [];
    for (const [folder, expected] of [['tessary', old], ['tessary-1.0', next]]) {
        const started = await start(`/${folder}/ starts with no network`, at(folder));
        check(`/${folder}/ with no network says "${expected.heading}"`, says(started, expected), started?.heading);
        apart.push(started?.id);
        console.log(`  /${folder}/'s app id: ${started?.id ?? '(it did not start)'}`);
    }
    check('the two folders have two app ids', apart.every(Boolean) && apart[0] !== apart[1], apart.join(', '));

    // 3. NEW in place of OLD, started with the network.
    place(next, 'tessary');
    server = await serveProcess(www, port);
    let updatedAt = 0;
    for (let n = 1; n <= 2 && !updatedAt; n++) {
        const started = await start(`/tessary/ starts with the network, start ${n} after NEW is served`, at('tessary'), { settle: n === 1 });
        console.log(`  start ${n}: "${started?.heading}", caches ${JSON.stringify(started?.caches)}`);
        if (says(started, next)) updatedAt = n;
    }
    check(`/tessary/ says "${next.heading}" at the latest on its second start with the network`, updatedAt > 0,
        updatedAt ? `on start ${updatedAt}` : 'not after two');

    // 4. The update kept, the old cache gone, the other folder untouched.
    await server.stop();
    server = null;
    const updated = await start('/tessary/ starts with no network after the update', at('tessary'));
    check(`/tessary/ with no network says "${next.heading}"`, says(updated, next), updated?.heading);
    const left = oldCaches.filter((name) => updated?.caches.includes(name));
    check("OLD's cache is gone", updated && oldCaches.length && !left.length,
        `before ${JSON.stringify(oldCaches)}, now ${JSON.stringify(updated?.caches)}`);
    const still = await start('/tessary-1.0/ still starts with no network', at('tessary-1.0'));
    check(`/tessary-1.0/ with no network says "${next.heading}"`, says(still, next), still?.heading);
    for (const [folder, started] of [['tessary', updated], ['tessary-1.0', still]]) {
        check(`/${folder}/'s app id is its folder's URL`, started?.id === at(folder), started?.id);
    }
} catch (error) {
    check('the check ran to its end', false, error.message);
} finally {
    await server?.stop();
    await chromium?.close();
    rmSync(work, { recursive: true, force: true });
}
console.log(`update.mjs: ${checks - failures.length} passed, ${failures.length} failed, in ${((Date.now() - begun) / 1000).toFixed(1)} s`);
if (failures.length) {
    console.error(`update.mjs: failed: ${failures.join('; ')}`);
    process.exit(1);
}
