// The site as an installed app, served over http below a folder of the server as any web server would:
// installable, started offline from its service worker's cache, and replaced whole by a new build.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { drawsGoOn, eventually, IDC, launchProfile, pageFile, serveFolder, siteFolder, watch } from './page.mjs';

const kTimeout = { timeout: 60_000 };
const kWorkerFile = 'service-worker.js';
const source = (path) => fileURLToPath(new URL(`../../${path}`, import.meta.url));

let work;
let server;
let siteUrl;
const contexts = [];
before(async () => {
    work = mkdtempSync(join(tmpdir(), 'tippwerk-app-'));
    server = await serveFolder(join(work, 'server'));
    siteUrl = `http://127.0.0.1:${server.address().port}/tippwerk/`;
});
after(async () => {
    await Promise.all(contexts.map((context) => context.close()));
    server?.close();
    rmSync(work, { recursive: true, force: true });
});

// The site served in place of the one before, as a new release is put on a server.
function serve(site) {
    rmSync(join(work, 'server'), { recursive: true, force: true });
    cpSync(site, join(work, 'server', 'tippwerk'), { recursive: true });
}

// The site's address opened in a browser of its own, as a player would.
async function open() {
    const context = await launchProfile(join(work, `profile-${contexts.length}`));
    contexts.push(context);
    const session = watch(context.pages()[0], (url) => url.startsWith(siteUrl));
    await session.page.goto(siteUrl);
    await session.main.root.waitFor();
    return session;
}

const cacheNames = (page) => page.evaluate(() => caches.keys());
const buildOf = (site) => readFileSync(join(site, kWorkerFile), 'utf8').match(/\$\{kCachePrefix\}([0-9a-f]+)`/)[1];

test('installable: the manifest has no error, Chromium finds nothing in the way, the icons are as declared', kTimeout, async () => {
    serve(siteFolder);
    const { page, context, errors, foreignRequests } = await open();
    const cdp = await context.newCDPSession(page);
    const manifest = await cdp.send('Page.getAppManifest');
    assert.equal(manifest.url, `${siteUrl}manifest.webmanifest`);
    assert.deepEqual(manifest.errors, []);
    assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);

    const declared = JSON.parse(manifest.data);
    const desk = await page.evaluate(() => getComputedStyle(document.documentElement).backgroundColor);
    const rgb = (hex) => `rgb(${hex.slice(1).match(/../g).map((pair) => Number.parseInt(pair, 16)).join(', ')})`;
    assert.deepEqual([rgb(declared.background_color), rgb(declared.theme_color)], [desk, desk], 'the desk\'s colour');

    // Loaded as the page's own images, under its Content-Security-Policy: each icon's size, and an icon
    // that a launcher masks or puts on black opaque, with what lies outside the central circle of 80 %,
    // which a mask may cut, all background.
    const apple = await page.locator('link[rel="apple-touch-icon"]').getAttribute('href');
    for (const icon of [...declared.icons, { src: apple, sizes: '180x180', purpose: 'apple' }]) {
        const found = await page.evaluate(async (src) => {
            const image = new Image();
            image.src = src;
            await image.decode();
            const { naturalWidth: width, naturalHeight: height } = image;
            const canvas = new OffscreenCanvas(width, height).getContext('2d');
            canvas.drawImage(image, 0, 0);
            const pixels = new Uint32Array(canvas.getImageData(0, 0, width, height).data.buffer);
            const transparent = pixels.filter((pixel) => pixel >>> 24 !== 0xff).length;
            const cut = pixels.filter((pixel, i) => pixel !== pixels[0] &&
                Math.hypot((i % width) + 0.5 - width / 2, Math.floor(i / width) + 0.5 - height / 2) > 0.4 * width).length;
            return { size: `${width}x${height}`, transparent, cut };
        }, icon.src);
        assert.equal(found.size, icon.sizes, icon.src);
        if (icon.purpose !== 'any') assert.equal(found.transparent, 0, `${icon.src} is opaque`);
        if (icon.purpose === 'maskable') assert.equal(found.cut, 0, `${icon.src} has its drawing inside the safe zone`);
    }
    assert.deepEqual(foreignRequests, [], 'nothing asked for outside the site\'s folder');
    assert.deepEqual(errors, []);
});

test('offline the service worker answers from a cache of every file; a new build replaces that cache', kTimeout, async () => {
    serve(siteFolder);
    const session = await open();
    const { page, context, main } = session;
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.reload();
    assert.ok(await page.evaluate(() => navigator.serviceWorker.controller), 'the worker controls the page');
    const kept = await page.evaluate(async () => Promise.all((await caches.keys()).map(async (name) =>
        [name, (await (await caches.open(name)).keys()).map((request) => request.url).sort()])));
    const files = readdirSync(siteFolder).filter((file) => file !== kWorkerFile)
        .map((file) => siteUrl + (file === 'index.html' ? '' : file)).sort();
    assert.equal(kept.length, 1);
    assert.ok(kept[0][0].endsWith(buildOf(siteFolder)), 'the cache is named after the build');
    assert.deepEqual(kept[0][1], files);

    await context.setOffline(true);
    await page.reload();
    await main.press(IDC.START);
    await drawsGoOn(main);
    await context.setOffline(false);

    // The same sources but for the page's title.
    const changedPage = join(work, 'changed.html');
    writeFileSync(changedPage, readFileSync(pageFile, 'utf8').replace('<title>Tippwerk</title>', '<title>Tippwerk neu</title>'));
    const newSite = join(work, 'new-site');
    execFileSync(process.execPath, [source('web/make-site.mjs'), '--page', changedPage,
        '--style', source('web/tippwerk.css'), '--icon', source('resources/icon/tippwerk.svg'),
        '--render', source('resources/icon/render-png'), '--worker', source('web/service-worker.js'),
        '--registration', source('web/register-worker.js'), '--out', newSite]);
    assert.notEqual(buildOf(newSite), buildOf(siteFolder));
    serve(newSite);
    await page.reload();
    assert.ok(await eventually(async () => !(await cacheNames(page)).includes(kept[0][0])), 'the old cache goes');
    const names = await cacheNames(page);
    assert.equal(names.length, 1);
    assert.ok(names[0].endsWith(buildOf(newSite)));
    await page.reload();
    assert.equal(await page.title(), 'Tippwerk neu');
    assert.deepEqual(session.foreignRequests, []);
    assert.deepEqual(session.errors, []);
});
