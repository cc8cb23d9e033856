// The page in Debian's Chromium, opened from disk with the network refused or served with the site,
// and its dialogs read and driven as a player would.
import { readFileSync } from 'node:fs';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { chromium } from 'playwright-core';

const root = fileURLToPath(new URL('../..', import.meta.url));
export const pageFile = process.env.TIPPWERK_PAGE ?? `${root}build/web/tippwerk.html`;
export const pageUrl = pathToFileURL(pageFile).href;
export const siteFolder = process.env.TIPPWERK_SITE ?? `${root}build/web/site`;
export { serveFolder } from '../../web/serve-site.mjs';

// The control identifiers by the names the program gives them: IDC.START is 101.
export const IDC = Object.fromEntries([...readFileSync(`${root}resources/resource.h`, 'utf8')
    .matchAll(/^#define IDC_(\w+) (\d+)/gm)].map(([, name, value]) => [name, Number(value)]));

export const MAIN = 'LOTTODIALOG';
export const LOSS = 'VERLUSTDIALOG';
export const PHONE = { viewport: { width: 360, height: 740 }, isMobile: true, hasTouch: true };
export const DESKTOP = { viewport: { width: 1024, height: 768 } };
// More than may pass between starting a page's clock and stopping it.
const kClockLead = 60_000;

export const chromiumPath = process.env.TIPPWERK_CHROMIUM ?? '/usr/bin/chromium';
// As root Chromium needs --no-sandbox; the rest keeps it from reaching for Google's services.
export const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic'];
// The page's heap to the byte and up to date, and a collection a test can ask for, so the stress walk can
// tell what the page keeps from what it has yet to collect.
const kChromium = { executablePath: chromiumPath, args: [...chromiumFlags, '--enable-precise-memory-info', '--js-flags=--expose-gc'] };

export const launchBrowser = () => chromium.launch(kChromium);

// A browser whose profile lives in the folder: Chromium installs apps only there, never in a context
// of its own, which it treats as incognito.
export const launchProfile = (folder) => chromium.launchPersistentContext(folder, { ...kChromium, ...DESKTOP, locale: 'de-DE' });

// A browser without workers, where the page's timers fall back on its own timeouts.
export const withoutWorker = () => { delete window.Worker; };

// Lets a test show a text in a field through the service the engine shows every value with, as
// showFieldThroughEngine(dialog, fieldId, text) (dialog 1 the main dialog, 2 the loss dialog): the
// text is put into a page of the engine's memory of its own, which the engine never uses.
export const exposeFieldShow = () => {
    const instantiate = WebAssembly.instantiate;
    WebAssembly.instantiate = async (source, imports) => {
        const result = await instantiate.call(WebAssembly, source, imports);
        const { memory } = result.instance.exports;
        let scratch;
        window.showFieldThroughEngine = (dialog, fieldId, text) => {
            scratch ??= memory.grow(1) * 65536;
            const bytes = new TextEncoder().encode(`${text}\0`);
            new Uint8Array(memory.buffer).set(bytes, scratch);
            imports.page.showFieldText(dialog, fieldId, scratch);
        };
        return result;
    };
};

// Opens the page offline; every request but the page itself is refused and recorded, and so is any
// script error. The scripts in init run before the page's own. With a clock time, the page's clock
// starts there and stands still until run; it reaches no worker, so the page has none then. With a
// font size, the browser's default text size is that many pixels, as a player can set it.
export async function openPage(browser, { device = DESKTOP, clock, url = pageUrl, fontSize, init = [] } = {}) {
    const context = await browser.newContext({ ...device, locale: 'de-DE' });
    if (url === pageUrl) await context.setOffline(true);
    for (const script of clock === undefined ? init : [withoutWorker, ...init]) await context.addInitScript(script);
    const session = watch(await context.newPage(), (requested) => requested === url);
    const { page } = session;
    await context.route(/^https?:/, (route) => (route.request().url() === url ? route.continue() : route.abort()));
    if (fontSize !== undefined) {
        const cdp = await context.newCDPSession(page);
        await cdp.send('Page.setFontSizes', { fontSizes: { standard: fontSize } });
    }
    if (clock !== undefined) {
        // Started a little before, as it runs on until paused, and may only be moved forward.
        await page.clock.install({ time: clock - kClockLead });
        await page.clock.pauseAt(clock);
    }
    await page.goto(url);
    // Keys go to the page in front, whatever other pages the browser has open.
    await page.bringToFront();
    await session.main.root.waitFor();
    return session;
}

// Records every request of the page's browser context that own() disowns, every script error and every
// alert, and names the page's dialogs.
export function watch(page, own) {
    const context = page.context();
    const session = { page, context, foreignRequests: [], errors: [], alerts: 0, main: dialog(page, MAIN), loss: dialog(page, LOSS) };
    // A blob: address is the timers' worker, which the page makes from its own text: it never leaves the browser.
    context.on('request', (request) => {
        if (!request.url().startsWith('blob:') && !own(request.url())) session.foreignRequests.push(request.url());
    });
    page.on('pageerror', (error) => session.errors.push(error.message));
    page.on('console', (message) => {
        if (message.type() === 'error') session.errors.push(message.text());
    });
    // The browser's own alert() would halt the page's timers; the page must never use it.
    page.on('dialog', (dialog) => {
        ++session.alerts;
        dialog.dismiss();
    });
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
        numbers: (first, count) => fieldNumbers(read, first, count),
    };
}

// What count fields from first on show, as read() reads them, each as the number its leading digits make.
export async function fieldNumbers(read, first, count) {
    const values = [];
    for (let id = first; id < first + count; ++id) values.push(Number.parseInt(await read(id), 10));
    return values;
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

// A click on the box's OK, with Playwright's page or an engine's.
export const dismissMessageBox = (page) => page.click('#message-box button[value="ok"]');

// Far longer than a running page takes to draw again, or to show what it was asked, on a busy machine.
const kSettleMs = 10_000;

// Waits until the condition on the page holds, within the time given; says whether it came to hold.
export async function eventually(condition, limitMs = kSettleMs) {
    const end = performance.now() + limitMs;
    for (;;) {
        if (await condition()) return true;
        if (performance.now() > end) return false;
        await new Promise((resolve) => setTimeout(resolve, 20));
    }
}

// Waits until the condition on the page holds, and fails with the failure given when it does not.
export async function until(condition, failure, limitMs = kSettleMs) {
    if (!(await eventually(condition, limitMs))) throw new Error(failure);
}

// What the promise gives, or a TimeoutError naming what was awaited once the time given has passed.
export async function within(promise, limitMs, what) {
    let timer;
    const late = new Promise((resolve, reject) => {
        timer = setTimeout(() => reject(Object.assign(new Error(`${what}: no end within ${limitMs} ms`), { name: 'TimeoutError' })), limitMs);
    });
    try {
        return await Promise.race([promise, late]);
    } finally {
        clearTimeout(timer);
    }
}

// Waits until the main dialog has drawn at least once more; fails when it stands still.
export async function drawsGoOn(main) {
    const games = Number(await main.read(IDC.GAMES_PLAYED));
    await until(async () => Number(await main.read(IDC.GAMES_PLAYED)) > games, `the draws stood still at ${games} games for ${kSettleMs} ms`);
}

// Puts the caret into every edit of the dialog with a real click or tap where the edit is drawn, and
// replaces its last character with another digit by keys. Returns each edit's name with what it
// shows and what it should show; an edit that did not take the caret keeps its text.
export async function typeIntoEveryEdit(page, dialog, pointer) {
    const results = [];
    for (const field of await dialog.root.locator('input').all()) {
        const before = await field.inputValue();
        const digit = before.endsWith('7') ? '8' : '7';
        // Short, so a control drawn over the edit fails at once instead of at the test's end.
        await field[pointer]({ timeout: 2000 });
        await page.keyboard.press('End');
        await page.keyboard.press('Backspace');
        await page.keyboard.type(digit);
        results.push({ field: await field.getAttribute('aria-label'), shows: await field.inputValue(), expected: before.slice(0, -1) + digit });
    }
    return results;
}

// What is drawn over something else: two controls, group titles, captions or close boxes of one
// dialog, or two dialogs; and any text its own box cuts off.
export function layoutFaults(page) {
    return page.evaluate(() => {
        const name = (e) => `${e.closest('[data-dialog]')?.dataset.dialog} ${e.dataset.id ?? e.className} "${(e.value ?? e.textContent).trim()}"`;
        const meet = (a, b) => a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5;
        const overlapping = (elements) => elements.flatMap((a, i) => elements.slice(i + 1)
            .filter((b) => meet(a.getBoundingClientRect(), b.getBoundingClientRect())).map((b) => `${name(a)} over ${name(b)}`));
        const dialogs = [...document.querySelectorAll('[data-dialog]')];
        return [
            ...overlapping(dialogs),
            ...dialogs.flatMap((dialog) => overlapping([...dialog.querySelectorAll(
                '.dialog-body [data-id]:not(fieldset), legend, .title-bar-text, .title-bar .close')])),
            ...[...document.querySelectorAll('[data-dialog] span, [data-dialog] legend')]
                .filter((text) => text.scrollWidth > text.clientWidth || text.scrollHeight > text.clientHeight).map((text) => `${name(text)} cut`),
        ];
    });
}
