// The page's walks in the engine TIPPWERK_ENGINE names (chromium, firefox or webkit), with real clicks,
// taps and keys: the same walks in each, so a page that works in one engine and not in another fails.
import assert from 'node:assert/strict';
import { dirname, basename } from 'node:path';
import { after, before, test } from 'node:test';

import { assertValidTip, costsOf, focused, gamesOf, kOkInBox, startWithBadFields, tipOf } from './checks.mjs';
import { launchEngine } from './engines/index.mjs';
import { drawsGoOn, eventually, IDC, LOSS, MAIN, messageBox, pageUrl, PHONE, serveFolder, siteFolder } from './page.mjs';

const engine = process.env.TIPPWERK_ENGINE ?? 'chromium';
const kTimeout = { timeout: 60_000 };
// The default prices in Pfennig: the stake and the prizes for three to six hits.
const kStake = 550;
const kPrizes = [750, 10_000, 500_000, 50_000_000];
// Long enough for a timer that would still run to tick many times.
const kQuietMs = 200;
// Far longer than the browser takes to load a tab's icon from the worker's cache.
const kIconLoadMs = 1000;

let browser;
before(async () => { browser = await launchEngine(engine); });
after(async () => {
    try {
        console.log(`# ${await browser?.version()}`);
    } finally {
        await browser?.close();
    }
});

// A page for the test, closed when the test ends, however it ends.
async function newPage(t, options) {
    const page = await browser.newPage(options);
    t.after(() => page.close());
    return page;
}

async function open(t, options, url = pageUrl) {
    const page = await newPage(t, options);
    await page.open(url);
    return page;
}

// A page that reported no script error and asked for nothing, closed.
async function closeClean(page) {
    assert.deepEqual(await page.errors(), [], 'no script error');
    assert.deepEqual(await page.requests(), [], 'no request');
    await page.close();
}

const pause = (page, ms) => page.evaluate((wait) => new Promise((resolve) => setTimeout(resolve, wait)), ms);

// The edit's whole text replaced by keys typed, after a click into it.
async function retype(page, selector, text) {
    await page.click(selector);
    await page.press('Control+A');
    await page.type(text);
}

// What the loss dialog must show for what the main dialog counts, at a stake in Pfennig: costs,
// winnings and total, each as DM and Pf, both signed when negative.
async function expectedMoney(main, stake) {
    const games = await gamesOf(main);
    const prized = await main.numbers(IDC.HIT_CLASS_FIRST + 2, kPrizes.length);
    const winnings = prized.reduce((sum, count, i) => sum + count * kPrizes[i], 0);
    return [games * stake, winnings, winnings - games * stake].map((pf) => [String(Math.trunc(pf / 100)), String(pf % 100)]);
}
// A two-digit number no field holds yet, so Start takes the tip without a box.
async function freeNumber(main) {
    const tip = await tipOf(main);
    return String([41, 42, 43, 44, 45, 46, 47].find((n) => !tip.includes(n)));
}

async function moneyShown(loss) {
    const rows = [];
    for (let row = 0; row < 3; ++row) rows.push([await loss.read(IDC.RESULT_DM_FIRST + row), await loss.read(IDC.RESULT_PF_FIRST + row)]);
    return rows;
}

test('the page loads with a valid tip; Start draws, Stop halts them, Reset clears them; the classes add up', kTimeout, async (t) => {
    const page = await open(t);
    const { main } = page;
    assertValidTip(await tipOf(main));
    assert.equal(await gamesOf(main), 0);
    await main.press(IDC.START);
    await drawsGoOn(main);
    await main.press(IDC.STOP);
    const games = await gamesOf(main);
    await pause(page, kQuietMs);
    assert.equal(await gamesOf(main), games, 'Stop halts the draws');
    const [three, four, five, six] = await main.numbers(IDC.HIT_CLASS_FIRST + 2, 4);
    assert.equal(Number(await main.read(IDC.GAMES_WITHOUT_PRIZE)) + three + four + five + six, games, 'Kein Geld and the prized classes make Gespielt');

    await main.press(IDC.RESET);
    assertValidTip(await tipOf(main));
    assert.deepEqual(await main.numbers(IDC.HIT_FIRST, IDC.GAMES_WITHOUT_PRIZE - IDC.HIT_FIRST + 1), Array(14).fill(0));
    await closeClean(page);
});

