import { launch, openPage, waitFrames } from './test/support.mjs';
const c = await launch();
for (const file of process.argv.slice(2)) {
  const { page } = await openPage(c.browser, file);
  await waitFrames(page, 5);
  const r = await page.evaluate(async () => {
    const orig = window._tessary_frame; let t = 0, n = 0;
    window._tessary_frame = function () { const s = performance.now(); orig(); t += performance.now() - s; n++; };
    const s = performance.now(); const f0 = window.tessaryFrames;
    await new Promise((d) => setTimeout(d, 4000));
    return { ms: t / n, fps: (window.tessaryFrames - f0) / ((performance.now() - s) / 1000) };
  });
  console.log(file, JSON.stringify(r));
  await page.close();
}
await c.close();
