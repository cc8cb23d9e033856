// Debian's Firefox ESR, headless, driven over WebDriver BiDi by Puppeteer, which downloads nothing here.
import puppeteer from 'puppeteer-core';

import { DESKTOP } from '../page.mjs';
import { centreOf, keyParts, kCommandMs, kPageMs, leavesBrowser } from './input.mjs';

const firefoxPath = process.env.TIPPWERK_FIREFOX ?? '/usr/bin/firefox-esr';
// Keeps Firefox from asking Mozilla's services for anything while the tests run.
const kQuiet = {
    'app.update.disabledForTesting': true, 'browser.safebrowsing.update.enabled': false,
    'network.captive-portal-service.enabled': false, 'network.connectivity-service.enabled': false,
    'intl.accept_languages': 'de-DE',
};

export async function launch() {
    const browser = await puppeteer.launch({
        browser: 'firefox', executablePath: firefoxPath, headless: true, extraPrefsFirefox: kQuiet, timeout: kCommandMs, protocolTimeout: kCommandMs,
    });
    return {
        canTap: true,
        version: async () => `Firefox ${(await browser.version()).replace(/^firefox\//, '')}`,
        close: () => browser.close(),
        async newPage({ device = DESKTOP, init = [] } = {}) {
            // A context of its own, so no service worker, cache or storage carries over from another page.
            const context = await browser.createBrowserContext();
            const page = await context.newPage();
            page.setDefaultTimeout(kPageMs);
            await page.setViewport({ ...device.viewport, isMobile: Boolean(device.isMobile), hasTouch: Boolean(device.hasTouch) });
            for (const script of init) await page.evaluateOnNewDocument(script);
            const errors = [];
            const requests = [];
            let address;
            page.on('pageerror', (error) => errors.push(error.message));
            page.on('console', (message) => {
                if (message.type() === 'error') errors.push(message.text());
            });
            page.on('request', (request) => {
                if (request.url() !== address && leavesBrowser(request.url())) requests.push(request.url());
            });
            // The browser's own alert() would halt the page's timers; the page must never use it.
            page.on('dialog', (dialog) => {
                errors.push(`alert(): ${dialog.message()}`);
                dialog.dismiss();
            });
            const centre = (selector) => page.evaluate(centreOf, selector);
            return {
                async goto(url) {
                    address = url;
                    await page.goto(url);
                    await page.bringToFront();
                },
                reload: () => page.reload(),
                close: () => context.close(),
                click: async (selector) => {
                    const { x, y } = await centre(selector);
                    await page.mouse.click(x, y);
                },
                dblclick: async (selector) => {
                    const { x, y } = await centre(selector);
                    await page.mouse.click(x, y, { count: 2 });
                },
                clickAt: (x, y) => page.mouse.click(x, y),
                tap: async (selector) => {
                    const { x, y } = await centre(selector);
                    await page.touchscreen.tap(x, y);
                },
                type: (text) => page.keyboard.type(text),
                async press(key) {
                    const parts = keyParts(key);
                    const pressed = parts.pop();
                    for (const modifier of parts) await page.keyboard.down(modifier);
                    await page.keyboard.press(pressed);
                    for (const modifier of parts.reverse()) await page.keyboard.up(modifier);
                },
                evaluate: (fn, ...args) => page.evaluate(fn, ...args),
                screenshot: (path) => page.screenshot({ path }),
                errors: async () => [...errors],
                requests: async () => [...requests],
            };
        },
    };
}
