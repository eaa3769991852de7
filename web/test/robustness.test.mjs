// SPDX-License-Identifier: MIT
// The page without WebGL, through the loss and restore of its WebGL context and being
// hidden and shown, and under a flood of keys.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, canvasPicture, differences, frames, sleep, contextLoss,
    FRAME_VERTICES } from './support.mjs';

// Runs body(page) on the page in a Chromium of its own, launched with `options`; no
// console error or uncaught exception may come of it. The browser is closed whatever
// happens.
async function inChromium(options, body) {
    const chromium = await launch(options);
    try {
        const { page, problems } = await openPage(chromium.browser);
        await body(page);
        assert.deepEqual(problems, []);
    } finally {
        await chromium.close();
    }
}

const message = (page) => page.$eval('#message', (m) => ({ shown: !m.hidden, text: m.textContent }));

describe('the page when things go wrong', () => {
    it('says so, with no uncaught exception, where the browser has no WebGL', async () => {
        await inChromium({ args: ['--disable-3d-apis'] }, async (page) => {
            await page.keyboard.press('h');
            await page.click('button[data-key="k"]');
            await sleep(500);
            const { shown, text } = await message(page);
            assert.ok(shown, 'no message in place of the picture');
            assert.match(text, /no WebGL/);
            assert.equal(await frames(page), 0);
        });
    });

    it('says so while its WebGL context is lost, and draws the same picture, whole, once it is back or the page is shown again', async () => {
        await inChromium({}, async (page) => {
            for (const key of ['h', 'w']) await page.keyboard.press(key);
            const before = await canvasPicture(page);
            assert.equal((await message(page)).shown, false);
            await contextLoss(page, 'loseContext');
            // A key and its opposite while it is lost: taken, and nothing to draw on.
            const lostAt = await frames(page);
            for (const key of ['a', 'd']) await page.keyboard.press(key);
            await sleep(1000);
            const { shown, text } = await message(page);
            assert.ok(shown, 'no message after the loss');
            assert.match(text, /reload the page/);
            assert.equal(await frames(page), lostAt, 'frames drawn with no context');

            await contextLoss(page, 'restoreContext');
            const restored = await canvasPicture(page);
            assert.equal(differences(restored, before), 0, 'the picture after the restore is not the one before');
            assert.equal(await page.evaluate(() => window.tessaryVertices), FRAME_VERTICES, 'line ends drawn');

            // Hidden (frozen, then active again) and shown: drawn again, and keys act.
            const session = await page.createCDPSession();
            await session.send('Page.setWebLifecycleState', { state: 'frozen' });
            await session.send('Page.setWebLifecycleState', { state: 'active' });
            assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
            const hiddenAt = await frames(page);
            const other = await page.browser().newPage();
            await page.bringToFront();
            assert.equal(differences(await canvasPicture(page), before), 0, 'the picture changed when shown again');
            assert.ok(await frames(page) > hiddenAt, 'not drawn again when shown');
            await page.keyboard.press('x');
            assert.ok(differences(await canvasPicture(page), before) > 0, 'x after the page was shown changed nothing');
            await other.close();
            await session.detach();
        });
    });

    it('keeps drawing, its heap flat, through 15 s of random keys', async () => {
        await inChromium({}, async (page) => {
            const session = await page.createCDPSession();
            const heap = async () => {
                await session.send('HeapProfiler.collectGarbage');
                return (await session.send('Runtime.getHeapUsage')).usedSize;
            };
            await canvasPicture(page);
            const heapBefore = await heap();
            // A fixed seed, so that a failure can be replayed.
            let seed = 13;
            const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
            const keys = 'adwxezhjkADWXEZHJK0123456789 ,./;-=';
            const perSecond = [];
            let pressed = 0;
            for (let second = 0; second < 15; second++) {
                const start = await frames(page);
                const until = Date.now() + 1000;
                while (Date.now() < until) {
                    await page.keyboard.press(keys[Math.floor(random() * keys.length)]);
                    pressed++;
                }
                perSecond.push((await frames(page)) - start);
            }
            const heapAfter = await heap();
            console.log(`${pressed} keys; frames each second: ${perSecond.join(' ')}; ` +
                `heap ${(heapBefore / 1e6).toFixed(2)} MB before, ${(heapAfter / 1e6).toFixed(2)} MB after`);
            assert.ok(pressed > 300, `only ${pressed} keys in 15 s`);
            assert.ok(Math.min(...perSecond) >= 2, `a second with (almost) no frames: ${perSecond.join(' ')}`);
            assert.ok(heapAfter - heapBefore < 1e6, `the JS heap grew by ${heapAfter - heapBefore} bytes`);
            // Still drawing and still taking keys.
            const now = await canvasPicture(page);
            await page.keyboard.press('w');
            assert.ok(differences(await canvasPicture(page), now) > 0, 'w after the flood changed nothing');
            await session.detach();
        });
    });
});
