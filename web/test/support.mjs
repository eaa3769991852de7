// SPDX-License-Identifier: MIT
// What the browser tests share: Chromium (or Firefox) driven through puppeteer-core, the
// page opened from disk, its canvas as a picture; the desktop program under an Xvfb of
// its own, through the window harness; and the comparison of two pictures. Every process
// started here is stopped by its pid, also when a test fails.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, readFileSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { createInterface } from 'node:readline';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const pageFile = process.env.TESSARY_PAGE ?? join(root, 'build-web/tessary.html');
export const siteDir = process.env.TESSARY_SITE ?? join(root, 'build-web/site');
export const desktopBinary = process.env.TESSARY_BINARY ?? join(root, 'build-dev/tessary');
const harnessTool = process.env.TESSARY_HARNESS ?? join(root, 'build-dev/tests/x_session_tool');
export const SIZE = 600;

export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// Counts the frames the page draws: every frame starts with one clear of the canvas.
// Notes when the first one began and the last, in ms from the start of the navigation;
// the line vertices that reached WebGL in the last frame (tessaryVertices, complete once
// the frame is); and the animation frames asked for and not yet run (tessaryAsked).
export function countFrames() {
    window.tessaryFrames = 0;
    window.tessaryVertices = 0;
    window.tessaryAsked = 0;
    const request = window.requestAnimationFrame;
    window.requestAnimationFrame = (callback) => {
        window.tessaryAsked++;
        return request.call(window, (time) => {
            window.tessaryAsked--;
            callback(time);
        });
    };
    for (const context of [window.WebGLRenderingContext, window.WebGL2RenderingContext]) {
        if (!context) continue;
        const { clear, drawArrays } = context.prototype;
        context.prototype.clear = function (mask) {
            if (window.tessaryFrames++ === 0) {
                window.tessaryFirstFrame = performance.now();
                window.tessaryFirstBuffer = this.drawingBufferWidth;
            }
            window.tessaryLastFrame = performance.now();
            window.tessaryVertices = 0;
            return clear.call(this, mask);
        };
        context.prototype.drawArrays = function (mode, first, count) {
            if (!this.isContextLost()) window.tessaryVertices += count;
            return drawArrays.call(this, mode, first, count);
        };
    }
}

// Reports each breach of the page's Content-Security-Policy as a console error, which
// openPage counts among the problems that no test allows.
function reportViolations() {
    window.addEventListener('securitypolicyviolation', (event) => {
        console.error(`Content-Security-Policy violation: ${event.effectiveDirective} refused ` +
            `${event.blockedURI || 'inline code'} (${event.sourceFile}:${event.lineNumber})`);
    });
}

export const CHROMIUM_ARGS = [
    '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run', '--allow-file-access-from-files', '--window-size=1400,1200',
];

// Starts headless Chromium with a fresh profile; or, with browser 'firefox', Firefox ESR
// over WebDriver BiDi, headless, or on the X display `display` when given (its headless
// mode offers no WebGL here; on a display it draws through Mesa). close() stops the
// browser and removes the profile.
export async function launch({ browser = 'chrome', args = [], display } = {}) {
    const profile = mkdtempSync(join(tmpdir(), 'tessary-browser-'));
    let instance;
    try {
        instance = browser === 'firefox'
            ? await puppeteer.launch({
                browser: 'firefox', executablePath: '/usr/bin/firefox-esr', userDataDir: profile,
                headless: !display, args,
                env: display ? { ...process.env, DISPLAY: display, LIBGL_ALWAYS_SOFTWARE: '1' } : process.env,
                extraPrefsFirefox: display ? { 'webgl.force-enabled': true } : {} })
            : await puppeteer.launch({
                executablePath: process.env.TESSARY_CHROMIUM ?? '/usr/bin/chromium',
                headless: true, userDataDir: profile, args: [...CHROMIUM_ARGS, ...args],
                // The window's own size, so that the whole page fits and no key scrolls it.
                defaultViewport: null });
    } catch (error) {
        rmSync(profile, { recursive: true, force: true });
        throw error;
    }
    return {
        browser: instance,
        async close() {
            const pid = instance.process()?.pid;
            await Promise.race([instance.close(), sleep(5000)]).catch(() => {});
            if (pid) { try { process.kill(pid, 'SIGKILL'); } catch { /* already gone */ } }
            rmSync(profile, { recursive: true, force: true });
        },
    };
}

