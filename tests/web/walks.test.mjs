// Walks through the page as a player would: the main dialog, a bad tip while the draws run, the loss
// dialog beside the draws, odd text pasted, and ending with the loss dialog open.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';

import { dismissMessageBox, eventually, IDC, launchBrowser, messageBox, openPage } from './page.mjs';

const kTimeout = { timeout: 60_000 };
const kWarning = { caption: 'Eingabefehler', text: 'Bitte korrekte Lottozahlen eingeben!', icon: 'warning' };
const kDefaultPrices = [5, 50, 7, 50, 100, 0, 5000, 0, 500000, 0];

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

const tipOf = (main) => main.numbers(IDC.TIP_FIRST, 6);
const gamesOf = async (main) => Number(await main.read(IDC.GAMES_PLAYED));
const drawsGoOn = async (main) => {
    const games = await gamesOf(main);
    await eventually(async () => (await gamesOf(main)) > games);
};

// The six numbers are distinct and in 1..49.
function assertValidTip(tip) {
    assert.equal(new Set(tip).size, 6, `tip ${tip}`);
    for (const number of tip) assert.ok(number >= 1 && number <= 49, `tip ${tip}`);
}

// The counters agree with each other: every game without a prize had fewer than three hits.
async function assertCountersAgree(main) {
    const classes = await main.numbers(IDC.HIT_CLASS_FIRST, 6);
    const games = await gamesOf(main);
    const withoutPrize = Number(await main.read(IDC.GAMES_WITHOUT_PRIZE));
    assert.equal(withoutPrize, games - classes.slice(2).reduce((a, b) => a + b, 0));
    assert.ok(classes.reduce((a, b) => a + b, 0) <= games);
}

// Prices in the field order DM, Pf, row by row, as the loss dialog's tab order has them.
const pricesOf = async (loss) => {
    const prices = [];
    for (let row = 0; row < 5; ++row)
        prices.push(Number(await loss.read(IDC.PRICE_DM_FIRST + row)), Number(await loss.read(IDC.PRICE_PF_FIRST + row)));
    return prices;
};
const resultOf = async (loss, row) => [Number(await loss.read(IDC.RESULT_DM_FIRST + row)), Number(await loss.read(IDC.RESULT_PF_FIRST + row))];

test('the dialogs are the templates of the program: controls, texts and identifiers in template order', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser);
    const header = readFileSync(new URL('../../resources/resource.h', import.meta.url), 'utf8');
    const script = readFileSync(new URL('../../resources/tippwerk.rc', import.meta.url), 'utf8');
    const value = (expression) => expression.split('+').reduce((sum, term) => {
        const name = term.trim();
        return sum + (/^\d+$/.test(name) ? Number(name) : Number(header.match(new RegExp(`#define ${name} (\\d+)`))[1]));
    }, 0);
    await main.press(IDC.LOSSES);
    const kinds = { INPUT: 'EDIT', SPAN: 'STATIC', BUTTON: 'BUTTON', FIELDSET: 'BUTTON' };
    for (const [name, dialog] of [['LOTTODIALOG', main], ['VERLUSTDIALOG', loss]]) {
        const block = script.slice(script.indexOf(`${name} DIALOG`)).split('\nEND')[0];
        const expected = [...block.matchAll(/CONTROL "([^"]*)",\s*([^,]+),\s*"(\w+)"/g)]
            .map(([, text, id, windowClass]) => [value(id), text, windowClass]);
        const made = await page.evaluate((template) => [...document.getElementById(template).content
            .querySelectorAll('.dialog-body > [data-id]')].map((c) => [Number(c.dataset.id),
            c instanceof HTMLInputElement ? c.getAttribute('value') : c.textContent, c.tagName]), `template-${name}`);
        assert.deepEqual(made.map(([id, text, tag]) => [id, text, kinds[tag]]), expected);
        assert.equal(await dialog.root.locator('.dialog-body > [data-id]').count(), expected.length);
        assert.equal(await dialog.root.locator('.title-bar-text').textContent(), block.match(/CAPTION "([^"]*)"/)[1]);
    }
    // Dialog units as Windows converts them for the template's 8-point font: 1.5 pixels across, 1.625 down.
    const body = await main.root.locator('.dialog-body').boundingBox();
    const start = await main.control(IDC.START).boundingBox();
    assert.deepEqual([start.x - body.x, start.y - body.y, start.width, start.height], [208 * 1.5, 8 * 1.625, 40 * 1.5, 14 * 1.625]);
    assert.equal(await page.title(), 'Tippwerk');
    assert.equal(await page.locator('html').getAttribute('lang'), 'de');
});

