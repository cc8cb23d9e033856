// The dialogs' timers where the browser slows a page's own: behind another tab, in Chromium with a
// window of its own; the screen kept on while the draws run; and the page's own timeouts where the
// browser gives it no worker.
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { launchHeadedChromium } from './headed-chromium.mjs';
import { drawsGoOn, eventually, IDC, launchBrowser, LOSS, MAIN, messageBox, openPage, pageFile, pageUrl, withoutWorker } from './page.mjs';

const kTimeout = { timeout: 120_000 };
// A hidden page's own timeouts tick about once a second: these many draws in this time need more.
const kHiddenDraws = 300;
const kHiddenLimitMs = 20_000;
// Long enough for dozens of ticks at the timers' rate, had they gone on.
const kQuietMs = 1000;
// Ample time for the browser to grant or let go of a wake lock.
const kSettleMs = 10_000;
// A page busy this long would owe about 120 ticks of a timer that piled them up.
const kBusyMs = 500;
const kMostDrawsAfterBusy = 20;
const kStakePf = 550;

// Counts the screen wake locks the page asks for and those it holds; installed before the page's script.
function recordWakeLocks() {
    const request = navigator.wakeLock.request.bind(navigator.wakeLock);
    window.wakeLocks = { asked: 0, held: 0 };
    navigator.wakeLock.request = async (type) => {
        ++window.wakeLocks.asked;
        const lock = await request(type);
        ++window.wakeLocks.held;
        lock.addEventListener('release', () => --window.wakeLocks.held);
        return lock;
    };
}

// Both dialogs' fields at one moment, between two ticks: the main dialog's hit classes, games and
// games without a prize; the loss dialog's costs in Pfennig.
function snapshot(main, loss, ids) {
    const number = (dialog, id) => Number(document.querySelector(`[data-dialog="${dialog}"] [data-id="${id}"]`).textContent);
    const hitClasses = [0, 1, 2, 3, 4, 5].map((i) => number(main, ids.HIT_CLASS_FIRST + i));
    return {
        hitClasses,
        games: number(main, ids.GAMES_PLAYED),
        withoutPrize: number(main, ids.GAMES_WITHOUT_PRIZE),
        costs: number(loss, ids.RESULT_DM_FIRST) * 100 + number(loss, ids.RESULT_PF_FIRST),
    };
}

// Keeps the page busy, then lets the ticks that came meanwhile run: how many draws that made.
async function drawsAfterBusy(ms, dialog, gamesId) {
    const games = () => Number(document.querySelector(`[data-dialog="${dialog}"] [data-id="${gamesId}"]`).textContent);
    const before = games();
    for (const end = performance.now() + ms; performance.now() < end;);
    await new Promise((resolve) => setTimeout(resolve));
    return games() - before;
}

function assertConsistent({ hitClasses, games, withoutPrize }) {
    for (const count of hitClasses) assert.ok(count <= games, `${count} of ${games} games`);
    const [, , threes, fours, fives, sixes] = hitClasses;
    assert.equal(withoutPrize + threes + fours + fives + sixes, games, 'each game either without a prize or in one class');
}

