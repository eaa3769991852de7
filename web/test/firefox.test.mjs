// SPDX-License-Identifier: MIT
// The page in Firefox ESR: headless it has no WebGL here and must say so; on an X display
// it draws through Mesa, and its picture must be the desktop program's, also after its
// WebGL context is lost and given back.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, canvasPicture, Desktop, xServer, assertAgree, sleep, contextLoss, differences } from './support.mjs';

describe('the page in Firefox ESR', () => {
    it('headless, with no WebGL, shows the message and throws nothing', async () => {
        const firefox = await launch({ browser: 'firefox' });
        try {
            const { page, problems } = await openPage(firefox.browser);
            await page.keyboard.press('h');
            await sleep(500);
            const webgl = await page.evaluate(() => !!document.createElement('canvas').getContext('webgl'));
            const shown = await page.$eval('#message', (m) => !m.hidden);
            // Either Firefox draws, or it says why not; never a blank page.
            assert.equal(shown, !webgl, `WebGL ${webgl}, message shown ${shown}`);
            assert.deepEqual(problems, []);
        } finally {
            await firefox.close();
        }
    });

    it('on an X display, draws the desktop picture, takes keys, and draws it again after a lost context', async () => {
        // A display of its own: without a window manager, windows on one display overlap.
        const desktop = await Desktop.start();
        let server;
        let firefox;
        try {
            server = await xServer();
            firefox = await launch({ browser: 'firefox', display: server.display });
            const { page, problems } = await openPage(firefox.browser);
            const desktopStart = await desktop.picture();
            console.log(`Firefox start-up: ${assertAgree(desktopStart, await canvasPicture(page), 'start-up')}`);
            const keys = ['h', 'w', 'e', 'k', 'k', 'j'];
            await desktop.press(keys);
            for (const key of keys) await page.keyboard.press(key);
            const picture = await canvasPicture(page);
            console.log(`Firefox after ${keys.join(' ')}: ` + assertAgree(await desktop.changedPicture(), picture, 'after keys'));
            await contextLoss(page, 'loseContext');
            await contextLoss(page, 'restoreContext');
            assert.equal(differences(await canvasPicture(page), picture), 0, 'the picture after a lost context came back');
            assert.deepEqual(problems, []);
        } finally {
            await firefox?.close();
            await server?.stop();
            await desktop.stop();
        }
    });
});
