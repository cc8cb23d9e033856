// Chromium as every page test drives it: Playwright over the DevTools protocol, with page.mjs's launch.
import { DESKTOP, launchBrowser, watch } from '../page.mjs';
import { kPageMs, leavesBrowser } from './input.mjs';

export async function launch() {
    const browser = await launchBrowser();
    return {
        canTap: true,
        version: async () => `Chromium ${browser.version()}`,
        close: () => browser.close(),
        async newPage({ device = DESKTOP, init = [] } = {}) {
            const context = await browser.newContext({ ...device, locale: 'de-DE' });
            context.setDefaultTimeout(kPageMs);
            for (const script of init) await context.addInitScript(script);
            let address;
            const session = watch(await context.newPage(), (url) => url === address || !leavesBrowser(url));
            const { page } = session;
            return {
                async goto(url) {
                    address = url;
                    await page.goto(url);
                    // Keys go to the page in front, whatever other pages the browser has open.
                    await page.bringToFront();
                },
                reload: () => page.reload(),
                close: () => context.close(),
                click: (selector) => page.click(selector),
                dblclick: (selector) => page.dblclick(selector),
                clickAt: (x, y) => page.mouse.click(x, y),
                tap: (selector) => page.tap(selector),
                type: (text) => page.keyboard.type(text),
                press: (key) => page.keyboard.press(key),
                evaluate: (fn, ...args) => page.evaluate(`(${fn})(...${JSON.stringify(args)})`),
                screenshot: (path) => page.screenshot({ path }),
                errors: async () => [...session.errors, ...Array(session.alerts).fill('alert()')],
                requests: async () => [...session.foreignRequests],
            };
        },
    };
}
