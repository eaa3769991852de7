// SPDX-License-Identifier: MIT
// WebKit for the browser tests: WebKitGTK's MiniBrowser, driven by Debian's
// WebKitWebDriver over W3C WebDriver (HTTP and JSON, through node's own fetch), on an X
// display. Classic WebDriver can neither read the console nor run a script before the
// page's own, so the page is opened as a copy with a recorder script first in its head:
// it counts the frames as the other browsers' tests do, and keeps the errors and the
// Content-Security-Policy violations for the test to read.
import { spawn } from 'node:child_process';
import { createHash } from 'node:crypto';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { countFrames, grey, pageFile, sleep, until } from './support.mjs';

const DRIVER = process.env.TESSARY_WEBKITWEBDRIVER ?? '/usr/bin/WebKitWebDriver';
const ELEMENT = 'element-6066-11e4-a52e-4f735466cecf';

// Debian ships MiniBrowser inside the WebKitGTK library package, not with the driver:
// libwebkit2gtk-4.1-0 puts it in /usr/lib/<multiarch>/webkit2gtk-4.1/ on Debian 12 and 13
// alike, where WebKitWebDriver looks for it (on 13, webkit2gtk-driver is a transitional
// package for webkitgtk-webdriver, which depends on libwebkit2gtk-4.1-0).
export function miniBrowser() {
    const chosen = process.env.TESSARY_MINIBROWSER;
    if (chosen) {
        if (!existsSync(chosen)) throw new Error(`MiniBrowser is missing: TESSARY_MINIBROWSER=${chosen} does not exist`);
        return chosen;
    }
    const found = readdirSync('/usr/lib').map((dir) => join('/usr/lib', dir, 'webkit2gtk-4.1/MiniBrowser')).find(existsSync);
    if (!found) {
        throw new Error('MiniBrowser is missing from /usr/lib/*/webkit2gtk-4.1/: install webkit2gtk-driver, ' +
            'which brings it with libwebkit2gtk-4.1-0');
    }
    return found;
}

// Runs in the page before anything else. Its text is hashed into the page's policy.
function recorder() {
    window.tessaryViolations = [];
    window.tessaryProblems = [];
    document.addEventListener('securitypolicyviolation', (e) => window.tessaryViolations.push(
        `${e.effectiveDirective} blocked ${e.blockedURI || 'inline'} at ${e.sourceFile}:${e.lineNumber}`), true);
    window.addEventListener('error', (e) => window.tessaryProblems.push(`uncaught: ${e.message}`));
    window.addEventListener('unhandledrejection', (e) => window.tessaryProblems.push(`unhandled: ${e.reason}`));
    const error = console.error;
    console.error = (...args) => { window.tessaryProblems.push(`error: ${args.join(' ')}`); error.apply(console, args); };
}

// A copy of `file` in a directory of its own with the recorder first in its head. Where
// the page's policy (a Content-Security-Policy meta) lists the scripts it allows, the
// recorder's hash is added to them and nothing else changes; but not beside a bare
// 'unsafe-inline', which allows the recorder already and which a hash would switch off.
// remove() deletes the copy.
export function recordedPage(file = pageFile) {
    if (!existsSync(file)) throw new Error(`${file} is missing: build it with scripts/web.sh`);
    const script = `(${countFrames})();\n(${recorder})();`;
    const hash = `'sha256-${createHash('sha256').update(script).digest('base64')}'`;
    let html = readFileSync(file, 'utf8');
    if (!/<head>/.test(html)) throw new Error(`${file} has no <head>`);
    const isPolicy = (tag) => /http-equiv\s*=\s*"?content-security-policy/i.test(tag);
    html = html.replace(/<meta\b[^>]*>/gi, (tag) => !isPolicy(tag) ? tag : tag.replace(/(\bcontent\s*=\s*")([^"]*)"/i,
        (_, start, policy) => {
            const directives = policy.split(';').map((d) => d.trim()).filter(Boolean);
            const scripts = directives.findIndex((d) => /^script-src\s/.test(d));
            const fallback = directives.find((d) => /^default-src\s/.test(d));
            const allowsInline = (d) => /'unsafe-inline'/.test(d) && !/'(sha\d+|nonce)-/.test(d);
            if (scripts >= 0) {
                if (!allowsInline(directives[scripts])) directives[scripts] += ` ${hash}`;
            } else if (fallback && !allowsInline(fallback)) {
                directives.push(fallback.replace(/^default-src/, 'script-src') + ` ${hash}`);
            }
            return `${start}${directives.join('; ')}"`;
        }));
    html = html.replace('<head>', () => `<head>\n<script>${script}</script>`);
    const dir = mkdtempSync(join(tmpdir(), 'tessary-page-'));
    const copy = join(dir, 'tessary.html');
    writeFileSync(copy, html);
    return { file: copy, url: pathToFileURL(copy).href, remove: () => rmSync(dir, { recursive: true, force: true }) };
}

async function freePort() {
    const server = createServer();
    await new Promise((done, failed) => server.once('error', failed).listen(0, '127.0.0.1', done));
    const { port } = server.address();
    await new Promise((done) => server.close(done));
    return port;
}

