// The page in the three engines its players meet: Chromium, Firefox (Gecko) and WebKit, each driven
// with real input behind one small interface, so one set of walks runs in all three.
//
// launchEngine(name) gives { version(), newPage({ device, init }), close() }; a page gives goto(url),
// reload(), close(), click(selector), dblclick(selector), clickAt(x, y), tap(selector) where canTap,
// type(text) into the focused element, press(key) by Playwright's names ('Shift+Tab', 'Space'),
// evaluate(fn, ...args), text(selector), screenshot(path), and the script errors (errors()) and the
// requests other than the page itself (requests()) seen so far.
import { launch as launchChromium } from './chromium.mjs';
import { launch as launchFirefox } from './firefox.mjs';
import { launch as launchWebKit } from './webkit.mjs';

const kLaunchers = { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebKit };
export const engineNames = Object.keys(kLaunchers);

// What a field or any element shows: an edit's text or its text content.
function shownText(selector) {
    const element = document.querySelector(selector);
    return element instanceof HTMLInputElement ? element.value : element?.textContent ?? null;
}

export async function launchEngine(name) {
    const launch = kLaunchers[name];
    if (!launch) throw new Error(`no engine ${name}: one of ${engineNames.join(', ')}`);
    const browser = await launch();
    return {
        ...browser,
        async newPage(options) {
            const page = await browser.newPage(options);
            return { ...page, name, text: (selector) => page.evaluate(shownText, selector) };
        },
    };
}
