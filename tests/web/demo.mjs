// A first look at the page without a display: the draws run, the loss dialog follows them in Auto, and
// screenshots of a desktop window and of a phone are written.
// Usage: node tests/web/demo.mjs FOLDER
import { mkdirSync } from 'node:fs';

import { DESKTOP, IDC, launchBrowser, openPage, PHONE } from './page.mjs';

const kDrawingMs = 3000;
const kMargin = 12;
const folder = process.argv[2];
if (!folder) throw new Error('usage: node tests/web/demo.mjs FOLDER');
mkdirSync(folder, { recursive: true });

const browser = await launchBrowser();
try {
    for (const [name, device] of [['tippwerk', DESKTOP], ['tippwerk-phone', PHONE]]) {
        const { page, main, loss, errors } = await openPage(browser, { device });
        await main.press(IDC.START);
        await main.press(IDC.LOSSES);
        await loss.press(IDC.AUTO);
        await page.waitForTimeout(kDrawingMs);
        if (errors.length > 0) throw new Error(`the page reported: ${errors.join('; ')}`);
        // Both dialogs and a little of the desk around them, measured from the top of the page. The
        // window is made as tall as the page, since a full-page screenshot drops a phone's touch screen.
        await page.setViewportSize({ width: device.viewport.width, height: await page.evaluate(() => document.documentElement.scrollHeight) });
        await page.evaluate(() => window.scrollTo(0, 0));
        const [first, second] = [await main.root.boundingBox(), await loss.root.boundingBox()];
        const left = Math.max(0, Math.min(first.x, second.x) - kMargin);
        const top = Math.max(0, Math.min(first.y, second.y) - kMargin);
        const clip = {
            x: left,
            y: top,
            width: Math.max(first.x + first.width, second.x + second.width) + kMargin - left,
            height: Math.max(first.y + first.height, second.y + second.height) + kMargin - top,
        };
        const file = `${folder}/${name}.png`;
        await page.screenshot({ path: file, clip });
        console.log(`${name}: ${await main.read(IDC.GAMES_PLAYED)} draws, screenshot ${file}`);
    }
} finally {
    await browser.close();
}
