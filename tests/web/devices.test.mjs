// The page on every device: from disk with the network refused and from a web server, with the keyboard
// alone, to a screen reader and axe-core, and on a phone.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { basename, dirname } from 'node:path';
import { after, before, test } from 'node:test';

import { dismissMessageBox, drawsGoOn, IDC, launchBrowser, messageBox, openPage, pageFile, PHONE, serveFolder } from './page.mjs';

const kTimeout = { timeout: 60_000 };
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

async function axeViolations(page) {
    await page.addScriptTag({ content: axeSource });
    const { violations } = await page.evaluate(() => window.axe.run());
    return violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}


test('from disk with every network request refused, and from a web server', kTimeout, async () => {
    const offline = await openPage(browser);
    await offline.main.press(IDC.START);
    await drawsGoOn(offline.main);
    await offline.main.press(IDC.LOSSES);
    assert.deepEqual(offline.foreignRequests, [], 'the page asked for nothing beyond itself');
    assert.deepEqual(offline.errors, []);

    const server = await serveFolder(dirname(pageFile));
    try {
        const url = `http://127.0.0.1:${server.address().port}/${basename(pageFile)}`;
        const served = await openPage(browser, { url });
        await served.main.press(IDC.START);
        await drawsGoOn(served.main);
        assert.deepEqual(served.foreignRequests, []);
        assert.deepEqual(served.errors, []);
    } finally {
        server.close();
    }
});

test('the keyboard alone: Tab in template order, every input named, the counters no live region, no axe violation', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser);
    // From the dialog itself, as it has the focus on opening: the buttons, then the six tip fields.
    const active = () => page.evaluate(() => Number(document.activeElement.dataset.id));
    for (const id of [IDC.START, IDC.STOP, IDC.RESET, IDC.LOSSES, IDC.INFO, IDC.END, 103, 104, 105, 106, 107, 108]) {
        await page.keyboard.press('Tab');
        assert.equal(await active(), id);
    }
    await page.keyboard.press('Enter');
    await drawsGoOn(main);
    for (let i = 0; i < 8; ++i) await page.keyboard.press('Shift+Tab');
    assert.equal(await active(), IDC.LOSSES);
    await page.keyboard.press('Enter');
    assert.equal(await loss.root.count(), 1);
    for (let i = 0; i < 4; ++i) await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-label')), 'Spiel: DM');

    for (const input of await page.locator('input').all())
        assert.match(await input.getAttribute('aria-label'), /^(Ihre Zahlen: [1-6]|\w+: (DM|Pf))$/);
    const live = await page.locator('[aria-live], [role=status], [role=log], [role=timer], [role=marquee], output').count();
    assert.equal(live, 0, 'a hundred changes a second are not announced');
    assert.deepEqual(await axeViolations(page), []);

    await main.set(IDC.TIP_FIRST, '0');
    await main.press(IDC.START);
    assert.deepEqual(await axeViolations(page), [], 'with a warning box up');
    // Its replacement may take a later field's number, which brings a second box.
    while (await messageBox(page)) await dismissMessageBox(page);
    await main.press(IDC.END);
    await loss.press(IDC.END);
    assert.deepEqual(await axeViolations(page), [], 'once ended');
});

test('a phone: nothing scrolls sideways, text at least 12 pixels, buttons a finger can hit, below the fields', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser, { device: PHONE });
    await main.control(IDC.START).tap();
    await drawsGoOn(main);
    await main.control(IDC.LOSSES).tap();
    await loss.control(IDC.AUTO).tap();
    assert.ok((await loss.root.boundingBox()).y >= (await main.root.boundingBox()).y + (await main.root.boundingBox()).height,
        'the loss dialog below the main one');

    const layout = await page.evaluate(() => ({
        width: document.documentElement.scrollWidth,
        viewport: window.innerWidth,
        smallText: [...document.querySelectorAll('.dialog span, .dialog button, .dialog input, .dialog legend, .title-bar-text')]
            .filter((e) => e.textContent.trim() || e.value)
            .filter((e) => parseFloat(getComputedStyle(e).fontSize) < 12).map((e) => e.outerHTML),
        buttons: [...document.querySelectorAll('button')].filter((b) => b.checkVisibility()).map((b) => {
            const box = b.getBoundingClientRect();
            return { id: Number(b.dataset.id), name: b.textContent || b.ariaLabel, top: box.top, height: box.height, right: box.right };
        }),
        fieldsBottom: Math.max(...[...document.querySelectorAll('[data-dialog=LOTTODIALOG] .dialog-body > :not(button)')]
            .map((e) => e.getBoundingClientRect().bottom)),
    }));
    assert.equal(layout.width, layout.viewport, 'no sideways scrolling');
    assert.deepEqual(layout.smallText, []);
    for (const button of layout.buttons) {
        assert.ok(button.height >= 24, `button ${button.name} is ${button.height} pixels high`);
        assert.ok(button.right <= layout.viewport);
    }
    const mainButtons = layout.buttons.filter((b) => b.id).slice(0, 6);
    assert.deepEqual(mainButtons.map((b) => b.id), [IDC.START, IDC.STOP, IDC.RESET, IDC.LOSSES, IDC.INFO, IDC.END]);
    assert.ok(mainButtons.every((b) => b.top >= layout.fieldsBottom), 'the buttons below the fields');
    assert.deepEqual(await axeViolations(page), []);
    await main.control(IDC.INFO).tap();
    assert.ok((await page.locator('#message-box button[value="ok"]').boundingBox()).height >= 24, 'a box\'s OK button too');
});
