// SPDX-License-Identifier: MIT
// Lighthouse's mobile audit (simulated slow 4G, a CPU 4 times slower) of the site, served
// with gzip from 127.0.0.1 as a web host would serve it, in Debian's Chromium, headless.
// RUNS runs, each auditing the site and then wireframe.html (a hand-written WebGL page that
// redraws a 40 x 40 wireframe every frame, served the same way), so that both meet the
// same load on the machine. Prints every run and the medians, checks the goals on the
// medians, and lists the audits that cost the site points.
//
//   node web/bench/lighthouse.mjs [FOLDER | PAGE.html] [--reports DIR]
//
// FOLDER defaults to build-web/site/. A single PAGE.html is served as the index.html of
// a temporary folder of its own. --reports saves each run's report, as HTML and JSON.
// Exits 1 when a goal is missed, 2 when the audit itself failed.
import { cpSync, mkdirSync, mkdtempSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { loadavg, tmpdir } from 'node:os';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';
import { serve } from '../test/serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const RUNS = Number(process.env.LIGHTHOUSE_RUNS ?? 3);
const CHROMIUM = process.env.TESSARY_CHROMIUM ?? '/usr/bin/chromium';
// Headless, without the sandbox (this machine runs as root), WebGL through SwiftShader;
// chrome-launcher adds Lighthouse's own flags (no background networking, extensions,
// component updates or sync).
const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'];

const GOALS = { performance: 95, accessibility: 100, 'best-practices': 100, seo: 100, fcpRatio: 1.3 };

// A folder to serve: FOLDER as it is, or PAGE.html copied as index.html of a new one.
// remove() deletes what was made here.
function siteFolder(target) {
    if (statSync(target).isDirectory()) return { folder: target, remove() {} };
    const folder = mkdtempSync(join(tmpdir(), 'tessary-lighthouse-'));
    cpSync(target, join(folder, 'index.html'));
    return { folder, remove: () => rmSync(folder, { recursive: true, force: true }) };
}

const CATEGORIES = ['performance', 'accessibility', 'best-practices', 'seo'];

// One mobile audit of `url` in a Chromium of its own (fresh profile), stopped after it.
async function audit(url) {
    const chromium = await chromeLauncher.launch({ chromePath: CHROMIUM, chromeFlags: CHROMIUM_FLAGS });
    try {
        const result = await lighthouse(url, { port: chromium.port, output: ['html', 'json'], logLevel: 'error' });
        if (!result?.lhr) throw new Error(`Lighthouse gave no result for ${url}`);
        if (result.lhr.runtimeError) {
            throw new Error(`Lighthouse: ${result.lhr.runtimeError.code}: ${result.lhr.runtimeError.message}`);
        }
        return result;
    } finally {
        chromium.kill();
    }
}

// The figures of one report: scores out of 100, FCP and TBT in ms, bytes transferred.
function figures(lhr) {
    const scores = Object.fromEntries(CATEGORIES.map((id) => [id, Math.round(lhr.categories[id].score * 100)]));
    return {
        ...scores,
        fcp: lhr.audits['first-contentful-paint'].numericValue,
        tbt: lhr.audits['total-blocking-time'].numericValue,
        bytes: lhr.audits['total-byte-weight'].numericValue,
    };
}

// The audits that cost a category points: those that weigh in it and scored below 1,
// with the points each cost (its weight's share of the category, times what it missed).
// In performance, also the audits of no weight of their own that failed: the
// opportunities and diagnostics that say where the metrics' time goes.
function costs(lhr) {
    const found = [];
    for (const id of CATEGORIES) {
        const category = lhr.categories[id];
        const total = category.auditRefs.reduce((sum, ref) => sum + ref.weight, 0);
        for (const ref of category.auditRefs) {
            const result = lhr.audits[ref.id];
            if (result.score === null || result.score >= 1) continue;
            if (ref.weight > 0) {
                found.push({ category: id, id: ref.id, title: result.title,
                    points: (100 * ref.weight * (1 - result.score)) / total });
            } else if (id === 'performance' && result.score < 0.9 && ref.group !== 'metrics') {
                found.push({ category: id, id: ref.id, title: result.title, points: 0 });
            }
        }
    }
    return found;
}

const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];

function line(name, f) {
    return `${name.padEnd(16)} performance ${String(f.performance).padStart(3)}  accessibility ${String(f.accessibility).padStart(3)}  ` +
        `best practices ${String(f['best-practices']).padStart(3)}  SEO ${String(f.seo).padStart(3)}  ` +
        `FCP ${(f.fcp / 1000).toFixed(2)} s  TBT ${Math.round(f.tbt)} ms  ${(f.bytes / 1024).toFixed(1)} KiB`;
}

// The goals on the medians: a list of { met, what }.
function goals(site, wireframe) {
    const checks = CATEGORIES.map((id) => ({
        met: site[id] >= GOALS[id],
        what: `${id} ${site[id]} (goal ${GOALS[id] === 100 ? '100' : `at least ${GOALS[id]}`})`,
    }));
    const limit = GOALS.fcpRatio * wireframe.fcp;
    checks.push({
        met: site.fcp <= limit,
        what: `first contentful paint ${(site.fcp / 1000).toFixed(2)} s, ${(site.fcp / wireframe.fcp).toFixed(2)} x the ` +
            `hand-written page's ${(wireframe.fcp / 1000).toFixed(2)} s (goal at most ${GOALS.fcpRatio} x, ${(limit / 1000).toFixed(2)} s)`,
    });
    return checks;
}