test('bad fields typed while the draws run: each replaced at once, one box each with the focus on OK; Enter and Escape close a box', kTimeout, async (t) => {
    const page = await open(t);
    const { main } = page;
    await main.press(IDC.START);
    const tip = await tipOf(main);
    await retype(page, main.selector(IDC.TIP_FIRST), '0');
    await retype(page, main.selector(IDC.TIP_FIRST + 4), String(tip[3])); // a repeat of field 3
    const { replaced } = await startWithBadFields(page, main);
    assert.ok(replaced >= 2, `${replaced} fields replaced`);

    for (const key of ['Enter', 'Escape']) {
        await main.press(IDC.INFO);
        assert.equal((await messageBox(page))?.caption, 'Tippwerk');
        assert.deepEqual(await focused(page), kOkInBox);
        await page.press(key);
        assert.equal(await messageBox(page), null, `${key} closes the box`);
        assert.deepEqual(await focused(page), { dialog: MAIN, id: IDC.INFO, text: 'Info' }, `after ${key}, the focus back where it was`);
    }
    await drawsGoOn(main);
    await closeClean(page);
});

test('the loss dialog beside the draws: Auto follows them to the Pfennig, Auswertung once ends Auto', kTimeout, async (t) => {
    const page = await open(t);
    const { main, loss } = page;
    await main.press(IDC.START);
    await main.press(IDC.LOSSES);
    await loss.press(IDC.AUTO);
    await drawsGoOn(main);
    await main.press(IDC.STOP);
    const expected = await expectedMoney(main, kStake);
    assert.ok(await eventually(async () => (await loss.read(IDC.RESULT_DM_FIRST)) === expected[0][0] &&
        (await loss.read(IDC.RESULT_PF_FIRST)) === expected[0][1], kTimeout.timeout / 2), 'Auto catches up with the draws');
    assert.deepEqual(await moneyShown(loss), expected);

    // 12,34 DM a game, typed; Auswertung takes it and stops Auto, so the costs stay as the draws go on.
    await retype(page, loss.selector(IDC.PRICE_DM_FIRST), '12');
    await retype(page, loss.selector(IDC.PRICE_PF_FIRST), '34');
    await loss.press(IDC.EVALUATE);
    const evaluated = await expectedMoney(main, 1234);
    assert.deepEqual(await moneyShown(loss), evaluated);
    await main.press(IDC.START);
    await drawsGoOn(main);
    await pause(page, kQuietMs);
    assert.deepEqual(await moneyShown(loss), evaluated, 'Auto has ended');
    await closeClean(page);
});

test('keys as in a Windows dialog: digits typed, Enter the default button, Escape nothing; the focus back after a dialog ends', kTimeout, async (t) => {
    const page = await open(t);
    const { main, loss } = page;
    const number = await freeNumber(main);
    await retype(page, main.selector(IDC.TIP_FIRST + 2), `x${number[0]}a${number[1]}9`);
    assert.equal(await main.read(IDC.TIP_FIRST + 2), number, 'digits only, two of them');
    await page.press('Enter');
    await drawsGoOn(main);
    assert.equal((await tipOf(main))[2], Number(number), 'Enter is Start');
    await page.press('Escape');
    await drawsGoOn(main);
    assert.equal(await messageBox(page), null);

    await main.press(IDC.STOP);
    await main.press(IDC.LOSSES);
    await page.click(loss.selector(IDC.PRICE_DM_FIRST));
    await page.press('Enter');
    assert.deepEqual(await costsOf(loss), [Math.trunc((await gamesOf(main)) * kStake / 100), (await gamesOf(main)) * kStake % 100], 'Enter is Auswertung');
    await page.press('Escape');
    assert.ok(await loss.shown(), 'Escape leaves the loss dialog open');
    await loss.press(IDC.END);
    assert.deepEqual(await focused(page), { dialog: MAIN, id: IDC.LOSSES, text: 'Verluste' }, 'the focus on the last control');
    await page.press('Enter');
    assert.ok(await loss.shown(), 'Enter on Verluste opens it again');
    await closeClean(page);
});

