// The page on every device: from disk with the network refused and from a web server, with the keyboard
// alone, to a screen reader and axe-core, and on a phone.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { basename, dirname } from 'node:path';
import { after, before, test } from 'node:test';

import { dismissMessageBox, drawsGoOn, IDC, launchBrowser, layoutFaults, messageBox, openPage, pageFile, PHONE, serveFolder } from './page.mjs';

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

// A phone upright and on its side, the smallest phone, and a tablet.
const kTouchScreens = [PHONE.viewport, { width: 320, height: 568 }, { width: 740, height: 360 }, { width: 768, height: 1024 }];
const kNarrow = 640;

test('touch screens: nothing scrolls sideways or overlaps, text at least 12 pixels, every control a finger can hit, buttons below the fields where narrow', kTimeout, async () => {
    for (const viewport of kTouchScreens) {
        const screen = `${viewport.width} × ${viewport.height}`;
        const { page, main, loss } = await openPage(browser, { device: { ...PHONE, viewport } });
        await main.control(IDC.START).tap();
        await drawsGoOn(main);
        await main.control(IDC.LOSSES).tap();
        await loss.control(IDC.AUTO).tap();

        const layout = await page.evaluate(() => ({
            width: document.documentElement.scrollWidth,
            smallText: [...document.querySelectorAll('.dialog span, .dialog button, .dialog input, .dialog legend, .title-bar-text')]
                .filter((e) => e.textContent.trim() || e.value)
                .filter((e) => parseFloat(getComputedStyle(e).fontSize) < 12).map((e) => e.outerHTML),
            controls: [...document.querySelectorAll('button, input')].filter((c) => c.checkVisibility()).map((c) => {
                const box = c.getBoundingClientRect();
                return { id: Number(c.dataset.id), name: c.textContent || c.ariaLabel, top: box.top, width: box.width, height: box.height };
            }),
            fieldsBottom: document.querySelector('[data-dialog=LOTTODIALOG] .fields').getBoundingClientRect().bottom,
        }));
        assert.equal(layout.width, viewport.width, `no sideways scrolling on ${screen}`);
        assert.deepEqual(layout.smallText, [], screen);
        for (const control of layout.controls)
            assert.ok(control.width >= 24 && control.height >= 24, `${control.name} is ${control.width} × ${control.height} on ${screen}`);
        assert.deepEqual(await layoutFaults(page), [], screen);
        if (viewport.width <= kNarrow) {
            const mainButtons = layout.controls.filter((c) => c.id).slice(0, 6);
            assert.deepEqual(mainButtons.map((b) => b.id), [IDC.START, IDC.STOP, IDC.RESET, IDC.LOSSES, IDC.INFO, IDC.END]);
            assert.ok(mainButtons.every((b) => b.top >= layout.fieldsBottom), `the buttons below the fields on ${screen}`);
        }
        if (viewport === PHONE.viewport) {
            assert.deepEqual(await axeViolations(page), []);
            // With the focus in the main dialog, the loss dialog scrolls nothing away from under the
            // finger as it becomes the active one, so its close box closes it at the first tap.
            await main.control(IDC.TIP_FIRST).tap();
            await loss.root.locator('.title-bar .close').tap();
            assert.equal(await loss.root.count(), 0, 'the loss dialog closed');
            await main.control(IDC.INFO).tap();
            const ok = await page.locator('#message-box button[value="ok"]').boundingBox();
            assert.ok(ok.width >= 24 && ok.height >= 24, 'a box\'s OK button too');
        }
        await page.context().close();
    }
});
