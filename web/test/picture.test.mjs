// SPDX-License-Identifier: MIT
// The page's picture against the desktop program's: at start-up, after the same keys in
// the three planes of 4-space and the view, and with the on-screen buttons for keys.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, canvasPicture, Desktop, agreement, differences, assertAgree } from './support.mjs';

describe('the page shows the desktop picture', () => {
    let chromium;
    let desktop;
    before(async () => {
        chromium = await launch();
        desktop = await Desktop.start();
    });
    after(async () => {
        await desktop?.stop();
        await chromium?.close();
    });

    it('at start-up and after the same keys in the three planes and the view', async () => {
        const { page, problems, fetched } = await openPage(chromium.browser);
        let last = await desktop.picture();
        const first = await canvasPicture(page);
        console.log(`start-up: ${assertAgree(last, first, 'start-up')}`);
        assert.equal(await page.$eval('#message', (m) => m.hidden), true, 'a message covers the picture');

        // Cumulative: each step starts from where the last one left both programs.
        const steps = [
            ['xy plane', ['h', 'h', 'h']],
            ['yz plane', ['j', 'j']],
            // Seen along z, a turn in the zw plane shows only once the view has turned.
            ['view about x, y and z', ['a', 'a', 'w', 'e', 'e', 'e']],
            ['zw plane', ['k', 'k', 'k', 'k']],
            ['view back and planes again', ['x', 'z', 'd', 'd', 'd', 'h', 'j', 'k']],
        ];
        for (const [what, keys] of steps) {
            await desktop.press(keys);
            for (const key of keys) await page.keyboard.press(key);
            const desktopPicture = await desktop.changedPicture();
            console.log(`${what} (${keys.join(' ')}): ${assertAgree(desktopPicture, await canvasPicture(page), what)}`);
            last = desktopPicture;
        }
        assert.deepEqual(problems, []);
        assert.deepEqual(fetched, [], 'the page fetched something besides itself');
        // The licences of exactly what the page bundles: Tessary's, Emscripten's
        // JavaScript runtime, musl's mathematics (Sun's notice among them) and
        // compiler-rt's stack functions; none of the libraries that are not linked in.
        const licences = await page.$eval('#licences', (d) => d.textContent);
        for (const part of ['MIT License', 'src/library.js', 'musl/src/math/sin.c', 'Sun Microsystems',
            'compiler-rt/stack_ops.S', 'NCSA', 'LLVM exception']) {
            assert.ok(licences.includes(part), `the page's licences do not mention ${part}`);
        }
        for (const part of ['libcxx', 'libcxxabi', 'dlmalloc', 'emmalloc', 'FreeType']) {
            assert.ok(!licences.includes(part), `the page's licences mention ${part}, which it does not bundle`);
        }
        await page.close();
    });

    it('keys act once each, from the moment the page has loaded and after a click on it', async () => {
        const reference = await openPage(chromium.browser);
        const startUp = await canvasPicture(reference.page);
        await reference.page.close();
        // Seen straight down z at start-up, the grid looks the same after a half turn in
        // the xy plane but not after a quarter turn (its diagonals swap): 18 presses of h
        // that acted twice each would come back to the start-up look, and presses lost
        // before the program took keys would stop short of it.
        const close = (a, b) => {
            const { recall, precision } = agreement(a, b);
            return recall >= 0.99 && precision >= 0.99;
        };
        const { page, problems } = await openPage(chromium.browser);
        for (let i = 0; i < 18; i++) await page.keyboard.press('h');
        assert.ok(!close(startUp, await canvasPicture(page)), '18 presses of h made a half turn, or none');
        await page.click('canvas');
        for (let i = 0; i < 54; i++) await page.keyboard.press('h');
        assert.ok(close(startUp, await canvasPicture(page)), '72 presses of h did not make one full turn');
        assert.deepEqual(problems, []);
        await page.close();
    });

    it('the on-screen buttons give the same picture as the keys', async () => {
        const keys = ['h', 'j', 'k', 'a', 'w', 'e', 'e', 'x', 'z', 'd', 'k'];
        const typed = await openPage(chromium.browser);
        for (const key of keys) await typed.page.keyboard.press(key);
        const byKeys = await canvasPicture(typed.page);
        const pressed = await openPage(chromium.browser);
        for (const key of keys) await pressed.page.click(`button[data-key="${key}"]`);
        const byButtons = await canvasPicture(pressed.page);
        assert.equal(await pressed.page.$$eval('button[data-key]', (b) => b.length), 9);
        assert.equal(differences(byKeys, byButtons), 0, 'buttons and keys drew different pictures');
        const fresh = await Desktop.start();
        try {
            await fresh.picture();
            await fresh.press(keys);
            assertAgree(await fresh.changedPicture(), byButtons, 'buttons against the desktop');
        } finally {
            await fresh.stop();
        }
        assert.deepEqual([...typed.problems, ...pressed.problems], []);
        await typed.page.close();
        await pressed.page.close();
    });
});
