// SPDX-License-Identifier: MIT
// What the page costs while nobody touches it, on a phone's screen (412 x 915 CSS px, 2.625
// device pixels to the pixel) in headless Chromium with SwiftShader: the CPU time of every
// process of the browser, summed over its process tree from /proc, and the frames drawn,
// over MEASURE_SECONDS (default 10) after a settle of 3 s. Against wireframe.html#on-demand,
// a hand-written WebGL page that draws once and then only after a key. A fresh browser for
// each measurement, the two pages in turn, RUNS times (default 3); the medians decide.
// Goal: the page uses at most 2 % of a core and draws no frame after its first second.
// Exits 1 when the goal is missed.
//
//   node web/bench/idle.mjs [PAGE.html]      # default build-web/tessary.html
import { readdirSync, readFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { join, dirname, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launch, openPage, frames, sleep, pageFile } from '../test/support.mjs';

const SECONDS = Number(process.env.MEASURE_SECONDS ?? 10);
const RUNS = Number(process.env.RUNS ?? 3);
const SETTLE = 3;
const PHONE = { width: 412, height: 915, dpr: 2.625, touch: true };
const GOAL = { percent: 2, lastFrame: 1 };
const TICKS = Number(execFileSync('getconf', ['CLK_TCK'], { encoding: 'utf8' }));
const here = dirname(fileURLToPath(import.meta.url));
const pages = [
    ['the page', resolve(process.argv[2] ?? pageFile)],
    ['hand-written, on demand', `${pathToFileURL(join(here, 'wireframe.html')).href}#on-demand`],
];

// Each process's CPU time in clock ticks, its own and that of its children it has waited
// for, by pid, over the tree under `root`.
function treeTimes(root) {
    const parent = new Map();
    const times = new Map();
    for (const name of readdirSync('/proc')) {
        if (!/^\d+$/.test(name)) continue;
        let stat;
        try {
            stat = readFileSync(`/proc/${name}/stat`, 'utf8');
        } catch {
            continue;  // ended meanwhile
        }
        // The name, in parentheses, may hold spaces: the fields after it count from its end.
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        parent.set(Number(name), Number(fields[1]));
        times.set(Number(name), fields.slice(11, 15).reduce((sum, f) => sum + Number(f), 0));
    }
    const inTree = (pid) => {
        for (let p = pid; p > 1; p = parent.get(p)) if (p === root) return true;
        return false;
    };
    return new Map([...times].filter(([pid]) => inTree(pid)));
}

async function idle(file) {
    const chromium = await launch();
    try {
        const root = chromium.browser.process().pid;
        const { page, problems } = await openPage(chromium.browser, file, PHONE);
        await sleep(SETTLE * 1000);
        const drawn = await frames(page);
        const before = treeTimes(root);
        const start = process.hrtime.bigint();
        await sleep(SECONDS * 1000);
        const after = treeTimes(root);
        const elapsed = Number(process.hrtime.bigint() - start) / 1e9;
        let ticks = 0;
        for (const [pid, time] of after) ticks += time - (before.get(pid) ?? 0);
        const result = {
            percent: 100 * ticks / TICKS / elapsed,
            frames: (await frames(page)) - drawn,
            lastFrame: await page.evaluate(() => window.tessaryLastFrame / 1000),
            processes: after.size,
            // Asked for after the measure, as it makes a context of its own.
            renderer: await page.evaluate(() => {
                const gl = document.createElement('canvas').getContext('webgl');
                const info = gl?.getExtension('WEBGL_debug_renderer_info');
                return info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : 'unknown';
            }),
        };
        if (problems.length) throw new Error(`${file}: ${problems.join('; ')}`);
        return result;
    } finally {
        await chromium.close();
    }
}

const results = pages.map(() => []);
for (let run = 1; run <= RUNS; run++) {
    for (const [i, [name, file]] of pages.entries()) {
        const r = await idle(file);
        results[i].push(r);
        console.log(`run ${run}, ${name}: ${r.percent.toFixed(2)} % of a core (${r.processes} processes), ` +
            `${r.frames} frames in ${SECONDS} s, last frame ${r.lastFrame.toFixed(2)} s after the start of loading`);
    }
}
console.log(`WebGL renderer: ${results[0][0].renderer}`);
const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const medians = results.map((list) => Object.fromEntries(['percent', 'frames', 'lastFrame']
    .map((key) => [key, median(list.map((r) => r[key]))])));
for (const [i, [name]] of pages.entries()) {
    const m = medians[i];
    console.log(`${name}: median ${m.percent.toFixed(2)} % of a core, ${m.frames} frames in ${SECONDS} s ` +
        `(${(m.frames / SECONDS).toFixed(1)} a second), last frame ${m.lastFrame.toFixed(2)} s after the start of loading`);
}
const page = medians[0];
const missed = [];
if (page.percent > GOAL.percent) missed.push(`${page.percent.toFixed(2)} % of a core, over ${GOAL.percent} %`);
if (page.frames > 0 || page.lastFrame > GOAL.lastFrame) {
    missed.push(`frames drawn until ${page.lastFrame.toFixed(2)} s, past the first ${GOAL.lastFrame} s`);
}
if (missed.length) {
    console.log(`goal missed: ${missed.join('; ')}`);
    process.exitCode = 1;
} else {
    console.log(`goal met: at most ${GOAL.percent} % of a core, no frame after the first ${GOAL.lastFrame} s`);
}