// Opens the page from disk (a path, or a file: URL, which may end in a #fragment), or
// from an http URL, in a new tab. `problems` collects console errors, uncaught exceptions
// and breaches of the page's Content-Security-Policy, which no test allows; `notices` the
// rest of the console; `fetched` every URL the page asks for that is neither the page
// itself nor inline data. With `screen` (see emulate), the page opens on that screen.
export async function openPage(browser, file = pageFile, screen = null) {
    const remote = /^(https?|file):/.test(file);  // a URL, not a path
    if (!remote && !existsSync(file)) throw new Error(`${file} is missing: build it with scripts/web.sh`);
    const page = await browser.newPage();
    if (screen) await emulate(page, screen);
    const problems = [];
    const notices = [];
    page.on('console', (message) => {
        (message.type() === 'error' || message.type() === 'assert' ? problems : notices)
            .push(`${message.type()}: ${message.text()}`);
    });
    page.on('pageerror', (error) => problems.push(`uncaught: ${error.message ?? error}`));
    const url = remote ? file : pathToFileURL(file).href;
    const fetched = [];
    page.on('request', (request) => {
        if (request.url() !== url && !request.url().startsWith('data:')) fetched.push(request.url());
    });
    await page.evaluateOnNewDocument(countFrames);
    await page.evaluateOnNewDocument(reportViolations);
    await page.goto(url, { waitUntil: 'load' });
    return { page, problems, notices, fetched };
}

// The static server the site's tests and web/bench/lighthouse.sh serve a folder with.
export { serve } from './serve.mjs';

// Waits up to `ms` for `child` to end (`ended`, the promise of its exit), once asked to;
// one still running then is killed.
async function endWithin(child, ended, ms) {
    if (await Promise.race([ended.then(() => true), sleep(ms).then(() => false)]) === false) {
        child.kill('SIGKILL');
        await ended;
    }
}

// The same server as a process of its own, on `port` (0: a free one), so that it can be
// stopped by its pid as a host goes away, and started again at the same origin, where the
// browser keeps the site's worker and caches. asked(PATH) counts the requests for PATH
// that it has answered.
export async function serveProcess(folder, port = 0) {
    const child = spawn(process.execPath, [join(root, 'web/test/serve.mjs'), folder, String(port)],
        { stdio: ['ignore', 'pipe', 'inherit'] });
    const ended = new Promise((done) => child.once('exit', done));
    const lines = createInterface({ input: child.stdout })[Symbol.asyncIterator]();
    const stop = async () => {
        child.kill('SIGTERM');
        await endWithin(child, ended, 3000);
    };
    const url = (await lines.next()).value;
    if (!/^http:/.test(url ?? '')) {
        await stop();
        throw new Error(`the server of ${folder} did not start on port ${port}`);
    }
    const asked = new Map();
    (async () => {
        for (let line = await lines.next(); !line.done; line = await lines.next()) {
            const path = line.value.split(' ')[1];
            asked.set(path, (asked.get(path) ?? 0) + 1);
        }
    })();
    return { url, port: Number(new URL(url).port), pid: child.pid, asked: (path) => asked.get(path) ?? 0, stop };
}

// Polls `test` (an async function) every 50 ms until it gives something true, and gives
// that; fails after `seconds`, saying it waited for `what`.
export async function until(what, test, seconds = 20) {
    const deadline = Date.now() + seconds * 1000;
    for (;;) {
        const found = await test();
        if (found) return found;
        if (Date.now() > deadline) throw new Error(`waited ${seconds} s for ${what}`);
        await sleep(50);
    }
}

