// The page for every player: the mouse and the finger where a control is drawn, a screen reader's
// reading order, the focus as on Windows, high contrast, a larger text, long amounts, a hit row that
// moves nothing, an input method, print, and a browser without WebAssembly.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';

import { focused, kOkInBox } from './checks.mjs';
import { drawsGoOn, exposeFieldShow, IDC, launchBrowser, layoutFaults, openPage, pageUrl, PHONE, typeIntoEveryEdit } from './page.mjs';

const kTimeout = { timeout: 90_000 };
const kLargestStake = '4294967295';
// The largest count, 2^64 - 1, and the largest amount, 2^63 - 1 Pfennig, as DM and Pf.
const kLargestCount = '18446744073709551615';
const kLargestMarks = '92233720368547758';
const kLargestPfennig = '7';
const kMainDialog = 1;
const kLossDialog = 2;

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

async function assertEveryEditTakesTyping(page, dialogs, pointer) {
    for (const dialog of dialogs) {
        for (const { field, shows, expected } of await typeIntoEveryEdit(page, dialog, pointer))
            assert.equal(shows, expected, `${pointer} into ${field}`);
    }
}

test('a click and a tap into every edit put the caret there, and typing changes it', kTimeout, async () => {
    const desktop = await openPage(browser);
    await desktop.main.press(IDC.LOSSES);
    await assertEveryEditTakesTyping(desktop.page, [desktop.main, desktop.loss], 'click');

    const phone = await openPage(browser, { device: PHONE });
    await phone.main.control(IDC.LOSSES).tap();
    await assertEveryEditTakesTyping(phone.page, [phone.main, phone.loss], 'tap');
});

