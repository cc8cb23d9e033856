// Walks through the page as a player would, for what the cross-check's script cannot show: the
// templates, keys and typing, boxes while the draws run, pasted text, and the end of the program.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';

import { assertValidTip, costsOf, gamesOf, startWithBadFields, tipOf } from './checks.mjs';
import { drawsGoOn, IDC, launchBrowser, messageBox, openPage } from './page.mjs';

const kTimeout = { timeout: 60_000 };

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

test('the dialogs are the templates of the program: controls, texts and identifiers, tab stops in template order', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser);
    const script = readFileSync(new URL('../../resources/tippwerk.rc', import.meta.url), 'utf8');
    const value = (expression) => expression.split('+').map((term) => term.trim())
        .reduce((sum, term) => sum + (/^\d+$/.test(term) ? Number(term) : IDC[term.replace(/^IDC_/, '')]), 0);
    const kinds = { INPUT: 'EDIT', SPAN: 'STATIC', BUTTON: 'BUTTON', FIELDSET: 'BUTTON' };
    await main.press(IDC.LOSSES);
    for (const [name, dialog] of [['LOTTODIALOG', main], ['VERLUSTDIALOG', loss]]) {
        const block = script.slice(script.indexOf(`${name} DIALOG`)).split('\nEND')[0];
        const expected = [...block.matchAll(/CONTROL "([^"]*)",\s*([^,]+),\s*"(\w+)",\s*(\w+)/g)]
            .map(([, text, id, windowClass, style]) => [value(id), text, windowClass, style]);
        // The page writes them in reading order, so they are compared as sets; the tab stops keep their order.
        const made = await page.evaluate((template) => [...document.getElementById(template).content
            .querySelectorAll('.dialog-body [data-id]')].map((c) => [Number(c.dataset.id),
            c instanceof HTMLInputElement ? c.getAttribute('value') : (c.querySelector('legend') ?? c).textContent, c.tagName]), `template-${name}`);
        const sorted = (controls) => controls.map((c) => JSON.stringify(c)).sort();
        assert.deepEqual(sorted(made.map(([id, text, tag]) => [id, text, kinds[tag]])), sorted(expected.map(([id, text, kind]) => [id, text, kind])));
        assert.deepEqual(made.filter(([, , tag]) => tag === 'INPUT' || tag === 'BUTTON').map(([id]) => id),
            expected.filter(([, , , style]) => /^TW_(DEF)?PUSH$|EDIT$/.test(style)).map(([id]) => id), 'tab stops in template order');
        assert.equal(await dialog.root.locator('.dialog-body [data-id]').count(), expected.length);
        assert.equal(await dialog.root.locator('.title-bar-text').textContent(), block.match(/CAPTION "([^"]*)"/)[1]);
    }
    // Each control at its template place in the dialog's units, which the dialog font gives it.
    const units = await main.root.evaluate((e) => ['--unit-x', '--unit-y'].map((unit) => parseFloat(getComputedStyle(e).getPropertyValue(unit))));
    const body = await main.root.locator('.dialog-body').boundingBox();
    for (const [id, place] of [[IDC.START, [208, 8, 40, 14]], [IDC.TIP_FIRST + 2, [104, 8, 16, 12]], [IDC.GAMES_WITHOUT_PRIZE, [152, 72, 32, 8]]]) {
        const box = await main.control(id).boundingBox();
        const shown = [box.x - body.x, box.y - body.y, box.width, box.height];
        const expectedPlace = place.map((distance, i) => distance * units[i % 2]);
        shown.forEach((pixels, i) => assert.ok(Math.abs(pixels - expectedPlace[i]) < 1, `control ${id}: ${shown} for ${expectedPlace}`));
    }
    assert.equal(await page.title(), 'Tippwerk');
    assert.equal(await page.locator('html').getAttribute('lang'), 'de');
});

test('keys as in a Windows dialog: digits typed, Enter the default button, Escape nothing; Verluste once, beside', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser);
    // A number no field holds yet, so Start takes the tip without a box.
    const tip = await tipOf(main);
    const number = String([41, 42, 43, 44, 45, 46, 47].find((n) => !tip.includes(n)));
    const field = main.control(IDC.TIP_FIRST + 2);
    await field.fill('');
    await field.pressSequentially(`x${number[0]}a${number[1]}9`);
    assert.equal(await field.inputValue(), number, 'digits only, two of them');
    await field.press('Enter');
    await drawsGoOn(main);
    assert.equal((await tipOf(main))[2], Number(number));
    await field.press('Escape');
    await drawsGoOn(main);

    await main.press(IDC.LOSSES);
    await main.press(IDC.LOSSES);
    assert.equal(await loss.root.count(), 1, 'Verluste while it is open does nothing');
    const [mainBox, lossBox] = [await main.root.boundingBox(), await loss.root.boundingBox()];
    assert.ok(lossBox.x >= mainBox.x + mainBox.width && lossBox.y === mainBox.y, 'beside the main dialog');
    await main.press(IDC.STOP);
    await loss.control(IDC.PRICE_DM_FIRST).press('Enter');
    const games = await gamesOf(main);
    assert.deepEqual(await costsOf(loss), [Math.trunc(games * 550 / 100), games * 550 % 100], 'Enter is Auswertung');
    await loss.control(IDC.PRICE_DM_FIRST).press('Escape');
    assert.equal(await loss.root.count(), 1);
    assert.equal(await messageBox(page), null);
});

