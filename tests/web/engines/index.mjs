// The page in the three engines its players meet: Chromium, Firefox (Gecko) and WebKit, each driven
// with real input behind one small interface, so one set of walks runs in all three.
//
// launchEngine(name) gives { version(), newPage({ device, init }), close() }; a page gives goto(url),
// reload(), close(), click(selector), dblclick(selector), clickAt(x, y), tap(selector) where its
// canTap says, the engine's driver having touch and the device a touch screen,
// type(text) into the focused element, press(key) by Playwright's names ('Shift+Tab', 'Space'),
// evaluate(fn, ...args), text(selector), screenshot(path), and the script errors (errors()) and the
// requests other than the page itself (requests()) seen so far; and its dialogs, main and loss, read
// and pressed as page.mjs's dialog() does.
import { fieldNumbers, LOSS, MAIN, until, within } from '../page.mjs';
import { launch as launchChromium } from './chromium.mjs';
import { launch as launchFirefox } from './firefox.mjs';
import { launch as launchWebKit } from './webkit.mjs';

// Far longer than any engine takes to show the page on a busy machine.
const kOpenMs = 20_000;
// Far longer than any call into a driver takes on a busy machine, and than the page's own scripts and
// loads may take in Firefox and WebKit, whose drivers then fail with their reasons.
const kCallMs = 20_000;
const kLaunchers = { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebKit };
export const engineNames = Object.keys(kLaunchers);

// What a field or any element shows: an edit's text or its text content.
function shownText(selector) {
    const element = document.querySelector(selector);
    return element instanceof HTMLInputElement ? element.value : element?.textContent ?? null;
}

// A dialog's fields by their identifiers, its buttons pressed with a click.
function dialogOf(page, name) {
    const selector = (id) => `[data-dialog="${name}"] [data-id="${id}"]`;
    const read = (id) => page.text(selector(id));
    return {
        selector,
        read,
        press: (id) => page.click(`[data-dialog="${name}"] button[data-id="${id}"]`),
        shown: () => page.evaluate((dialog) => document.querySelector(dialog) !== null, `[data-dialog="${name}"]`),
        numbers: (first, count) => fieldNumbers(read, first, count),
    };
}

// The driver's functions, each failing with its name once it has taken longer than kCallMs. A browser
// that stopped answering answers no later call either: each fails at once with that reason, so that
// the walks after it end in seconds too; it is closed all the same.
function bounded(driver, what, stuck) {
    const call = (key, value) => async (...args) => {
        if (stuck.reason && key !== 'close') throw new Error(`${what} ${key}: not tried, as ${stuck.reason}`);
        try {
            return await within(value(...args), kCallMs, `${what} ${key}`);
        } catch (error) {
            if (error.name === 'TimeoutError') stuck.reason ??= error.message;
            throw error;
        }
    };
    return Object.fromEntries(Object.entries(driver).map(([key, value]) => [key, typeof value === 'function' ? call(key, value) : value]));
}

export async function launchEngine(name) {
    const launch = kLaunchers[name];
    if (!launch) throw new Error(`no engine ${name}: one of ${engineNames.join(', ')}`);
    const stuck = { reason: null };
    const browser = bounded(await launch(), name, stuck);
    return {
        ...browser,
        async newPage(options = {}) {
            const page = { ...bounded(await browser.newPage(options), name, stuck), name, canTap: browser.canTap && Boolean(options.device?.hasTouch) };
            // Closed once, however often a walk and its cleanup ask.
            const close = page.close;
            let closed;
            page.close = () => (closed ??= close());
            page.text = (selector) => page.evaluate(shownText, selector);
            page.main = dialogOf(page, MAIN);
            page.loss = dialogOf(page, LOSS);
            // Opens the address and waits for the main dialog, which the page shows once its engine runs.
            page.open = async (url) => {
                await page.goto(url);
                await until(() => page.main.shown(), `${url}: no main dialog in ${name}`, kOpenMs);
            };
            return page;
        },
    };
}