test('both Endes: the main dialog first, the program ending with the loss dialog; then the other order, and new starts', kTimeout, async (t) => {
    const page = await open(t);
    const { main, loss } = page;
    await main.press(IDC.START);
    await drawsGoOn(main);
    await main.press(IDC.LOSSES);
    await main.press(IDC.END);
    assert.ok(!(await main.shown()), 'the main dialog has ended');
    assert.deepEqual(await focused(page), { dialog: LOSS, id: IDC.EVALUATE, text: 'Auswertung' }, 'the loss dialog takes the focus');
    await page.press('Enter');
    const costs = await costsOf(loss);
    assert.notDeepEqual(costs, [0, 0], 'Enter evaluated the games played');
    await pause(page, kQuietMs);
    await loss.press(IDC.EVALUATE);
    assert.deepEqual(await costsOf(loss), costs, 'the draws have stopped');
    await page.click(`[data-dialog="${LOSS}"] .title-bar .close`);
    assert.equal(await page.text('#ended h1'), 'Tippwerk wurde beendet.');
    assert.ok(await page.evaluate(() => !document.getElementById('ended').hidden));

    await page.click('#ended button');
    assertValidTip(await tipOf(main));
    assert.equal(await gamesOf(main), 0);
    assert.ok(!(await loss.shown()));
    await main.press(IDC.LOSSES);
    await loss.press(IDC.END);
    await main.press(IDC.END);
    assert.deepEqual(await focused(page), { dialog: null, id: null, text: 'Neu starten' }, 'the program has ended');
    await page.press('Enter');
    assert.ok(await main.shown(), 'a new start by Enter');
    await closeClean(page);
});

test('a finger where the driver has touch: a tap into an edit takes typing, taps run the draws', kTimeout, async (t) => {
    if (!browser.canTap) {
        t.skip(`${engine}'s driver has no touch`);
        return;
    }
    const page = await open(t, { device: PHONE });
    const { main } = page;
    const field = main.selector(IDC.TIP_FIRST + 5);
    await page.tap(field);
    const number = await freeNumber(main);
    await page.press('Control+A');
    await page.type(number);
    assert.equal(await main.read(IDC.TIP_FIRST + 5), number);
    await page.tap(main.selector(IDC.START));
    await drawsGoOn(main);
    await page.tap(main.selector(IDC.LOSSES));
    assert.ok(await page.loss.shown());
    await closeClean(page);
});

test('without WebAssembly the page says what it needs', kTimeout, async (t) => {
    const page = await newPage(t, { init: [() => { delete window.WebAssembly; }] });
    await page.goto(pageUrl);
    assert.ok(await eventually(() => page.evaluate(() => !document.getElementById('no-engine').hidden), kTimeout.timeout / 2));
    assert.equal(await page.text('#no-engine'), 'Tippwerk braucht einen Browser mit WebAssembly.');
    await closeClean(page);
});

test('the site: its service worker installs, and with the server stopped a reload opens the page, which draws', kTimeout, async (t) => {
    const server = await serveFolder(dirname(siteFolder));
    const siteUrl = `http://127.0.0.1:${server.address().port}/${basename(siteFolder)}/`;
    // Stopped in the walk, or when it ends however it ends: a server left listening keeps the tests from ending.
    const stopServer = async () => {
        if (!server.listening) return;
        server.closeAllConnections();
        await new Promise((resolve) => server.close(resolve));
    };
    t.after(stopServer);
    const page = await newPage(t);
    await page.open(siteUrl);
    assert.ok(await page.evaluate(() => navigator.serviceWorker.ready.then(() => true)));
    await page.reload();
    assert.ok(await page.evaluate(() => navigator.serviceWorker.controller !== null), 'the worker controls the page');
    assert.deepEqual((await page.requests()).filter((url) => !url.startsWith(siteUrl)), [], 'nothing outside the site');
    // Firefox reports the tab's icon, which the worker answers, as an error of the worker when the
    // next reload cuts its load off; so that load is let finish first.
    await pause(page, kIconLoadMs);
    await stopServer();
    await page.reload();
    assert.ok(await eventually(() => page.main.shown(), kTimeout.timeout / 2), 'the page opens offline');
    await page.main.press(IDC.START);
    await drawsGoOn(page.main);
    assert.deepEqual(await page.errors(), []);
    await page.close();
});
