// The page in Debian's Chromium, opened from disk with the network refused, and its dialogs read and
// driven as a player would.
import { readFileSync } from 'node:fs';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { chromium } from 'playwright-core';

const root = fileURLToPath(new URL('../..', import.meta.url));
export const pageFile = process.env.TIPPWERK_PAGE ?? `${root}build/web/tippwerk.html`;
export const pageUrl = pathToFileURL(pageFile).href;

// The control identifiers by the names the program gives them: IDC.START is 101.
export const IDC = Object.fromEntries([...readFileSync(`${root}resources/resource.h`, 'utf8')
    .matchAll(/^#define IDC_(\w+) (\d+)/gm)].map(([, name, value]) => [name, Number(value)]));

export const MAIN = 'LOTTODIALOG';
export const LOSS = 'VERLUSTDIALOG';
export const PHONE = { viewport: { width: 360, height: 740 }, isMobile: true, hasTouch: true };
export const DESKTOP = { viewport: { width: 1024, height: 768 } };

export const chromiumPath = process.env.TIPPWERK_CHROMIUM ?? '/usr/bin/chromium';
// As root Chromium needs --no-sandbox; the rest keeps it from reaching for Google's services.
export const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic'];

export function launchBrowser() {
    return chromium.launch({ executablePath: chromiumPath, args: chromiumFlags });
}

// A browser without workers, where the page's timers fall back on its own timeouts.
export const withoutWorker = () => { delete window.Worker; };

// Opens the page offline; every request but the page itself is refused and recorded, and so is any
// script error. The scripts in init run before the page's own. With a clock time, the page's clock
// starts there and stands still until run; it reaches no worker, so the page has none then.
export async function openPage(browser, { device = DESKTOP, clock, url = pageUrl, init = [] } = {}) {
    const context = await browser.newContext({ ...device, locale: 'de-DE' });
    if (url === pageUrl) await context.setOffline(true);
    for (const script of clock === undefined ? init : [withoutWorker, ...init]) await context.addInitScript(script);
    const page = await context.newPage();
    const session = { page, context, foreignRequests: [], errors: [], alerts: 0 };
    page.on('request', (request) => {
        if (request.url() !== url) session.foreignRequests.push(request.url());
    });
    await context.route(/^https?:/, (route) => (route.request().url() === url ? route.continue() : route.abort()));
    page.on('pageerror', (error) => session.errors.push(error.message));
    page.on('console', (message) => {
        if (message.type() === 'error') session.errors.push(message.text());
    });
    // The browser's own alert() would halt the page's timers; the page must never use it.
    page.on('dialog', (dialog) => {
        ++session.alerts;
        dialog.dismiss();
    });
    if (clock !== undefined) {
        await page.clock.install({ time: clock });
        await page.clock.pauseAt(clock);
    }
    await page.goto(url);
    // Keys go to the page in front, whatever other pages the browser has open.
    await page.bringToFront();
    session.main = dialog(page, MAIN);
    session.loss = dialog(page, LOSS);
    await session.main.root.waitFor();
    return session;
}

export function dialog(page, name) {
    const root = page.locator(`[data-dialog="${name}"]`);
    const control = (id) => root.locator(`[data-id="${id}"]`);
    // What the field shows: an edit's text or a label's.
    const read = (id) => control(id).evaluate((element) => (element instanceof HTMLInputElement ? element.value : element.textContent));
    return {
        root,
        control,
        read,
        press: (id) => root.locator(`button[data-id="${id}"]`).click(),
        // Text put in by a script, as another program would set it on Windows.
        set: (id, text) => control(id).evaluate((element, value) => { element.value = value; }, text),
        // What count fields from first on show, each as the number its leading digits make.
        numbers: async (first, count) => {
            const values = [];
            for (let id = first; id < first + count; ++id) values.push(Number.parseInt(await read(id), 10));
            return values;
        },
    };
}

// The message box up now, as caption, text and icon; null when none is.
export function messageBox(page) {
    return page.evaluate(() => {
        const box = document.getElementById('message-box');
        if (!box.open) return null;
        return {
            caption: box.querySelector('.title-bar-text').textContent,
            text: box.querySelector('.message-text').textContent,
            icon: box.dataset.icon,
        };
    });
}

export const dismissMessageBox = (page) => page.locator('#message-box button[value="ok"]').click();

// Waits until the condition on the page holds, within the test's own time limit or the one given;
// says whether it came to hold.
export async function eventually(condition, limitMs = Infinity) {
    const end = performance.now() + limitMs;
    for (;;) {
        if (await condition()) return true;
        if (performance.now() > end) return false;
        await new Promise((resolve) => setTimeout(resolve, 20));
    }
}

// Waits until the main dialog has drawn at least once more.
export async function drawsGoOn(main) {
    const games = Number(await main.read(IDC.GAMES_PLAYED));
    await eventually(async () => Number(await main.read(IDC.GAMES_PLAYED)) > games);
}
