// SPDX-License-Identifier: MIT
// The last step of the browser build, run on the page as Emscripten wrote it:
//
//   node site.mjs EMSCRIPTEN_PAGE PAGE SITE_DIR ICONS_DIR RSVG_CONVERT
//
// writes PAGE, the single file, and SITE_DIR, the same page as a site a phone can install
// and start offline: index.html, manifest.webmanifest, its icons (from ICONS_DIR, the
// program's hicolor icons, the large ones drawn from its SVG by rsvg-convert) and sw.js,
// the service worker that keeps them. Each page gets a
// Content-Security-Policy in a meta element, with the hashes of its inline scripts and
// styles as they are here, after Emscripten; so this step comes last. Nothing depends on
// the time or the machine: two builds give the same bytes.
import { createHash } from 'node:crypto';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync, mkdirSync, rmSync, copyFileSync } from 'node:fs';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';

const [emscriptenPage, pageOut, siteDir, iconsDir, rsvgConvert] = process.argv.slice(2);
if (!rsvgConvert) {
    console.error('usage: node site.mjs EMSCRIPTEN_PAGE PAGE SITE_DIR ICONS_DIR RSVG_CONVERT');
    process.exit(2);
}

function fail(message) {
    console.error(`site.mjs: ${message}`);
    process.exit(1);
}

const sha256 = (data) => createHash('sha256').update(data).digest('base64');

// The hashes of the page's inline <script> and <style> elements, once the markup around
// them is found to need no others.
const ELEMENT = /<(script|style)(\s[^>]*)?>([\s\S]*?)<\/\1\s*>/gi;
function inline(html) {
    const scripts = [];
    const styles = [];
    for (const [, name, attributes = '', text] of html.matchAll(ELEMENT)) {
        if (/\ssrc\s*=/i.test(attributes)) fail(`a <script src>: the policy allows no script file (${attributes.trim()})`);
        (name.toLowerCase() === 'script' ? scripts : styles).push(`'sha256-${sha256(text)}'`);
    }
    // A hash covers only an element's text: an event-handler or style attribute would
    // need 'unsafe-hashes'. The page keeps those in its script and stylesheet instead.
    const markup = html.replace(ELEMENT, '');
    const attribute = markup.match(/<[a-z][^>]*\s(on[a-z]+|style)\s*=[^>]*>/i);
    if (attribute) fail(`the policy forbids the attribute ${attribute[1]} in ${attribute[0]}`);
    return { scripts, styles };
}

// What the page may load, and nothing more. Its code is inline, allowed by hash;
// 'wasm-unsafe-eval' lets it compile its WebAssembly. The single file's only image is its
// empty inline icon (data:); the site loads its icons, manifest and worker from itself.
// The site's page fetches nothing itself, but a search engine's audit in the browser
// (Lighthouse's) reads the host's robots.txt through the page, under its policy: the
// site's own origin is allowed for that, which lets no script run that the hashes refuse.
function policy(html, site) {
    const { scripts, styles } = inline(html);
    return [
        "default-src 'none'",
        `script-src ${scripts.join(' ')} 'wasm-unsafe-eval'`,
        `style-src ${styles.join(' ') || "'none'"}`,
        site ? "img-src 'self'" : 'img-src data:',
        ...(site ? ["manifest-src 'self'", "worker-src 'self'", "connect-src 'self'"] : []),
        "base-uri 'none'",
        "form-action 'none'",
    ].join('; ');
}

