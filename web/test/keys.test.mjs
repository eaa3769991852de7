// SPDX-License-Identifier: MIT
// Only the nine lower-case keys act, whatever Shift and Caps Lock do to them; a key and
// its opposite, and keys that do nothing, leave the picture the same, pixel for pixel;
// between keys the page holds its picture and draws no frame.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, canvasPicture, differences, frames, sleep, FRAME_VERTICES } from './support.mjs';

// A key as a keyboard sends it: `key` the character it types, `code` the physical key,
// `keyCode` the legacy code, `shift` whether Shift is down.
async function send(page, { key, code, keyCode, shift = false }) {
    const session = await page.createCDPSession();
    const common = { key, code, windowsVirtualKeyCode: keyCode, modifiers: shift ? 8 : 0 };
    await session.send('Input.dispatchKeyEvent', { type: 'keyDown', text: key, ...common });
    await session.send('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
    await session.detach();
}
const letter = (key, shift) => ({ key, code: `Key${key.toUpperCase()}`, keyCode: key.toUpperCase().charCodeAt(0), shift });

describe('keys on the page', () => {
    let chromium;
    let page;
    let problems;
    let start;
    before(async () => {
        chromium = await launch();
        ({ page, problems } = await openPage(chromium.browser));
        // A start away from every symmetry of the picture.
        for (const key of ['h', 'j', 'w', 'e']) await page.keyboard.press(key);
        start = await canvasPicture(page);
    });
    after(async () => {
        await chromium?.close();
    });

    it('a key then its opposite gives back the picture exactly', async () => {
        for (const [key, opposite] of [['a', 'd'], ['w', 'x'], ['e', 'z']]) {
            await page.keyboard.press(key);
            assert.ok(differences(await canvasPicture(page), start) > 0, `${key} changed nothing`);
            await page.keyboard.press(opposite);
            assert.equal(differences(await canvasPicture(page), start), 0, `${key} ${opposite} moved the picture`);
        }
    });

    it('capitals, digits, symbols and named keys do nothing', async () => {
        await page.keyboard.down('Shift');
        for (const key of 'ADWXEZHJK!@#$%^&*()_+{}|:"<>?~') await page.keyboard.press(key);
        await page.keyboard.up('Shift');
        for (const key of '0123456789-=[]\\;\',./` ') await page.keyboard.press(key);
        for (const key of ['Enter', 'Escape', 'Tab', 'Backspace', 'Delete', 'ArrowUp', 'ArrowLeft',
            'F1', 'Home', 'PageDown', 'CapsLock', 'Shift', 'Control', 'Alt']) {
            await page.keyboard.press(key);
        }
        assert.equal(differences(await canvasPicture(page), start), 0);
    });

    it('with Caps Lock on, a letter types a capital and does nothing; with Shift too, it acts', async () => {
        // Caps Lock on: the key types 'H' with no Shift down.
        for (const key of 'adwxezhjk') await send(page, letter(key.toUpperCase(), false));
        assert.equal(differences(await canvasPicture(page), start), 0, 'a capital from Caps Lock acted');
        // Caps Lock and Shift: the key types 'a' with Shift down, and turns the view.
        await send(page, letter('a', true));
        assert.ok(differences(await canvasPicture(page), start) > 0, "'a' typed with Shift and Caps Lock did nothing");
        await page.keyboard.press('d');
        assert.equal(differences(await canvasPicture(page), start), 0, 'it acted other than a does');
    });

    it('holds its picture while nothing happens, and draws a key, whole, on the next frames', async () => {
        const held = await frames(page);
        await sleep(1000);
        assert.equal(await frames(page), held, 'frames drawn with nothing happening');
        await page.keyboard.press('a');
        assert.ok(differences(await canvasPicture(page), start) > 0, 'a changed nothing');
        assert.ok(await frames(page) > held, 'a key drew no frame');
        assert.equal(await page.evaluate(() => window.tessaryVertices), FRAME_VERTICES, 'line ends drawn');
        await page.keyboard.press('d');
        assert.equal(differences(await canvasPicture(page), start), 0, 'a d moved the picture');
    });

    it('leaves no error in the console', () => {
        assert.deepEqual(problems, []);
    });
});