test('a screen reader reads each value after its label, row by row, and each group with its controls', kTimeout, async () => {
    const { main, loss } = await openPage(browser);
    await main.press(IDC.START);
    await drawsGoOn(main);
    await main.press(IDC.LOSSES);
    await loss.press(IDC.EVALUATE);

    const mainReading = await main.root.ariaSnapshot();
    assert.match(mainReading, /- button "Ende"\n {2}- text: "Ihre Zahlen:"\n(.*textbox "Ihre Zahlen: \d"': "\d+"\n){6} {2}- text: "Treffer:( \d+){6}"\n/);
    assert.match(mainReading, /- group "Auswertung:": "Auswertung: Einer: \d+ Gespielt: [1-9]\d* Zweier: \d+ Dreier: \d+ Kein Geld: \d+ Vierer: \d+ Fuenfer: \d+ Sechser: \d+"$/);
    const lossReading = await loss.root.ariaSnapshot();
    const prices = [['Spiel', 5, 50], ['Dreier', 7, 50], ['Vierer', 100, 0], ['Fuenfer', 5000, 0], ['Sechser', 500000, 0]];
    const priceRows = prices.map(([row, dm, pf], i) => `    - text: "${i === 0 ? 'Preise:' : 'Pf'} ${row}:"\n` +
        `    - 'textbox "${row}: DM"': "${dm}"\n    - text: DM\n    - 'textbox "${row}: Pf"': "${pf}"\n`).join('');
    assert.ok(lossReading.includes(`  - group "Preise:":\n${priceRows}    - text: Pf\n`), lossReading);
    assert.match(lossReading, /- group "Spielergebnisse:": "Spielergebnisse: Kosten: [1-9]\d* DM \d+ Pf Gewinne: \d+ DM \d+ Pf Gesamt: -?\d+ DM -?\d+ Pf"$/);
});

test('boxes and the focus as on Windows: OK focused in a box, the remaining dialog after an end, Verluste shows the open one', kTimeout, async () => {
    const { page, main, loss } = await openPage(browser);
    await main.control(IDC.TIP_FIRST).click();
    await main.press(IDC.INFO);
    assert.deepEqual(await focused(page), kOkInBox);
    const ring = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle);
    assert.notEqual(ring, 'none', 'OK shows that it has the focus');
    await page.keyboard.press('Enter');
    assert.equal((await focused(page)).id, IDC.INFO, 'back where it was');

    await main.press(IDC.LOSSES);
    await main.press(IDC.LOSSES);
    assert.deepEqual(await focused(page), { dialog: 'VERLUSTDIALOG', id: IDC.EVALUATE, text: 'Auswertung' }, 'Verluste shows the open dialog');
    await loss.press(IDC.END);
    assert.deepEqual(await focused(page), { dialog: 'LOTTODIALOG', id: IDC.LOSSES, text: 'Verluste' }, 'the last focused control');
    for (let i = 0; i < 3; ++i) await page.keyboard.press('Shift+Tab');
    await page.keyboard.press('Enter');
    await drawsGoOn(main);

    // The main dialog ends while the loss dialog is open: the loss dialog's default button takes Enter.
    await main.press(IDC.LOSSES);
    await main.press(IDC.END);
    assert.deepEqual(await focused(page), { dialog: 'VERLUSTDIALOG', id: IDC.EVALUATE, text: 'Auswertung' });
    await page.keyboard.press('Enter');
    assert.notEqual(await loss.read(IDC.RESULT_DM_FIRST), '0', 'Enter evaluated the games played');
});

test('a click or tap on a box or beside it leaves the focus on OK: Enter and Space still dismiss it', kTimeout, async () => {
    const middle = async (locator) => {
        const { x, y, width, height } = await locator.boundingBox();
        return [x + width / 2, y + height / 2];
    };
    const dismissKeys = ['Enter', ' '];
    for (const [device, pointer] of [[undefined, 'mouse'], [PHONE, 'touchscreen']]) {
        const { page, main } = await openPage(browser, { device });
        const box = page.locator('#message-box');
        const act = ([x, y]) => (pointer === 'mouse' ? page.mouse.click(x, y) : page.touchscreen.tap(x, y));
        // The box's text and caption, an edit of the dialog behind it above it, and the desk below it.
        const spots = [
            ['the text', () => middle(box.locator('.message-text'))],
            ['the caption', () => middle(box.locator('.title-bar-text'))],
            ['the dialog behind', () => middle(main.control(IDC.TIP_FIRST))],
            ['the desk', () => [1, page.viewportSize().height - 1]],
        ];
        let presses = 0;
        const assertDismissedFromOk = async (what) => {
            assert.deepEqual(await focused(page), kOkInBox, `${what}: OK keeps the focus`);
            await page.keyboard.press(dismissKeys[presses++ % dismissKeys.length]);
            assert.equal(await box.evaluate((shown) => shown.open), false, `${what}: the key dismissed the box`);
        };
        // The last field, so its replacement can take no later field's number and bring a second box.
        const typeBadLastField = async () => {
            await main.control(IDC.TIP_FIRST + 5).click();
            await page.keyboard.press('Control+A');
            await page.keyboard.type('0');
        };
        for (const [spot, where] of spots) {
            await main.press(IDC.INFO);
            await act(await where());
            await assertDismissedFromOk(`${pointer} on ${spot} of Info's box`);
            // A Start with a bad field brings its warning.
            await typeBadLastField();
            await main.press(IDC.START);
            await act(await where());
            await assertDismissedFromOk(`${pointer} on ${spot} of a warning`);
        }
        if (pointer === 'mouse') {
            // The second click lands on the box that the first brought up.
            await main.control(IDC.INFO).dblclick();
            await assertDismissedFromOk('a double-click on Info');
            await typeBadLastField();
            await main.control(IDC.START).dblclick();
            await assertDismissedFromOk('a double-click on Start with a bad field');
        }
    }
});

test('high contrast, dark or light: every dialog, button and edit framed, close boxes shown, the focus outlined', kTimeout, async () => {
    for (const colorScheme of ['dark', 'light']) {
        const { page, main } = await openPage(browser);
        await page.emulateMedia({ forcedColors: 'active', colorScheme });
        await main.press(IDC.LOSSES);
        await page.keyboard.press('Tab');
        const unframed = await page.evaluate(() => [...document.querySelectorAll('.dialog, .dialog-body button, .dialog-body input')]
            .filter((e) => {
                const style = getComputedStyle(e);
                return style.borderTopStyle === 'none' || parseFloat(style.borderTopWidth) < 1 || style.borderTopColor === style.backgroundColor;
            }).map((e) => e.dataset.id ?? e.dataset.dialog));
        assert.deepEqual(unframed, [], colorScheme);
        const closeBoxes = await page.evaluate(() => [...document.querySelectorAll('.dialog .close')].map((close) => [
            getComputedStyle(close).backgroundColor, getComputedStyle(close.closest('.title-bar')).backgroundColor]));
        for (const [box, bar] of closeBoxes) assert.notEqual(box, bar, `a close box stands out from its title bar (${colorScheme})`);
        const outline = await page.evaluate(() => getComputedStyle(document.activeElement).outlineWidth);
        assert.ok(parseFloat(outline) >= 2, `the focus outline is ${outline}`);
    }
});

test('a larger text makes larger dialogs with nothing drawn over anything, as does print with dark captions', kTimeout, async () => {
    const measure = (session) => session.main.root.evaluate((dialog) => ({
        font: parseFloat(getComputedStyle(dialog).fontSize), width: dialog.getBoundingClientRect().width }));
    const usual = await openPage(browser);
    const usualSize = await measure(usual);
    // At 24 pixels both dialogs still stand side by side; at 32 the narrow layout takes over.
    for (const fontSize of [24, 32]) {
        const larger = await openPage(browser, { fontSize });
        await larger.main.press(IDC.LOSSES);
        const size = await measure(larger);
        const scale = (fontSize / 16) * 0.9;
        assert.ok(size.font >= usualSize.font * scale, `the dialog font grows with a ${fontSize}-pixel default: ${size.font}`);
        if (fontSize === 24) assert.ok(size.width >= usualSize.width * scale, `and so does the dialog: ${size.width}`);
        assert.deepEqual(await layoutFaults(larger.page), [], `${fontSize}-pixel font`);
    }

    await usual.page.emulateMedia({ media: 'print' });
    const caption = await usual.main.root.locator('.title-bar-text').evaluate((e) => getComputedStyle(e).color);
    const [red, green, blue] = caption.match(/\d+/g).map(Number);
    assert.ok(red + green + blue < 3 * 96, `a printed caption is dark: ${caption}`);
});

test('the largest stake, counters and amounts shown whole beside their neighbours, on a desktop and on a phone', kTimeout, async () => {
    for (const device of [undefined, PHONE]) {
        const { page, main, loss } = await openPage(browser, { device, init: [exposeFieldShow] });
        await main.press(IDC.START);
        await drawsGoOn(main);
        await main.press(IDC.STOP);
        await main.press(IDC.LOSSES);
        const stake = loss.control(IDC.PRICE_DM_FIRST);
        await stake.click();
        await page.keyboard.press('Control+A');
        await page.keyboard.type(kLargestStake);
        await loss.press(IDC.EVALUATE);
        const costs = BigInt(await main.read(IDC.GAMES_PLAYED)) * BigInt(`${kLargestStake}50`);
        assert.deepEqual([await loss.read(IDC.RESULT_DM_FIRST), await loss.read(IDC.RESULT_PF_FIRST)],
            [String(costs / 100n), String(costs % 100n)]);
        assert.deepEqual(await layoutFaults(page), []);

        // What no session reaches, shown as the engine shows every value: every counter at its
        // largest, and each amount at the largest the loss dialog shows, the total as a loss.
        const shown = [];
        for (let id = IDC.HIT_CLASS_FIRST; id <= IDC.GAMES_WITHOUT_PRIZE; ++id) shown.push([kMainDialog, id, kLargestCount]);
        for (let row = 0; row < 3; ++row) {
            const sign = row === 2 ? '-' : '';
            shown.push([kLossDialog, IDC.RESULT_DM_FIRST + row, sign + kLargestMarks], [kLossDialog, IDC.RESULT_PF_FIRST + row, sign + kLargestPfennig]);
        }
        const showAll = (fields) => page.evaluate((all) => all.forEach((field) => window.showFieldThroughEngine(...field)), fields);
        const widths = () => page.locator('[data-dialog]').evaluateAll((dialogs) => dialogs.map((d) => d.getBoundingClientRect().width));
        const short = shown.map(([dialog, id]) => [dialog, id, '0']);
        await showAll(short);
        const shortWidths = await widths();
        await showAll(shown);
        for (const [dialog, id, text] of shown) assert.equal(await (dialog === kMainDialog ? main : loss).read(id), text);
        assert.deepEqual(await layoutFaults(page), []);
        // Short values again give their columns back.
        await showAll(short);
        assert.deepEqual(await widths(), shortWidths);
    }
});

// Two-digit numbers, so every hit fills the hit field under its tip field.
const kTwoDigitTip = ['10', '21', '32', '43', '44', '45'];
// Less than a pixel: a column widened by the unit of distance moves its neighbours by more.
const kMostShiftPx = 0.5;
// A second of frames, some hundred draws.
const kFrames = 60;

test('the tip fields stand still while two-digit hits come and go', kTimeout, async () => {
    const { page, main } = await openPage(browser);
    for (const [i, number] of kTwoDigitTip.entries()) {
        await main.control(IDC.TIP_FIRST + i).click();
        await page.keyboard.press('Control+A');
        await page.keyboard.type(number);
    }
    // The tip fields' edges, and whether the hit row shows a two-digit hit, at each of some frames.
    const frames = ({ count, ids }) => Array.fromAsync({ length: count }, async () => {
        await new Promise(requestAnimationFrame);
        const field = (id) => document.querySelector(`[data-dialog=LOTTODIALOG] [data-id="${id}"]`);
        return {
            edges: [0, 1, 2, 3, 4, 5].flatMap((i) => { const box = field(ids.TIP_FIRST + i).getBoundingClientRect(); return [box.left, box.right]; }),
            twoDigitHit: [0, 1, 2, 3, 4, 5].some((i) => field(ids.HIT_FIRST + i).textContent.length === 2),
        };
    });
    const [still] = await page.evaluate(frames, { count: 1, ids: IDC });
    await main.press(IDC.START);
    const drawing = await page.evaluate(frames, { count: kFrames, ids: IDC });
    assert.ok(drawing.some((frame) => frame.twoDigitHit), 'a two-digit hit shown');
    for (const { edges } of drawing)
        assert.ok(edges.every((edge, i) => Math.abs(edge - still.edges[i]) < kMostShiftPx), `${edges} against ${still.edges}`);
});

test('an input method leaves only digits, and without WebAssembly the page says what it needs', kTimeout, async () => {
    const { page, context, main } = await openPage(browser);
    const field = main.control(IDC.TIP_FIRST);
    await field.click();
    await page.keyboard.press('Control+A');
    const ime = await context.newCDPSession(page);
    await ime.send('Input.imeSetComposition', { text: '４ａ', selectionStart: 2, selectionEnd: 2 });
    await ime.send('Input.insertText', { text: '４ａ２' });
    assert.equal(await field.inputValue(), '42', 'full-width digits as digits, the letter dropped');

    const withoutEngine = await browser.newContext();
    await withoutEngine.addInitScript(() => { delete window.WebAssembly; });
    const bare = await withoutEngine.newPage();
    const errors = [];
    bare.on('pageerror', (error) => errors.push(error.message));
    await bare.goto(pageUrl);
    assert.equal(await bare.getByText('Tippwerk braucht einen Browser mit WebAssembly.').isVisible(), true);
    assert.deepEqual(errors, []);
    await withoutEngine.close();
});
