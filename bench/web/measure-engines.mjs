// Measures the page's draws a second in each engine, Chromium, Firefox and WebKit, beside that
// engine's empty zero-delay tick loop: both dialogs open, Auto following the draws, all by real clicks.
// Usage: node bench/web/measure-engines.mjs PAGE [WINDOW_SECONDS [ROUNDS [ENGINE...]]]
// Prints Markdown; a missed goal is a finding, not a failure.
import { setTimeout as sleep } from 'node:timers/promises';
import { pathToFileURL } from 'node:url';

import { engineNames, launchEngine } from '../../tests/web/engines/index.mjs';
import { IDC } from '../../tests/web/page.mjs';
import { emptyLoop } from './empty-loop.mjs';

const [pageFile, windowArgument = '10', roundsArgument = '3', ...chosen] = process.argv.slice(2);
if (!pageFile) throw new Error('usage: measure-engines.mjs PAGE [WINDOW_SECONDS [ROUNDS [ENGINE...]]]');
const windowMs = Number(windowArgument) * 1000;
const rounds = Number(roundsArgument);
const kWarmUpMs = 500;
const kRatioGoal = 0.95; // of the engine's empty loop, at least

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Ticks a second over one window, by what count() reads at its ends.
async function rateOver(count) {
    await sleep(kWarmUpMs);
    const [before, start] = [await count(), performance.now()];
    await sleep(windowMs);
    const [after, end] = [await count(), performance.now()];
    return (after - before) / ((end - start) / 1000);
}

async function loopRate(browser) {
    const page = await browser.newPage();
    await page.goto(emptyLoop);
    await page.evaluate(() => window.start());
    const rate = await rateOver(() => page.evaluate(() => Number(document.getElementById('n').textContent)));
    await page.close();
    return rate;
}

// The draws with the loss dialog beside them in Auto; fails unless Auto has followed them.
async function pageRate(browser) {
    const page = await browser.newPage();
    const { main, loss } = page;
    await page.open(pathToFileURL(pageFile).href);
    await main.press(IDC.LOSSES);
    await loss.press(IDC.AUTO);
    await main.press(IDC.START);
    const rate = await rateOver(async () => Number(await main.read(IDC.GAMES_PLAYED)));
    if (Number(await loss.read(IDC.RESULT_DM_FIRST)) === 0) throw new Error(`${page.name}: Auto shows no costs`);
    const errors = await page.errors();
    if (errors.length > 0) throw new Error(`${page.name}: ${errors.join('; ')}`);
    await page.close();
    return rate;
}

console.log(`${rounds} windows of ${windowMs / 1000} s each per engine, the loop and the page taking turns, medians; 1024 × 768.\n`);
console.log('| Engine | empty zero-delay tick loop (ticks/s) | Tippwerk, Auto on (draws/s) | ratio | goal ≥ 0.95 of the loop |');
console.log('|---|---:|---:|---:|---|');
for (const name of chosen.length > 0 ? chosen : engineNames) {
    const browser = await launchEngine(name);
    try {
        const loop = [];
        const page = [];
        for (let round = 0; round < rounds; ++round) {
            // Taking turns, so a change in the machine's load falls on both.
            loop.push(await loopRate(browser));
            page.push(await pageRate(browser));
        }
        const ratio = median(page) / median(loop);
        console.log(`| ${await browser.version()} | ${median(loop).toFixed(1)} | ${median(page).toFixed(1)} | ${ratio.toFixed(2)} |` +
            ` ${ratio >= kRatioGoal ? 'met' : 'missed'} |`);
    } finally {
        await browser.close();
    }
}