// The policy goes right after the charset, ahead of everything it governs.
function withPolicy(html, site) {
    if (/http-equiv=["']?content-security-policy/i.test(html)) fail('the page has a policy already');
    const charset = /<meta charset=["']?utf-8["']?\s*\/?>\n?/i;
    if (!charset.test(html)) fail('the page has no <meta charset="utf-8"> to put the policy after');
    const meta = `<meta http-equiv="Content-Security-Policy" content="${policy(html, site)}">\n`;
    return html.replace(charset, (found) => found + meta);
}

function metaContent(html, name) {
    const found = html.match(new RegExp(`<meta name="${name}" content="([^"]*)"`, 'i'));
    if (!found) fail(`the page has no <meta name="${name}">`);
    return found[1];
}

// The page is promised as one file of at most 96 KiB (docs/web.md): one that weighs more
// fails the build rather than ships.
const LIMIT = 96 * 1024;
function written(file, html) {
    const bytes = Buffer.byteLength(html);
    if (bytes > LIMIT) fail(`${file} would be ${bytes} bytes, over the page's limit of 96 KiB (${LIMIT} bytes)`);
    writeFileSync(file, html);
}

const page = readFileSync(emscriptenPage, 'utf8');
written(pageOut, withPolicy(page, false));

rmSync(siteDir, { recursive: true, force: true });
mkdirSync(siteDir, { recursive: true });

// The icons: the program's own, at 192 and 512 px as it is drawn (a rounded square), and
// a maskable one whose ground fills the square, as launchers crop it to their own
// shape. They keep only the circle of 40 % of the side about the centre; the drawing
// reaches 0.48 of the side from its centre, so it is shrunk to 80 %, which brings it
// to 0.38. The page's own icon, for a tab, is the 32 px one, drawn for that size and a
// twentieth of the bytes of the 192 px one.
const iconSvg = join(iconsDir, 'scalable/apps/tessary.svg');
const svg = readFileSync(iconSvg, 'utf8');
const ground = svg.match(/<rect[^>]*fill="(#[0-9a-f]{3,6})"/i)?.[1] ?? fail(`${iconSvg} has no ground (a filled <rect>)`);
function draw(file, size, args = []) {
    execFileSync(rsvgConvert, ['-w', String(size), '-h', String(size), ...args, '-o', join(siteDir, file), iconSvg],
        { stdio: ['ignore', 'ignore', 'inherit'] });
}
const MASKABLE = 512;
const inner = Math.round(MASKABLE * 0.8);
const margin = String((MASKABLE - inner) / 2);
copyFileSync(join(iconsDir, '32x32/apps/tessary.png'), join(siteDir, 'icon-32.png'));
draw('icon-192.png', 192);
draw('icon-512.png', 512);
draw('icon-maskable-512.png', inner, ['--page-width', String(MASKABLE), '--page-height', String(MASKABLE),
    '--left', margin, '--top', margin, '-b', ground]);

// The manifest, in the page's own colours and words. It names no `id`: the app's id is
// then its start URL, './' resolved against the manifest's URL, that is the folder the
// site is served from, so that two sites in two folders of one origin are two apps. (An
// id is resolved against the start URL's origin, not its folder: "id": "./" gave every
// folder of an origin the origin's root, one app.) Served at an origin's root, the id
// is that root, as it was with "./".
const colour = metaContent(page, 'theme-color');
const manifest = {
    name: 'Tessary',
    short_name: 'Tessary',
    description: metaContent(page, 'description'),
    lang: 'en',
    start_url: './',
    scope: './',
    display: 'standalone',
    background_color: colour,
    theme_color: colour,
    categories: ['education'],
    icons: [
        { src: 'icon-192.png', sizes: '192x192', type: 'image/png', purpose: 'any' },
        { src: 'icon-512.png', sizes: '512x512', type: 'image/png', purpose: 'any' },
        { src: 'icon-maskable-512.png', sizes: '512x512', type: 'image/png', purpose: 'maskable' },
    ],
};
writeFileSync(join(siteDir, 'manifest.webmanifest'), `${JSON.stringify(manifest, null, 2)}\n`);

// The site's page: the same page, with the manifest, its icons, and the worker's
// registration. A worker is allowed only on http(s) (https, or http on localhost);
// elsewhere (the page opened from disk has all it needs already) it is not asked for.
const head = `<link rel="manifest" href="manifest.webmanifest">
<link rel="icon" type="image/png" sizes="32x32" href="icon-32.png">
<link rel="apple-touch-icon" href="icon-maskable-512.png">
`;
const registration = `<script>
  // The service worker keeps the site, so that it starts again with no network.
  if ('serviceWorker' in navigator && /^https?:$/.test(location.protocol)) {
    window.addEventListener('load', function () {
      navigator.serviceWorker.register('sw.js').catch(function (error) {
        console.info('Without a service worker, this page needs the network to start: ' + error);
      });
    });
  }
</script>
`;
// The head ends before the first script; the body's end is the last '</body>', as
// Emscripten's runtime might hold those words in a string.
const icon = /<link rel="icon"[^>]*>\n?/i;
const bodyEnd = page.lastIndexOf('</body>');
if (!icon.test(page) || !page.includes('</head>') || bodyEnd < 0) {
    fail('the page lacks its <link rel="icon">, </head> or </body>');
}
const index = withPolicy(
    (page.slice(0, bodyEnd) + registration + page.slice(bodyEnd)).replace(icon, '').replace('</head>', `${head}</head>`),
    true);
written(join(siteDir, 'index.html'), index);

// The worker, with BUILD, a hash of what it keeps: a new build of the site is a new
// cache, and the old one goes when the new worker takes over (sw.js names the cache for
// its scope too). The page is kept once, as
// the start URL './', not again as index.html: with no network, the worker answers a
// page asked for by that name with './'.
const files = ['index.html', 'manifest.webmanifest', 'icon-32.png', 'icon-192.png', 'icon-512.png', 'icon-maskable-512.png'];
const worker = readFileSync(join(dirname(fileURLToPath(import.meta.url)), 'sw.js'), 'utf8');
const version = createHash('sha256');
for (const file of files) version.update(`${file}\0`).update(readFileSync(join(siteDir, file)));
version.update(worker);
writeFileSync(join(siteDir, 'sw.js'),
    `const BUILD = '${version.digest('hex').slice(0, 16)}';\n` +
    `const SHELL = ${JSON.stringify(['./', ...files.filter((file) => file !== 'index.html')])};\n${worker}`);
