// SPDX-License-Identifier: MIT
// The page in WebKit, the engine of every browser on an iPhone: WebKitGTK's MiniBrowser on
// an X display of its own, driven over WebDriver. Its picture must be the desktop
// program's, also after a lost WebGL context comes back, its buttons must act, and it
// must break no Content-Security-Policy.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { Desktop, xServer, assertAgree, differences, until } from './support.mjs';
import { WebKit, recordedPage } from './webdriver.mjs';

describe('the page in WebKit (MiniBrowser through WebKitWebDriver)', () => {
    let desktop;
    let server;
    let webkit;
    let page;
    before(async () => {
        desktop = await Desktop.start();
        server = await xServer();
        webkit = await WebKit.start(server.display);
        page = recordedPage();
        await webkit.open(page.url);
    });
    after(async () => {
        await webkit?.close();
        await server?.stop();
        await desktop?.stop();
        page?.remove();
    });

    it('shows the picture at 600 CSS px, one device pixel to the pixel', async () => {
        const [width, height, ratio, hidden] = await webkit.run(`const box = document.querySelector('canvas')
            .getBoundingClientRect(); return [box.width, box.height, devicePixelRatio, document.getElementById('message').hidden];`);
        assert.deepEqual({ width, height, ratio, hidden }, { width: 600, height: 600, ratio: 1, hidden: true });
    });

    it('draws the desktop picture at start-up and after keys in the planes of 4-space and the view', async () => {
        console.log(`WebKit start-up: ${assertAgree(await desktop.picture(), await webkit.canvasPicture(), 'start-up')}`);
        // Cumulative, as both programs go on from where the last step left them.
        for (const keys of [['h', 'h', 'j', 'j'], ['a', 'w', 'e', 'e'], ['k', 'k', 'k'], ['x', 'z', 'd', 'h', 'j', 'k']]) {
            await desktop.press(keys);
            await webkit.press(keys);
            console.log(`WebKit after ${keys.join(' ')}: ` +
                assertAgree(await desktop.changedPicture(), await webkit.canvasPicture(), `after ${keys.join(' ')}`));
        }
    });

    it('an on-screen button acts as its key', async () => {
        await desktop.press(['w']);
        await webkit.click('button[data-key="w"]');
        assertAgree(await desktop.changedPicture(), await webkit.canvasPicture(), 'after the button w');
    });

    it('draws the same picture after its WebGL context is lost and given back', async () => {
        const before = await webkit.canvasPicture();
        for (const [call, shown] of [['loseContext', true], ['restoreContext', false]]) {
            await webkit.run(`window.tessaryLoss ??= document.querySelector('canvas').getContext('webgl')
                .getExtension('WEBGL_lose_context'); window.tessaryLoss.${call}();`);
            await until(`the message ${shown ? 'shown' : 'gone'} after ${call}()`,
                async () => (await webkit.run("return document.getElementById('message').hidden;")) !== shown);
        }
        assert.equal(differences(await webkit.canvasPicture(), before), 0);
    });

    // Last, so that it covers start-up and all the keys and the button before it.
    it('breaks no Content-Security-Policy and throws nothing', async () => {
        assert.deepEqual(await webkit.run('return [window.tessaryViolations, window.tessaryProblems];'), [[], []]);
    });
});