test('a bad tip while the draws run: each bad field replaced at once, one box each, the draws going on', kTimeout, async () => {
    const session = await openPage(browser);
    const { page, main } = session;
    await main.press(IDC.START);
    const before = await tipOf(main);
    await main.set(IDC.TIP_FIRST, '0');
    await main.set(IDC.TIP_FIRST + 3, String(before[0] === 7 ? 8 : 7));
    await main.set(IDC.TIP_FIRST + 4, await main.read(IDC.TIP_FIRST + 3)); // a repeat of field 3
    assert.ok((await startWithBadFields(page, main)).replaced >= 2);

    await main.press(IDC.INFO);
    const about = await messageBox(page);
    assert.deepEqual([about.caption, about.icon], ['Tippwerk', 'information']);
    assert.match(about.text, /^\nDezember 2026.*\n\nBesuchen Sie unsere Homepage:\n.*\n\nFür Spenden wäre ich sehr dankbar\n- vielleicht hat ja jemand durch\ndieses Programm viel Geld gespart!$/s);
    await page.keyboard.press('Escape');
    assert.equal(await messageBox(page), null);
    assert.equal(session.alerts, 0, 'no alert() of the browser');
});

test('odd text pasted into a tip and a price field is read as the program reads it', kTimeout, async () => {
    const { page, context, main, loss } = await openPage(browser);
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const paste = async (field, text) => {
        await page.evaluate((value) => navigator.clipboard.writeText(value), text);
        await field.fill('');
        await field.press('Control+V');
    };
    // A tip field keeps the two characters that fit: "-3" reads 4294967293, " 1" reads 1.
    await paste(main.control(IDC.TIP_FIRST), '-3');
    await paste(main.control(IDC.TIP_FIRST + 1), ' 12abc');
    assert.deepEqual([await main.read(IDC.TIP_FIRST), await main.read(IDC.TIP_FIRST + 1)], ['-3', ' 1']);
    const { typed, tip } = await startWithBadFields(page, main);
    assert.notEqual(tip[0], typed[0]);
    // Field 1 is kept as typed, unless field 0's replacement happens to take its 1.
    assert.ok(tip[1] === 1 || tip[0] === 1);
    await main.press(IDC.STOP);

    // A DM field takes all of a paste, a Pf field the two characters that fit: 1234 DM and 15 Pf.
    await main.press(IDC.LOSSES);
    await paste(loss.control(IDC.PRICE_DM_FIRST), ' +1234 DM');
    await paste(loss.control(IDC.PRICE_PF_FIRST), '150');
    await loss.press(IDC.EVALUATE);
    const costs = (await gamesOf(main)) * 123415;
    assert.deepEqual(await costsOf(loss), [Math.trunc(costs / 100), costs % 100]);
});

test('Ende with the loss dialog open, the end of the program and a new start', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser);
    const ended = page.locator('#ended');
    await main.press(IDC.START);
    await main.press(IDC.LOSSES);
    await main.press(IDC.END);
    assert.equal(await main.root.count(), 0, 'the main dialog has ended');
    assert.ok(await ended.isHidden(), 'the program goes on while the loss dialog is open');
    await loss.press(IDC.EVALUATE);
    const costs = await costsOf(loss);
    await page.waitForTimeout(100);
    await loss.press(IDC.EVALUATE);
    assert.deepEqual(await costsOf(loss), costs, 'the draws have stopped');
    await loss.root.locator('.title-bar .close').click();
    assert.equal(await ended.locator('h1').textContent(), 'Tippwerk wurde beendet.');

    await ended.getByRole('button', { name: 'Neu starten' }).click();
    assert.ok(await ended.isHidden());
    assertValidTip(await tipOf(main));
    assert.equal(await gamesOf(main), 0);
    assert.equal(await loss.root.count(), 0);
    // The close box ends the program at once when the loss dialog is not open.
    await main.root.locator('.title-bar .close').click();
    assert.ok(await ended.isVisible());
});
