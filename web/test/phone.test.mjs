// SPDX-License-Identifier: MIT
// The page on phones, tablets and desktops, in Chromium's device emulation with touch:
// the picture and every key button on the screen at once, buttons that act as keys
// (taps, holds that repeat and stop, two held at once, Tab, Enter and Space), and
// axe-core's WCAG 2.x A and AA rules.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, settled, canvasPicture, Desktop, assertAgree, touch, fingers, centre,
    accessibilityViolations } from './support.mjs';

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// Phones with the device pixels to the pixel they have, each upright and on its side.
const PHONES = [[360, 640, 3], [390, 844, 3], [412, 915, 2.625], [430, 932, 3], [320, 568, 2]];
const SCREENS = [
    ...PHONES.flatMap(([width, height, dpr]) => [
        { name: `phone ${width}x${height}`, screen: { width, height, dpr, touch: true } },
        { name: `phone ${height}x${width}`, screen: { width: height, height: width, dpr, touch: true } }]),
    { name: 'tablet 768x1024', screen: { width: 768, height: 1024, dpr: 2, touch: true } },
    { name: 'tablet 1024x768', screen: { width: 1024, height: 768, dpr: 2, touch: true } },
    { name: 'laptop 1366x768', screen: { width: 1366, height: 768 } },
    // The window the other tests open the page in.
    { name: 'desktop window', screen: null },
];
const TABLET = { width: 768, height: 1024, dpr: 1, touch: true };  // the picture at 600 x 600
const PHONE = { width: 390, height: 844, dpr: 3, touch: true };
const MIN_TARGET = 44;  // CSS px, each way (WCAG 2.5.5)

// The page, from the first of its frames, with every press its buttons deliver noted as
// [key, time in ms]; presses(page) reads them.
async function openCounting(browser, screen) {
    const opened = await openPage(browser, undefined, screen);
    await settled(opened.page);
    await opened.page.evaluate(() => {
        window.tessaryPresses = [];
        window.addEventListener('keydown', (event) => {
            if (!event.isTrusted) window.tessaryPresses.push([event.key, performance.now()]);
        }, true);
    });
    return opened;
}
const presses = (page) => page.evaluate(() => window.tessaryPresses);
const button = (key) => `button[data-key="${key}"]`;
// Both touches are sent at once, so that no round trip through this process comes between
// them: on a loaded machine that took more than the 0.5 s after which a held button repeats.
async function tap(page, key) {
    const [x, y] = await centre(page, button(key));
    await Promise.all([touch(page, 'touchStart', x, y), touch(page, 'touchEnd')]);
}