// The site started as a person starts it: a new tab at `url`, loaded; with `controlled`,
// until its service worker controls the page too. Gives the tab, the page's heading, the
// script of the worker that controls it (or null) and the origin's caches. A start that
// fails (with no network, and no worker to answer) throws, saying so, and closes the tab.
export async function startSite(browser, url, { controlled = false } = {}) {
    const page = await browser.newPage();
    try {
        await page.goto(url, { waitUntil: 'load' });
        if (controlled) {
            await until('its service worker to control it', () => page.evaluate(() => !!navigator.serviceWorker.controller));
        }
        return { page, ...await page.evaluate(async () => ({
            heading: document.querySelector('h1')?.textContent ?? null,
            worker: navigator.serviceWorker.controller?.scriptURL ?? null,
            caches: await caches.keys(),
        })) };
    } catch (error) {
        await page.close().catch(() => {});
        throw new Error(`${url} did not start: ${error.message}`);
    }
}

// The page's app id, as the browser resolves it from the manifest (null where it has none).
export async function appId(page) {
    const session = await page.createCDPSession();
    try {
        return (await session.send('Page.getAppId')).appId ?? null;
    } finally {
        await session.detach();
    }
}

// A screen of Chromium's device emulation: { width, height } in CSS px, `dpr` device
// pixels to the pixel, `touch` for a phone or tablet (touch events, and the page laid
// out through its viewport meta, as a mobile browser does).
export const emulate = (page, { width, height, dpr = 1, touch = false }) => page.setViewport({
    width, height, deviceScaleFactor: dpr, isMobile: touch, hasTouch: touch, isLandscape: width > height });

// A touch on the screen through the DevTools protocol: `type` touchStart, touchMove,
// touchEnd or touchCancel, at (x, y) in CSS px. A touch lives in one DevTools session,
// so each page keeps its own.
const touchSessions = new WeakMap();
export const touch = (page, type, x = 0, y = 0) => fingers(page, type, type === 'touchEnd' || type === 'touchCancel' ? [] : [[0, x, y]]);

// Several fingers, each [id, x, y] with (x, y) in CSS px: touchStart presses those not
// yet down (and lists those that stay), touchMove moves them, touchEnd lifts those given
// (every finger, given none), touchCancel cancels every one.
export async function fingers(page, type, points) {
    // The session's promise is kept, so that touches sent at once share one session, in order.
    if (!touchSessions.has(page)) touchSessions.set(page, page.createCDPSession());
    const touchPoints = points.map(([id, x, y]) => ({ id, x, y }));
    await (await touchSessions.get(page)).send('Input.dispatchTouchEvent', { type, touchPoints });
}

// The centre of the element `selector`, in CSS px.
export async function centre(page, selector) {
    const box = await page.$eval(selector, (e) => e.getBoundingClientRect().toJSON());
    return [box.x + box.width / 2, box.y + box.height / 2];
}

