// SPDX-License-Identifier: MIT
// Frames per second of the page against the probe page (the same lines from a prepared
// buffer), in headless Chromium as the tests run it, measured A B A B in one browser,
// under a flood of keys (w and x in turn, one every 5 ms, several to a frame, so that the
// page has a new picture to draw at every frame; the probe draws every frame anyway);
// with `--screenshot FILE`, also saves a picture of the page, and with
// `--phone-screenshot FILE` one of the page on a phone.
import { writeFileSync } from 'node:fs';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, openPage, frames, waitFrames, settled, agreement, canvasPicture, sleep } from '../test/support.mjs';

const SECONDS = Number(process.env.MEASURE_SECONDS ?? 10);
const probe = join(dirname(fileURLToPath(import.meta.url)), 'probe.html');

async function rate(browser, file) {
    const { page, problems } = await openPage(browser, file);
    await page.evaluate(() => {
        let n = 0;
        const press = () => window.dispatchEvent(new KeyboardEvent('keydown', { key: n++ % 2 ? 'x' : 'w' }));
        const flood = setInterval(press, 5);
        // Ended on as many x as w, so that the picture is the start-up one again.
        window.stopFlood = () => {
            clearInterval(flood);
            if (n % 2) press();
        };
    });
    await waitFrames(page, 10);
    await sleep(1000);
    const start = await frames(page);
    const startTime = Date.now();
    await sleep(SECONDS * 1000);
    const fps = ((await frames(page)) - start) / ((Date.now() - startTime) / 1000);
    await page.evaluate(() => window.stopFlood());
    if (problems.length) throw new Error(`${file}: ${problems.join('; ')}`);
    const picture = await canvasPicture(page);
    await page.close();
    return { fps, picture };
}

const chromium = await launch();
try {
    const results = { page: [], probe: [] };
    const pictures = {};
    for (const round of [1, 2]) {
        for (const [name, file] of [['page', undefined], ['probe', probe]]) {
            const { fps, picture } = await rate(chromium.browser, file);
            results[name].push(fps);
            pictures[name] = picture;
            console.log(`round ${round} ${name}: ${fps.toFixed(1)} frames per second`);
        }
    }
    // The probe must draw the page's picture, or the comparison means nothing.
    const { recall, precision } = agreement(pictures.page, pictures.probe);
    console.log(`probe against page: recall ${recall.toFixed(4)}, precision ${precision.toFixed(4)}`);
    const mean = (list) => list.reduce((a, b) => a + b, 0) / list.length;
    console.log(`page ${mean(results.page).toFixed(1)} fps, probe ${mean(results.probe).toFixed(1)} fps, ` +
        `ratio ${(mean(results.page) / mean(results.probe)).toFixed(2)}`);
    // The whole page, the surface turned a little so that its shape shows: on a desktop,
    // and with --phone-screenshot on a phone upright (one device pixel to the pixel, to
    // keep the file small).
    for (const [option, screen] of [['--screenshot', { width: 1180, height: 760 }],
        ['--phone-screenshot', { width: 390, height: 844, touch: true }]]) {
        const at = process.argv.indexOf(option);
        if (at < 0) continue;
        const { page } = await openPage(chromium.browser, undefined, screen);
        for (const key of 'aaaaaawwwwwwkkkk') await page.keyboard.press(key);
        await settled(page);
        writeFileSync(process.argv[at + 1], await page.screenshot({ type: 'png' }));
        await page.close();
    }
    if (recall < 0.99 || precision < 0.99) process.exitCode = 1;
} finally {
    await chromium.close();
}
