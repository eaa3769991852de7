// SPDX-License-Identifier: MIT
// Time from the start of loading to the page's first frame, in headless Chromium as the
// tests run it: each page given on the command line (default: the built page) loaded
// LOADS times in turn, A B A B, in one warm browser, so that pages built before and
// after a change meet the same load on the machine. The first load of each is left out
// (the browser is still cold then).
import { launch, openPage, waitFrames } from '../test/support.mjs';

const LOADS = Number(process.env.FIRST_FRAME_LOADS ?? 8);
const files = process.argv.length > 2 ? process.argv.slice(2) : [undefined];

async function firstFrame(browser, file) {
    const { page, problems } = await openPage(browser, file);
    await waitFrames(page, 1);
    // performance.now() counts from the start of the navigation.
    const seconds = await page.evaluate(() => window.tessaryFirstFrame / 1000);
    if (problems.length) throw new Error(`${file}: ${problems.join('; ')}`);
    await page.close();
    return seconds;
}

const chromium = await launch();
try {
    const times = files.map(() => []);
    for (let round = 0; round <= LOADS; round++) {
        for (const [i, file] of files.entries()) {
            const seconds = await firstFrame(chromium.browser, file);
            if (round > 0) times[i].push(seconds);
        }
    }
    for (const [i, file] of files.entries()) {
        const sorted = [...times[i]].sort((a, b) => a - b);
        const median = sorted[Math.floor(sorted.length / 2)];
        console.log(`${file ?? 'the page'}: first frame after ${median.toFixed(3)} s (median of ${LOADS}; ` +
            `${sorted[0].toFixed(3)} to ${sorted[sorted.length - 1].toFixed(3)})`);
    }
} finally {
    await chromium.close();
}