// axe-core's WCAG 2.x A and AA rules over the page: the violations, each with the
// elements it found.
export async function accessibilityViolations(page) {
    const source = readFileSync(join(root, 'web/node_modules/axe-core/axe.min.js'), 'utf8');
    await page.evaluate(source);
    return page.evaluate(async () => {
        const tags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22a', 'wcag22aa'];
        const { violations } = await window.axe.run(document, { runOnly: { type: 'tag', values: tags } });
        return violations.map((v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(' ')).join(', ')})`);
    });
}

export const frames = (page) => page.evaluate(() => window.tessaryFrames);

// Takes the page's WebGL context away (`loseContext`) or gives it back (`restoreContext`),
// through WEBGL_lose_context, as a phone's browser does; waits until the page's message
// says so (or no longer does), by which time a restored page has asked for its frame.
export async function contextLoss(page, call) {
    await page.evaluate((name) => {
        window.tessaryLoss ??= document.querySelector('canvas').getContext('webgl').getExtension('WEBGL_lose_context');
        window.tessaryLoss[name]();
    }, call);
    const shown = call === 'loseContext';
    await until(`the message ${shown ? 'shown' : 'gone'} after ${call}()`,
        () => page.$eval('#message', (m, want) => m.hidden !== want, shown));
}

// The line ends the program's frame sends to WebGL: 40 triangle strips (rows of the mesh)
// of 160 vertices, whose 158 triangles have 2 x 158 + 1 edges.
export const FRAME_VERTICES = 40 * 2 * (2 * 158 + 1);

// Waits until the page has drawn `count` more frames; fails after `seconds`. Polled from
// here rather than with waitForFunction, whose poller Firefox ESR 140 builds with
// Function(), which the page's Content-Security-Policy refuses.
export async function waitFrames(page, count = 3, seconds = 20) {
    const target = (await frames(page)) + count;
    const deadline = Date.now() + seconds * 1000;
    for (let drawn = await frames(page); drawn < target; drawn = await frames(page)) {
        if (Date.now() > deadline) throw new Error(`the page drew ${drawn - target + count} of ${count} frames in ${seconds} s`);
        await sleep(20);
    }
}

// Waits until the page has drawn and holds its picture: no animation frame is asked for.
// (A page that draws every frame never holds it: for such a page, three more frames.)
// Fails after `seconds`.
export async function settled(page, seconds = 20) {
    const state = () => page.evaluate(() => [window.tessaryFrames, window.tessaryAsked]);
    const [start] = await state();
    await until('the page to draw and hold its picture', async () => {
        const [drawn, asked] = await state();
        return drawn > 0 && (asked === 0 || drawn >= start + 3);
    }, seconds);
}

// The canvas as it is shown, one byte per pixel (grey), rows from the top. Keys such as
// PageDown may have started a smooth scroll of the page; it is ended first, so that the
// capture is not taken from a page in motion.
export async function canvasPicture(page) {
    await page.evaluate(() => window.scrollTo({ top: 0, left: 0, behavior: 'instant' }));
    await settled(page);
    const canvas = await page.$('canvas');
    const png = await canvas.screenshot({ type: 'png' });
    return grey(png);
}

// A picture (PNG, or the harness's PPM) as 600 x 600 grey bytes, through ImageMagick.
export function grey(image, format = 'png') {
    const bytes = execFileSync('convert', [`${format}:-`, '-colorspace', 'gray', '-depth', '8', 'gray:-'],
        { input: image, maxBuffer: 16 << 20 });
    if (bytes.length !== SIZE * SIZE) {
        throw new Error(`the picture has ${bytes.length} pixels, not ${SIZE} x ${SIZE}`);
    }
    return bytes;
}

const LIT = 128;  // the lines are white on black; antialiasing is off on both sides

export const litCount = (picture) => picture.reduce((n, v) => n + (v >= LIT ? 1 : 0), 0);

// The share of the lit pixels of `from` that have a lit pixel of `to` within one pixel.
function matched(from, to) {
    let lit = 0;
    let found = 0;
    for (let y = 0; y < SIZE; y++) {
        for (let x = 0; x < SIZE; x++) {
            if (from[y * SIZE + x] < LIT) continue;
            lit++;
            search: for (let dy = -1; dy <= 1; dy++) {
                for (let dx = -1; dx <= 1; dx++) {
                    const u = x + dx;
                    const v = y + dy;
                    if (u >= 0 && v >= 0 && u < SIZE && v < SIZE && to[v * SIZE + u] >= LIT) {
                        found++;
                        break search;
                    }
                }
            }
        }
    }
    return lit === 0 ? 0 : found / lit;
}

// Recall: how much of the desktop's picture the page shows; precision: how much of the
// page's picture the desktop shows; both within one pixel.
export function agreement(desktop, page) {
    return { recall: matched(desktop, page), precision: matched(page, desktop) };
}

// The pictures must agree within one pixel both ways to at least 0.99 (the bar the two
// programs are held to), and in fact far closer: both draw with the same rules, and here
// they agree to a handful of pixels. One strip of forty left out, or an edge drawn to
// the wrong vertex, costs about 1 % of the lit pixels, so 0.998 is what catches those.
// Returns the figures for the log; the failure message carries them too.
export const AGREEMENT = 0.998;
export function assertAgree(desktopPicture, pagePicture, what) {
    const { recall, precision } = agreement(desktopPicture, pagePicture);
    const figures = `recall ${recall.toFixed(4)}, precision ${precision.toFixed(4)} ` +
        `(desktop ${litCount(desktopPicture)} lit pixels, page ${litCount(pagePicture)})`;
    if (!(recall >= AGREEMENT && precision >= AGREEMENT)) {
        throw new Error(`${what}: the pictures differ: ${figures}`);
    }
    return figures;
}

export function differences(a, b) {
    let n = 0;
    for (let i = 0; i < a.length; i++) if (a[i] !== b[i]) n++;
    return n;
}

// The window harness (tests/support/x_session_tool.cpp, built in build-dev/ with the tests)
// as a co-process: it starts Xvfb and, when given, a program on it, and answers one
// command a line with "ok" or "error WHAT". stop() ends it, which stops what it started.
async function harness(args) {
    if (!existsSync(harnessTool)) {
        throw new Error(`${harnessTool} is missing: build the dev preset (scripts/test.sh does)`);
    }
    const child = spawn(harnessTool, args, { stdio: ['pipe', 'pipe', 'inherit'] });
    const ended = new Promise((done) => child.once('exit', done));
    child.stdin.on('error', () => {});  // it has ended: the answer says so
    const lines = createInterface({ input: child.stdout })[Symbol.asyncIterator]();
    const answer = async () => (await lines.next()).value ?? 'error the window harness ended';
    const stop = async () => {
        child.stdin.end('quit\n');
        await endWithin(child, ended, 10000);
    };
    const ready = await answer();
    if (!ready.startsWith('ready ')) {
        await stop();
        throw new Error(`the window harness did not start: ${ready}`);
    }
    return {
        display: ready.split(' ')[1],
        stop,
        async send(command) {
            child.stdin.write(`${command}\n`);
            const reply = await answer();
            if (reply !== 'ok') throw new Error(`${command}: ${reply.replace(/^error /, '')}`);
        },
    };
}

// An Xvfb server on a free display; stop() ends it.
export const xServer = () => harness([]);

// The desktop program on an Xvfb server of its own. stop() ends both, program first.
export class Desktop {
    static async start() {
        if (!existsSync(desktopBinary)) {
            throw new Error(`${desktopBinary} is missing: build the desktop program first (scripts/test.sh does)`);
        }
        const desktop = new Desktop();
        desktop.dir = mkdtempSync(join(tmpdir(), 'tessary-desktop-'));
        try {
            desktop.harness = await harness([desktopBinary]);
        } catch (error) {
            rmSync(desktop.dir, { recursive: true, force: true });
            throw error;
        }
        return desktop;
    }

    // Presses the keys (X keysym names), one after another, to the focused window.
    async press(keys) {
        if (keys.length) await this.harness.send(`press ${keys.join(' ')}`);
    }

    // The window's picture once it is drawn and still for longer than a frame takes.
    picture() { return this.#picture('settled'); }

    // The same, once the picture has left the last one taken: after keys that must change
    // it (the program may not have read them yet when the first captures are taken).
    changedPicture() { return this.#picture('changed'); }

    async #picture(command) {
        const file = join(this.dir, 'picture.ppm');
        await this.harness.send(`${command} ${file}`);
        return grey(readFileSync(file), 'ppm');
    }

    async stop() {
        await this.harness?.stop();
        rmSync(this.dir, { recursive: true, force: true });
    }
}