test('no backlog after a busy moment; behind another tab the draws and Auto go on; Stop stops them; the screen stays on only while drawing', kTimeout, async () => {
    const browser = await launchHeadedChromium();
    try {
        const tab = await browser.open(pageUrl, { init: [recordWakeLocks] });
        const button = (dialog, id) => `[data-dialog="${dialog}"] button[data-id="${id}"]`;
        const state = () => tab.evaluate(snapshot, MAIN, LOSS, IDC);
        const wakeLocks = () => tab.evaluate(() => window.wakeLocks);
        const locksAre = async (expected, when) => {
            await eventually(async () => JSON.stringify(await wakeLocks()) === JSON.stringify(expected), kSettleMs);
            assert.deepEqual(await wakeLocks(), expected, when);
        };

        await tab.click(button(MAIN, IDC.STOP)); // with nothing to stop yet
        await tab.click(button(MAIN, IDC.START));
        await tab.click(button(MAIN, IDC.LOSSES));
        await tab.click(button(LOSS, IDC.AUTO));
        await locksAre({ asked: 1, held: 1 }, 'Start');
        const caughtUp = await tab.evaluate(drawsAfterBusy, kBusyMs, MAIN, IDC.GAMES_PLAYED);
        assert.ok(caughtUp <= kMostDrawsAfterBusy, `${caughtUp} draws at once after the page was busy: no backlog`);

        const before = await state();
        await tab.hide();
        assert.ok(await eventually(async () => (await state()).games >= before.games + kHiddenDraws, kHiddenLimitMs),
            `${kHiddenDraws} draws within ${kHiddenLimitMs} ms behind another tab`);
        // Auto evaluates at its own tick, which may come just after the draw last counted.
        assert.ok(await eventually(async () => (await state()).costs >= (before.games + kHiddenDraws) * kStakePf, kHiddenLimitMs),
            'Auto follows the draws behind another tab');
        const hidden = await state();
        assert.ok(hidden.costs <= hidden.games * kStakePf, 'Auto counts no game not played');
        assert.equal((await wakeLocks()).held, 0, 'the browser lets go of the lock in a hidden page');

        await tab.show();
        await locksAre({ asked: 2, held: 1 }, 'asked again when shown');
        const shown = await state();
        assert.ok(shown.games >= hidden.games);
        assertConsistent(shown);

        await tab.click(button(MAIN, IDC.STOP));
        await locksAre({ asked: 2, held: 0 }, 'Stop');
        const stopped = await state();
        await new Promise((resolve) => setTimeout(resolve, kQuietMs));
        await tab.hide();
        await new Promise((resolve) => setTimeout(resolve, kQuietMs));
        await tab.show();
        assert.equal((await state()).games, stopped.games, 'no draw after Stop, shown or hidden');
        assertConsistent(stopped);
        await tab.click(button(LOSS, IDC.EVALUATE));
        assert.equal((await state()).costs, stopped.games * kStakePf, 'Auswertung: the costs of every game played');

        await tab.click(button(MAIN, IDC.START));
        await locksAre({ asked: 3, held: 1 }, 'Start again');
        await tab.click(button(MAIN, IDC.END));
        await locksAre({ asked: 3, held: 0 }, 'Ende');
        assert.deepEqual(tab.errors, []);
    } finally {
        await browser.close();
    }
});

// A copy of the page whose policy refuses workers: Chromium makes the worker and then reports an error.
function pageRefusingWorkers(folder) {
    const file = join(folder, 'tippwerk.html');
    writeFileSync(file, readFileSync(pageFile, 'utf8').replace('worker-src blob:; ', ''));
    return pathToFileURL(file).href;
}

test('without a worker or a wake lock the page draws as before, Auto follows and Stop stops', kTimeout, async () => {
    const browser = await launchBrowser();
    const folder = mkdtempSync(join(tmpdir(), 'tippwerk-'));
    const refusedWorker = /^Creating a worker from 'blob:.* The action has been blocked\.$/s;
    try {
        const browsers = [
            { name: 'none at all', init: [withoutWorker, () => { delete Navigator.prototype.wakeLock; }], url: pageUrl, refused: 0 },
            {
                name: 'both refused',
                init: [() => { navigator.wakeLock.request = () => Promise.reject(new DOMException('refused', 'NotAllowedError')); }],
                url: pageRefusingWorkers(folder),
                refused: 1,
            },
        ];
        for (const { name, init, url, refused } of browsers) {
            const { page, main, loss, errors } = await openPage(browser, { init, url });
            await main.press(IDC.START);
            await drawsGoOn(main);
            await main.press(IDC.LOSSES);
            await loss.press(IDC.AUTO);
            assert.ok(await eventually(async () => Number(await loss.read(IDC.RESULT_DM_FIRST)) > 0), `${name}: Auto shows costs`);
            await main.press(IDC.STOP);
            const games = await main.read(IDC.GAMES_PLAYED);
            await page.waitForTimeout(kQuietMs);
            assert.equal(await main.read(IDC.GAMES_PLAYED), games, `${name}: no draw after Stop`);
            assert.equal(await messageBox(page), null, `${name}: no box`);
            assert.equal(errors.filter((error) => refusedWorker.test(error)).length, refused, `${name}: ${errors}`);
            assert.deepEqual(errors.filter((error) => !refusedWorker.test(error)), [], name);
            await page.context().close();
        }
    } finally {
        await browser.close();
        rmSync(folder, { recursive: true, force: true });
    }
});