async function main() {
    if (!(Number.isInteger(RUNS) && RUNS >= 1)) throw new Error(`LIGHTHOUSE_RUNS must be a whole number from 1 up, not ${RUNS}`);
    const args = process.argv.slice(2);
    const at = args.indexOf('--reports');
    const reports = at >= 0 ? args.splice(at, 2)[1] : null;
    if (at >= 0 && !reports) throw new Error('--reports needs a folder');
    const target = resolve(args[0] ?? join(root, 'build-web/site'));
    try {
        statSync(target);
    } catch {
        throw new Error(`${target} is missing: build it with scripts/web.sh, or name a folder or a page`);
    }
    if (reports) mkdirSync(reports, { recursive: true });

    const site = siteFolder(target);
    const wireframe = siteFolder(join(here, 'wireframe.html'));
    const servers = [];
    try {
        const pages = [
            { name: 'site', label: target, runs: [], costs: [], audits: [] },
            { name: 'hand-written', label: 'web/bench/wireframe.html', runs: [], costs: [], audits: [] },
        ];
        pages[0].server = await serve(site.folder);
        servers.push(pages[0].server);
        pages[1].server = await serve(wireframe.folder);
        servers.push(pages[1].server);
        console.log(`load average ${loadavg()[0].toFixed(2)} at the start`);
        for (const page of pages) console.log(`${page.name}: ${page.label}, served at ${page.server.url}`);
        for (let run = 1; run <= RUNS; run++) {
            for (const page of pages) {
                const { lhr, report } = await audit(page.server.url);
                if (run === 1 && page === pages[0]) {
                    const { throttling, formFactor, throttlingMethod } = lhr.configSettings;
                    console.log(`Lighthouse ${lhr.lighthouseVersion}, ${lhr.environment.hostUserAgent.match(/Chrome\/\S+/)?.[0]}, ` +
                        `${formFactor}, ${throttlingMethod}d: ${throttling.rttMs} ms, ${(throttling.throughputKbps / 1024).toFixed(1)} Mbit/s, ` +
                        `CPU ${throttling.cpuSlowdownMultiplier} x slower`);
                }
                page.runs.push(figures(lhr));
                page.costs.push(costs(lhr));
                page.audits.push(lhr.audits);
                console.log(`${line(`run ${run} ${page.name}`, page.runs.at(-1))}  load ${loadavg()[0].toFixed(1)}`);
                if (reports) {
                    writeFileSync(join(reports, `${page.name}-${run}.html`), report[0]);
                    writeFileSync(join(reports, `${page.name}-${run}.json`), report[1]);
                }
            }
        }
        console.log(`load average ${loadavg()[0].toFixed(2)} at the end`);
        const medians = pages.map((page) => Object.fromEntries(Object.keys(page.runs[0])
            .map((key) => [key, median(page.runs.map((f) => f[key]))])));
        for (const [i, page] of pages.entries()) console.log(line(`median ${page.name}`, medians[i]));

        const checks = goals(medians[0], medians[1]);
        for (const check of checks) console.log(`${check.met ? 'met   ' : 'MISSED'} ${check.what}`);

        // Every audit that cost the site points in some run, with the points of each run.
        const byId = new Map();
        for (const [run, found] of pages[0].costs.entries()) {
            for (const cost of found) {
                const key = `${cost.category} ${cost.id}`;
                if (!byId.has(key)) {
                    const shown = pages[0].audits.map((audits) => audits[cost.id].displayValue).filter(Boolean);
                    byId.set(key, { ...cost, points: Array(RUNS).fill(0), shown });
                }
                byId.get(key).points[run] = cost.points;
            }
        }
        if (byId.size) console.log('audits that cost the site points (points lost in each run; what it measured):');
        for (const cost of [...byId.values()].filter((c) => c.points.some((p) => p > 0))
            .sort((a, b) => median(b.points) - median(a.points))) {
            console.log(`  ${cost.category}: ${cost.id} (${cost.title}): ${cost.points.map((p) => p.toFixed(1)).join(', ')}` +
                `${cost.shown.length ? `; ${cost.shown.join(', ')}` : ''}`);
        }
        const hints = [...byId.values()].filter((c) => c.points.every((p) => p === 0));
        if (hints.length) console.log('failed in performance without weight of their own (where the time goes):');
        for (const cost of hints) {
            console.log(`  ${cost.id} (${cost.title})${cost.shown.length ? `: ${cost.shown.join(', ')}` : ''}`);
        }
        if (checks.some((check) => !check.met)) process.exitCode = 1;
    } finally {
        for (const server of servers) await server.close();
        site.remove();
        wireframe.remove();
    }
}

main().catch((error) => {
    console.error(`lighthouse.mjs: ${error.message ?? error}`);
    process.exitCode = 2;
});
