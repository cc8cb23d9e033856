// What the drivers share: how long a page and a command may take; and those of Firefox and WebKit:
// where a pointer goes for a selector, the page errors an init script collects, and the keys by their
// names.

// A page's loads, scripts and actions may take this long: far longer than any takes on a busy machine,
// and shorter than index.mjs's limit for a call, so that a driver fails with its own reason first.
export const kPageMs = 15_000;
// A command the walk has given up on, after index.mjs's limit for a call, is let go of by the driver
// after this: far longer than a browser takes to start on a busy machine.
export const kCommandMs = 30_000;

// Run in the page: scrolls the element into view and gives its centre, in whole pixels as WebDriver
// takes them; fails as Playwright's click does when something else would take the click there.
export function centreOf(selector) {
    const element = document.querySelector(selector);
    if (!element) throw new Error(`nothing found for ${selector}`);
    element.scrollIntoView({ block: 'nearest', inline: 'nearest' });
    const box = element.getBoundingClientRect();
    const [x, y] = [Math.round(box.x + box.width / 2), Math.round(box.y + box.height / 2)];
    const hit = document.elementFromPoint(x, y);
    if (!element.contains(hit)) throw new Error(`${selector} is covered at ${x}, ${y} by ${hit?.outerHTML.slice(0, 80)}`);
    return { x, y };
}

// Run in the page before its own scripts, where the driver reports no script errors of its own.
export function collectErrors() {
    const seen = [];
    window.tippwerkErrorsSeen = seen;
    addEventListener('error', (event) => seen.push(event.message));
    addEventListener('unhandledrejection', (event) => seen.push(String(event.reason)));
    const report = console.error;
    console.error = (...args) => {
        seen.push(args.join(' '));
        report.apply(console, args);
    };
}

// The parts of a key as Playwright names it ('Shift+Tab'), each as the key value a driver presses:
// Puppeteer and WebDriver know the space bar only as ' '.
export const keyParts = (key) => key.split(/\+(?!$)/).map((part) => (part === 'Space' ? ' ' : part));

// Addresses that never leave the browser: the images the style sheet holds and the timers' worker.
export const leavesBrowser = (url) => !/^(data|blob):/.test(url);