// MiniBrowser through WebKitWebDriver, on the X display `display`, in a window large
// enough that the page lays the picture out at 600 CSS px, at one device pixel to the
// pixel. close() ends the session, then stops the driver and what it started (its
// process group) by its pid, and removes the browser's data.
export class WebKit {
    static async start(display) {
        if (!existsSync(DRIVER)) throw new Error(`${DRIVER} is missing: install webkit2gtk-driver`);
        const binary = miniBrowser();
        const webkit = new WebKit();
        webkit.home = mkdtempSync(join(tmpdir(), 'tessary-webkit-'));
        try {
            const port = await freePort();
            webkit.base = `http://127.0.0.1:${port}`;
            webkit.driver = spawn(DRIVER, [`--port=${port}`], {
                detached: true,  // a process group of its own, so that close() stops MiniBrowser too
                stdio: ['ignore', 'ignore', 'pipe'],
                // One device pixel to the pixel; its settings and caches in a directory of
                // its own. On Xvfb, WebKit's DMA-BUF renderer draws a frame every second or
                // so, and element screenshots of the canvas come out black: the shared-memory
                // path instead draws 20 to 30 frames a second here, and shows the canvas.
                env: {
                    ...process.env, DISPLAY: display, GDK_BACKEND: 'x11', GDK_SCALE: '1', GDK_DPI_SCALE: '1',
                    WEBKIT_DISABLE_DMABUF_RENDERER: '1', HOME: webkit.home,
                    XDG_CONFIG_HOME: join(webkit.home, 'config'), XDG_CACHE_HOME: join(webkit.home, 'cache'),
                    XDG_DATA_HOME: join(webkit.home, 'data'),
                },
            });
            webkit.log = '';
            webkit.driver.stderr.on('data', (data) => { webkit.log = (webkit.log + data).slice(-4000); });
            webkit.ended = new Promise((done) => webkit.driver.once('exit', done));
            webkit.driver.once('error', (error) => { webkit.log += `\n${error.message}`; });
            for (let tries = 0; ; tries++) {
                const ready = await fetch(`${webkit.base}/status`).then((r) => r.json(), () => null);
                if (ready?.value?.ready) break;
                if (tries === 100 || webkit.driver.exitCode !== null) {
                    throw new Error(`WebKitWebDriver did not start: ${webkit.log}`);
                }
                await sleep(100);
            }
            const { sessionId } = await webkit.command('POST', '/session', { capabilities: { alwaysMatch: {
                'webkitgtk:browserOptions': { binary, args: ['--automation'] } } } });
            webkit.session = `/session/${sessionId}`;
            await webkit.command('POST', `${webkit.session}/window/rect`, { width: 1400, height: 1200 });
        } catch (error) {
            await webkit.close();
            throw error;
        }
        return webkit;
    }

    // One WebDriver command; its value, or an error with WebDriver's message.
    async command(method, path, body) {
        const response = await fetch(`${this.base}${path}`, {
            method, headers: { 'content-type': 'application/json' },
            body: body === undefined ? undefined : JSON.stringify(body),
            signal: AbortSignal.timeout(60000) });
        const { value } = await response.json();
        if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value?.error}: ${value?.message}`);
        return value;
    }

    // Opens `url`, a page from recordedPage(), and waits for its load event.
    async open(url) {
        await this.command('POST', `${this.session}/url`, { url });
        if (!(await this.run('return Array.isArray(window.tessaryViolations);'))) {
            throw new Error(`the recorder did not run in ${url}: the page's policy blocked it?`);
        }
    }

    // Runs `body` (a function's body, given `args` as arguments) in the page; its result.
    run(body, ...args) { return this.command('POST', `${this.session}/execute/sync`, { script: body, args }); }

    async element(selector) {
        return (await this.command('POST', `${this.session}/element`, { using: 'css selector', value: selector }))[ELEMENT];
    }

    click(selector) {
        return this.element(selector).then((id) => this.command('POST', `${this.session}/element/${id}/click`, {}));
    }

    // Types the keys (each one character) to the page, one after another, as the keyboard does.
    press(keys) {
        const actions = keys.flatMap((key) => [{ type: 'keyDown', value: key }, { type: 'keyUp', value: key }]);
        return this.command('POST', `${this.session}/actions`, { actions: [{ type: 'key', id: 'keys', actions }] });
    }

    // As support.mjs's canvasPicture: the canvas as shown, once the page has drawn and
    // holds its picture.
    // WebKit takes the screenshot after the page's next rendering update, and a page that
    // holds its picture makes none: a pixel of the harness's own, off the canvas, changes
    // until it is taken.
    async canvasPicture() {
        await this.settled();
        const canvas = await this.element('canvas');
        await this.run(`const tick = document.createElement('div');
            tick.id = 'tessary-tick';
            tick.style.cssText = 'position: fixed; left: 0; top: 0; width: 1px; height: 1px';
            document.body.append(tick);
            let n = 0;
            window.tessaryTick = setInterval(() => { tick.style.background = n++ % 2 ? '#000' : '#010101'; }, 50);`);
        try {
            return grey(Buffer.from(await this.command('GET', `${this.session}/element/${canvas}/screenshot`), 'base64'));
        } finally {
            await this.run("clearInterval(window.tessaryTick); document.getElementById('tessary-tick').remove();");
        }
    }

    // As support.mjs's settled: the page has drawn and asks for no frame (or, drawing
    // every frame, has drawn three more).
    async settled() {
        const start = await this.run('window.scrollTo(0, 0); return window.tessaryFrames;');
        await until('the page to draw and hold its picture', async () => {
            const [drawn, asked] = await this.run('return [window.tessaryFrames, window.tessaryAsked];');
            return drawn > 0 && (asked === 0 || drawn >= start + 3);
        });
    }

    async close() {
        if (this.session) {
            await this.command('DELETE', this.session).catch(() => {});
            this.session = null;
        }
        if (this.driver?.pid) {
            // The driver first, then whatever of its group outlives it (MiniBrowser and the
            // web processes, should the session not have ended them).
            const signal = (name) => { try { process.kill(-this.driver.pid, name); } catch { /* all gone */ } };
            signal('SIGTERM');
            await Promise.race([this.ended, sleep(5000)]);
            signal('SIGKILL');
            await this.ended;
        }
        rmSync(this.home, { recursive: true, force: true });
    }
}