test('opening, Start, Stop, Reset, Enter and Escape in the main dialog', kTimeout, async () => {
    const { page, main, errors } = await openPage(browser);
    const firstTip = await tipOf(main);
    assertValidTip(firstTip);
    assert.deepEqual(await main.numbers(IDC.HIT_FIRST, 6), [0, 0, 0, 0, 0, 0]);
    assert.deepEqual(await main.numbers(IDC.HIT_CLASS_FIRST, 8), [0, 0, 0, 0, 0, 0, 0, 0]);

    await main.press(IDC.START);
    await drawsGoOn(main);
    assert.deepEqual(await tipOf(main), firstTip, 'a valid tip is kept as it stands');
    await main.press(IDC.STOP);
    const stopped = await gamesOf(main);
    await page.waitForTimeout(100);
    assert.equal(await gamesOf(main), stopped, 'Stop stops the draws');
    await assertCountersAgree(main);

    await main.press(IDC.RESET);
    assertValidTip(await tipOf(main));
    assert.deepEqual(await main.numbers(IDC.HIT_FIRST, 6), [0, 0, 0, 0, 0, 0]);
    assert.deepEqual(await main.numbers(IDC.HIT_CLASS_FIRST, 8), [0, 0, 0, 0, 0, 0, 0, 0]);

    // Enter in a tip field is Start, the default button; typing takes digits only, two of them.
    const field = main.control(IDC.TIP_FIRST + 2);
    await field.fill('');
    await field.pressSequentially('x4a19');
    assert.equal(await field.inputValue(), '41');
    await field.press('Enter');
    await drawsGoOn(main);
    assert.equal((await tipOf(main))[2], 41);

    // Escape changes nothing; Reset while drawing clears the counters and the draws go on.
    await field.press('Escape');
    await drawsGoOn(main);
    await main.press(IDC.RESET);
    await drawsGoOn(main);
    await main.press(IDC.STOP);
    await assertCountersAgree(main);
    assert.ok(await main.root.isVisible());
    assert.deepEqual(errors, []);
});

test('a bad tip while the draws run: each bad field replaced at once, one box each, the draws going on', kTimeout, async () => {
    const { page, main, alerts } = await openPage(browser);
    await main.press(IDC.START);
    const before = await tipOf(main);
    await main.set(IDC.TIP_FIRST, '0');
    await main.set(IDC.TIP_FIRST + 3, String(before[0] === 7 ? 8 : 7));
    await main.set(IDC.TIP_FIRST + 4, await main.read(IDC.TIP_FIRST + 3)); // a repeat of field 3
    await main.press(IDC.START);

    // The whole tip is taken at once: both replacements show while the first box is up.
    const tip = await tipOf(main);
    assertValidTip(tip);
    assert.notEqual(tip[0], 0);
    assert.deepEqual(await messageBox(page), kWarning);
    await drawsGoOn(main);
    await dismissMessageBox(page);
    assert.deepEqual(await messageBox(page), kWarning, 'one box for each bad field');
    await drawsGoOn(main);
    await dismissMessageBox(page);
    assert.equal(await messageBox(page), null);
    assert.deepEqual(await tipOf(main), tip);

    await main.press(IDC.INFO);
    const about = await messageBox(page);
    assert.equal(about.caption, 'Tippwerk');
    assert.equal(about.icon, 'information');
    assert.match(about.text, /^\nDezember 2026.*\n\nBesuchen Sie unsere Homepage:\n.*\n\nFür Spenden wäre ich sehr dankbar\n- vielleicht hat ja jemand durch\ndieses Programm viel Geld gespart!$/s);
    await page.keyboard.press('Escape');
    assert.equal(await messageBox(page), null);
    assert.equal(alerts, 0, 'no alert() of the browser');
});