describe('the page on phones, tablets and desktops', () => {
    let chromium;
    before(async () => { chromium = await launch(); });
    after(async () => { await chromium?.close(); });

    it('shows the whole picture, square, and every button, large enough, with nothing to scroll sideways', async () => {
        const faults = [];
        for (const { name, screen } of SCREENS) {
            const { page, problems } = await openPage(chromium.browser, undefined, screen);
            await settled(page);
            const seen = await page.evaluate(() => {
                const box = (e) => e.getBoundingClientRect().toJSON();
                const canvas = document.querySelector('canvas');
                return { width: innerWidth, height: innerHeight, scrollWidth: document.documentElement.scrollWidth,
                    canvas: box(canvas), buffer: [canvas.width, canvas.height], first: window.tessaryFirstBuffer, dpr: devicePixelRatio,
                    buttons: [...document.querySelectorAll('button[data-key]')].map((b) => ({ key: b.dataset.key, ...box(b) })) };
            });
            await page.close();
            const fault = (text) => faults.push(`${name}: ${text}`);
            if (screen && seen.width !== screen.width) fault(`laid out ${seen.width} px wide, not at the screen's width`);
            if (seen.scrollWidth > seen.width) fault(`scrolls sideways (${seen.scrollWidth} px wide)`);
            const { left, top, right, bottom, width, height } = seen.canvas;
            const inside = (b) => b.left >= 0 && b.top >= 0 && b.right <= seen.width && b.bottom <= seen.height;
            // Upright, as wide as the screen; on its side, as tall; never over 600 px.
            const side = Math.min(600, seen.height >= seen.width ? seen.width : seen.height);
            if (Math.abs(width - side) > 0.5 || Math.abs(height - side) > 0.5) {
                fault(`picture ${width} x ${height}, not ${side} x ${side}`);
            }
            if (!inside(seen.canvas)) fault(`picture (${left}, ${top})-(${right}, ${bottom}) not wholly on screen`);
            const buffer = Math.round(width * seen.dpr);
            if (seen.buffer[0] !== buffer || seen.buffer[1] !== buffer) {
                fault(`drawing buffer ${seen.buffer.join(' x ')}, not ${buffer} x ${buffer}`);
            }
            // Sized before the first frame: a resize after it stalls the page on the GPU.
            if (seen.first !== buffer) fault(`first frame drawn ${seen.first} px wide, not ${buffer}`);
            if (seen.buttons.length !== 9) fault(`${seen.buttons.length} buttons, not 9`);
            for (const b of seen.buttons) {
                if (!inside(b)) fault(`button ${b.key} not on screen: (${b.left}, ${b.top})-(${b.right}, ${b.bottom})`);
                if (b.width < MIN_TARGET || b.height < MIN_TARGET) fault(`button ${b.key} only ${b.width} x ${b.height}`);
            }
            if (problems.length) fault(problems.join('; '));
        }
        assert.deepEqual(faults, []);
    });

    it('takes taps as one press each and a hold as a held key, and draws the desktop picture for them', async () => {
        const { page, problems } = await openCounting(chromium.browser, TABLET);
        const taps = ['h', 'h', 'w', 'a', 'j'];
        for (const key of taps) await tap(page, key);
        const [x, y] = await centre(page, button('e'));
        await touch(page, 'touchStart', x, y);
        await sleep(1300);
        await touch(page, 'touchEnd');
        const pressed = await presses(page);
        assert.deepEqual(pressed.slice(0, taps.length).map(([key]) => key), taps, 'the taps');
        const held = pressed.slice(taps.length).map(([, time]) => time);
        assert.ok(pressed.slice(taps.length).every(([key]) => key === 'e'), 'a hold of e pressed another key');
        // Timers never fire early; on a loaded machine they may fire late, so the upper
        // bounds are loose. A repeating timer keeps to its own beat, so after one late
        // press the next comes sooner: the rate is measured from the press that started
        // the hold, past the delay.
        assert.ok(held.length >= 4, `the hold pressed e only ${held.length} times in 1.3 s`);
        assert.ok(held[1] - held[0] >= 490, `repeated after ${held[1] - held[0]} ms, before the 0.5 s delay`);
        const interval = (held[held.length - 1] - held[0] - 500) / (held.length - 1);
        assert.ok(interval >= 39 && interval <= 100, `repeated every ${interval.toFixed(1)} ms, not 40 (25 a second)`);

        const desktop = await Desktop.start();
        try {
            const start = await desktop.picture();
            desktop.press([...taps, ...held.map(() => 'e')]);
            console.log(`${taps.length} taps and ${held.length} presses held: ` +
                assertAgree(await desktop.picture(start), await canvasPicture(page), 'taps and a hold'));
        } finally {
            await desktop.stop();
        }
        assert.deepEqual(problems, []);
        await page.close();
    });

    it('stops repeating when the button is let go, left, cancelled, or the page loses the focus', async () => {
        const { page, problems } = await openCounting(chromium.browser, PHONE);
        const [x, y] = await centre(page, button('j'));
        const down = () => touch(page, 'touchStart', x, y);
        const lift = () => touch(page, 'touchEnd');
        const ways = [
            ['the finger lifted', down, lift, null],
            ['the finger slid off the button', down, () => touch(page, 'touchMove', x, y - 80), lift],
            ['the touch cancelled', down, () => touch(page, 'touchCancel'), null],
            ['the page losing the focus', down, () => page.evaluate(() => window.dispatchEvent(new Event('blur'))), lift],
            ['the page hidden', down, () => page.evaluate(() => document.dispatchEvent(new Event('visibilitychange'))), lift],
            ['the mouse button let go', async () => { await page.mouse.move(x, y); await page.mouse.down(); },
                () => page.mouse.up(), null],
        ];
        for (const [how, start, stop, end] of ways) {
            const before = (await presses(page)).length;
            await start();
            await page.waitForFunction((n) => window.tessaryPresses.length >= n, { timeout: 10000 }, before + 3);
            await stop();
            const stopped = (await presses(page)).length;
            await sleep(400);
            assert.equal((await presses(page)).length, stopped, `still repeating after ${how}`);
            await end?.();
        }
        assert.deepEqual(problems, []);
        await page.close();
    });

    it('with two buttons held, repeats the last one pressed until it is let go, as held keys do', async () => {
        const { page, problems } = await openCounting(chromium.browser, PHONE);
        // Fingers, [id, x, y].
        const [a, w] = await Promise.all(['a', 'w'].map((key) => centre(page, button(key))))
            .then((places) => places.map((place, id) => [id, ...place]));
        // Each step: the fingers pressed or lifted, then what was pressed after, in `ms` ms.
        const step = async (type, points, ms) => {
            const from = (await presses(page)).length;
            await fingers(page, type, points);
            await sleep(ms);
            return (await presses(page)).slice(from).map(([key]) => key).join('');
        };
        assert.match(await step('touchStart', [a], 700), /^a{4,}$/, 'a held alone');
        assert.match(await step('touchStart', [a, w], 700), /^a*w{4,}$/, 'w pressed while a is held');
        assert.match(await step('touchEnd', [a], 500), /^w{5,}$/, 'a let go while w repeats');
        assert.match(await step('touchStart', [w, a], 700), /^w*a{4,}$/, 'a pressed again while w is held');
        await fingers(page, 'touchEnd', [a]);
        assert.equal(await step('touchMove', [w], 400), '', 'still repeating with the repeating a let go');
        await fingers(page, 'touchEnd', [w]);
        assert.deepEqual(problems, []);
        await page.close();
    });

    it('lets Tab reach the buttons and Enter and Space press them; a long press neither selects nor opens a menu', async () => {
        const { page, problems } = await openCounting(chromium.browser, PHONE);
        const focused = () => page.evaluate(() => document.activeElement?.dataset?.key ?? null);
        for (let i = 0; i < 3 && await focused() !== 'a'; i++) await page.keyboard.press('Tab');
        assert.equal(await focused(), 'a', 'Tab did not reach the first button');
        await page.keyboard.press('Enter');
        await page.keyboard.press(' ');
        await page.keyboard.press('Tab');
        assert.equal(await focused(), 'd', 'Tab did not move on to the next button');
        await page.keyboard.press('Enter');
        await page.keyboard.press('k');  // typed, not through a button: no press counted
        assert.deepEqual((await presses(page)).map(([key]) => key), ['a', 'a', 'd']);
        const longPress = await page.$eval(button('k'), (b) => ({
            menu: b.dispatchEvent(new MouseEvent('contextmenu', { bubbles: true, cancelable: true })),
            select: getComputedStyle(b).userSelect, touch: getComputedStyle(b).touchAction }));
        assert.deepEqual(longPress, { menu: false, select: 'none', touch: 'none' });
        assert.deepEqual(problems, []);
        await page.close();
    });

    it('names each button by what it does, and breaks none of the WCAG 2.x A and AA rules axe-core checks', async () => {
        for (const [name, screen] of [['phone', PHONE], ['desktop', null]]) {
            const { page } = await openPage(chromium.browser, undefined, screen);
            const names = await page.$$eval('button[data-key]', (list) => list.map((b) => [b.textContent, b.getAttribute('aria-label')]));
            for (const [text, label] of names) assert.match(label, new RegExp(`^${text}: turn the (view|graph) .{10,}`));
            assert.deepEqual(await accessibilityViolations(page), [], `on the ${name}`);
            await page.close();
        }
    });
});
