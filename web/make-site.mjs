// Makes the site Tippwerk installs from as an app: the page as index.html with its manifest, its icons
// drawn from the icon's SVG source, and the service worker that keeps them all for starting offline.
// Usage: node make-site.mjs --page FILE --style FILE --icon FILE --render FILE --worker FILE
//        --registration FILE --out DIR
import { createHash } from 'node:crypto';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { parseArgs } from 'node:util';

const fileOption = { type: 'string' };
const { values: files } = parseArgs({
    options: {
        page: fileOption, style: fileOption, icon: fileOption, render: fileOption, worker: fileOption,
        registration: fileOption, out: fileOption,
    },
});
for (const [name, value] of Object.entries(files))
    if (!value) throw new Error(`make-site: --${name} missing`);

const text = (file) => readFileSync(file, 'utf8');

const kWorkerFile = 'service-worker.js';
const kManifestFile = 'manifest.webmanifest';
// A launcher masks an icon to any shape that keeps the central circle of 80 % of its side. The
// drawing's farthest point, the slip's corner, lies 0.65 of its side from its centre, so drawn at 60 %
// of the icon it stays inside.
const kMaskableShare = 0.6;
// iOS rounds an apple-touch-icon's corners and fills what is transparent with black.
const kAppleShare = 0.8;
const kIcons = [
    { file: 'icon-192.png', size: 192, purpose: 'any' },
    { file: 'icon-512.png', size: 512, purpose: 'any' },
    { file: 'icon-maskable.png', size: 512, purpose: 'maskable', share: kMaskableShare },
    { file: 'apple-touch-icon.png', size: 180, share: kAppleShare },
];
const [favicon] = kIcons;
const appleIcon = kIcons.find((icon) => !icon.purpose);

const unescapeHtml = (value) => value.replace(/&(amp|lt|gt|quot);/g, (_, name) => ({ amp: '&', lt: '<', gt: '>', quot: '"' })[name]);

function pageText(page, pattern, what) {
    const found = page.match(pattern);
    if (!found) throw new Error(`make-site: the page has no ${what}`);
    return unescapeHtml(found[1]);
}

// The desk's colour, which the style sheet names --desk, is the app's.
function deskColour(style) {
    const colour = style.replace(/\/\*[\s\S]*?\*\//g, '').match(/--desk\s*:\s*(#[0-9a-fA-F]{3,8})\s*;/);
    if (!colour) throw new Error('make-site: the style sheet names no --desk colour');
    return colour[1];
}

// Adds a source to a directive of a Content-Security-Policy, or the directive with that source alone.
function allow(policy, directive, source) {
    const directives = policy.split(';').map((d) => d.trim()).filter(Boolean).map((d) => d.split(/\s+/));
    const found = directives.find(([name]) => name === directive);
    if (!found) directives.push([directive, source]);
    else if (!found.includes(source)) found.splice(1, 0, source);
    return directives.map((d) => d.join(' ')).join('; ');
}

// The page as the site's start: the manifest, the icons and the worker come from the site's own
// folder; the tab's icon is named so the browser asks for no favicon.ico at the server's root.
function indexPage(page, registration) {
    const cspPattern = /<meta http-equiv="Content-Security-Policy" content="([^"]*)">/;
    const sitePolicy = [['manifest-src', "'self'"], ['img-src', "'self'"], ['worker-src', "'self'"]]
        .reduce((policy, [directive, source]) => allow(policy, directive, source), pageText(page, cspPattern, 'Content-Security-Policy'));
    const links = `<link rel="manifest" href="${kManifestFile}">\n` +
        `<link rel="icon" type="image/png" sizes="${favicon.size}x${favicon.size}" href="${favicon.file}">\n` +
        `<link rel="apple-touch-icon" href="${appleIcon.file}">\n`;
    const script = `<script>\n${registration.replace('{{WORKER}}', kWorkerFile).trim()}\n</script>\n`;
    if (!page.includes('</head>') || !page.includes('</body>')) throw new Error('make-site: the page has no head or body end');
    return page
        .replace(cspPattern, (tag, policy) => tag.replace(policy, () => sitePolicy))
        .replace('</head>', () => `${links}</head>`)
        .replace(/<\/body>(?![\s\S]*<\/body>)/, () => `${script}</body>`);
}

function manifest(page, colour) {
    return `${JSON.stringify({
        lang: 'de',
        name: pageText(page, /<title>([^<]*)<\/title>/, 'title'),
        description: pageText(page, /<meta name="description" content="([^"]*)">/, 'description'),
        id: './',
        start_url: './',
        scope: './',
        display: 'standalone',
        background_color: colour,
        theme_color: colour,
        icons: kIcons.filter((icon) => icon.purpose).map((icon) => ({
            src: icon.file, sizes: `${icon.size}x${icon.size}`, type: 'image/png', purpose: icon.purpose,
        })),
    }, null, 2)}\n`;
}

// The drawing at a share of the side, centred on the desk's colour.
function onDesk(drawing, share, colour) {
    const viewBox = drawing.match(/<svg\b[^>]*\sviewBox="([^"]*)"/)?.[1];
    const body = drawing.match(/<svg\b[^>]*>([\s\S]*)<\/svg>/)?.[1];
    if (!viewBox || !body) throw new Error('make-site: the icon source is no SVG with a viewBox');
    const inset = Math.round((1 - share) * 50);
    return '<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100" viewBox="0 0 100 100">' +
        `<rect width="100" height="100" fill="${colour}"/>` +
        `<svg x="${inset}" y="${inset}" width="${100 - 2 * inset}" height="${100 - 2 * inset}" viewBox="${viewBox}">${body}</svg></svg>\n`;
}

function renderIcons(out, colour) {
    const drawing = text(files.icon);
    const work = mkdtempSync(join(tmpdir(), 'tippwerk-icons-'));
    try {
        for (const icon of kIcons) {
            let source = files.icon;
            if (icon.share) {
                source = join(work, `${icon.file}.svg`);
                writeFileSync(source, onDesk(drawing, icon.share, colour));
            }
            execFileSync(files.render, [source, join(out, icon.file), String(icon.size)], { stdio: 'inherit' });
        }
    } finally {
        rmSync(work, { recursive: true, force: true });
    }
}

// The cache is named after every byte of the files it keeps, so a page never takes files of two builds.
// The worker keeps the page under the folder's own address, which the app starts from.
function worker(out, names) {
    const build = createHash('sha256');
    for (const name of names) build.update(`${name}\0`).update(readFileSync(join(out, name))).update('\0');
    const kept = names.map((name) => (name === 'index.html' ? './' : name));
    return text(files.worker)
        .replace('{{BUILD}}', build.digest('hex').slice(0, 16))
        .replace('{{FILES}}', JSON.stringify(kept));
}

const page = text(files.page);
const colour = deskColour(text(files.style));
rmSync(files.out, { recursive: true, force: true });
mkdirSync(files.out, { recursive: true });
writeFileSync(join(files.out, 'index.html'), indexPage(page, text(files.registration)));
writeFileSync(join(files.out, kManifestFile), manifest(page, colour));
renderIcons(files.out, colour);
// Last, so it names every other file.
const names = ['index.html', kManifestFile, ...kIcons.map((icon) => icon.file)].sort();
writeFileSync(join(files.out, kWorkerFile), worker(files.out, names));