test('the loss dialog beside the draws: defaults, Auswertung, Auto, prices typed during Auto, reopening', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser);
    await main.press(IDC.START);
    await main.press(IDC.LOSSES);
    await main.press(IDC.LOSSES);
    assert.equal(await loss.root.count(), 1, 'Verluste while it is open does nothing');
    const [mainBox, lossBox] = [await main.root.boundingBox(), await loss.root.boundingBox()];
    assert.ok(lossBox.x >= mainBox.x + mainBox.width && lossBox.y === mainBox.y, 'beside the main dialog');
    assert.deepEqual(await pricesOf(loss), kDefaultPrices);
    assert.deepEqual([await resultOf(loss, 0), await resultOf(loss, 1), await resultOf(loss, 2)], [[0, 0], [0, 0], [0, 0]]);
    await drawsGoOn(main);

    // Auswertung (and Enter) evaluate once; with the draws stopped the costs are the games at 5.50 DM.
    await main.press(IDC.STOP);
    await loss.control(IDC.PRICE_DM_FIRST).press('Enter');
    const games = await gamesOf(main);
    assert.deepEqual(await resultOf(loss, 0), [Math.trunc(games * 550 / 100), games * 550 % 100]);

    // Auto follows the draws, and a price typed during Auto counts from the next tick.
    await loss.press(IDC.AUTO);
    await main.press(IDC.START);
    await eventually(async () => (await resultOf(loss, 0))[0] > Math.trunc(games * 5.5) + 5);
    await main.press(IDC.STOP);
    await loss.set(IDC.PRICE_DM_FIRST, '1');
    await loss.set(IDC.PRICE_PF_FIRST, '');
    const played = await gamesOf(main);
    await eventually(async () => (await resultOf(loss, 0))[0] === played);
    await loss.press(IDC.EVALUATE);
    await loss.set(IDC.PRICE_DM_FIRST, '2');
    await page.waitForTimeout(100);
    assert.deepEqual(await resultOf(loss, 0), [played, 0], 'Auswertung ended Auto');
    await assertCountersAgree(main);

    await loss.press(IDC.END);
    assert.equal(await loss.root.count(), 0);
    await main.press(IDC.LOSSES);
    assert.deepEqual(await pricesOf(loss), kDefaultPrices, 'reopened with the default prices');
    assert.deepEqual(await resultOf(loss, 0), [0, 0]);
    assert.equal(await gamesOf(main), played, 'the counters are untouched');
});

test('odd text pasted into a tip and a price field is read as the program reads it', kTimeout, async () => {
    const { page, context, main, loss } = await openPage(browser);
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const paste = async (field, text) => {
        await page.evaluate((value) => navigator.clipboard.writeText(value), text);
        await field.fill('');
        await field.press('Control+V');
    };
    // A tip field keeps the two characters that fit: "-3" reads 4294967293, "12a" reads 12.
    await paste(main.control(IDC.TIP_FIRST), '-3');
    await paste(main.control(IDC.TIP_FIRST + 1), ' 12abc');
    assert.deepEqual([await main.read(IDC.TIP_FIRST), await main.read(IDC.TIP_FIRST + 1)], ['-3', ' 1']);
    await main.set(IDC.TIP_FIRST + 1, '12a');
    await main.press(IDC.START);
    assert.deepEqual(await messageBox(page), kWarning);
    await dismissMessageBox(page);
    assert.equal(await messageBox(page), null, 'only the first field was bad');
    const tip = await tipOf(main);
    assertValidTip(tip);
    assert.equal(tip[1], 12);
    assert.equal(await main.read(IDC.TIP_FIRST + 1), '12a', 'a valid field keeps its text');
    await main.press(IDC.STOP);

    // A DM field takes all of a paste, a Pf field the two characters that fit: 1234 DM and 15 Pf.
    await main.press(IDC.LOSSES);
    await paste(loss.control(IDC.PRICE_DM_FIRST), ' +1234 DM');
    await paste(loss.control(IDC.PRICE_PF_FIRST), '150');
    await loss.press(IDC.EVALUATE);
    const games = await gamesOf(main);
    const costs = games * 123415;
    assert.deepEqual(await resultOf(loss, 0), [Math.trunc(costs / 100), costs % 100]);
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
    const costs = await resultOf(loss, 0);
    await page.waitForTimeout(100);
    await loss.press(IDC.EVALUATE);
    assert.deepEqual(await resultOf(loss, 0), costs, 'the draws have stopped');
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
