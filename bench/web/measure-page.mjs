// Measures the page in headless Chromium: draws a second beside an empty zero-delay tick loop in the
// same browser, the CPU time per draw, the time from load to the first tip, and the page's size; then
// in Chromium with a window of its own, the draws in front, behind another tab and, unless --quick,
// after six minutes hidden.
// Usage: node --experimental-websocket bench/web/measure-page.mjs [--quick] PAGE RELEASE_PROGRAM [WINDOW_SECONDS [ROUNDS]]
// Prints Markdown; a missed goal is a finding, not a failure.
import { readFileSync, readdirSync, statSync } from 'node:fs';
import { setTimeout as sleep } from 'node:timers/promises';
import { pathToFileURL } from 'node:url';
import { parseArgs } from 'node:util';

import { launchHeadedChromium } from '../../tests/web/headed-chromium.mjs';
import { launchBrowser } from '../../tests/web/page.mjs';
import { emptyLoop } from './empty-loop.mjs';

const { values: { quick }, positionals } = parseArgs({ options: { quick: { type: 'boolean', default: false } }, allowPositionals: true });
const [pageFile, releaseProgram, windowArgument = '10', roundsArgument = '3'] = positionals;
if (!pageFile || !releaseProgram) throw new Error('usage: measure-page.mjs [--quick] PAGE RELEASE_PROGRAM [WINDOW_SECONDS [ROUNDS]]');
const windowMs = Number(windowArgument) * 1000;
const rounds = Number(roundsArgument);
const kLoads = 10;
const kWarmUpMs = 500;
// Chromium slows a hidden page's own timers to one wake-up a second at once, and to one a minute once
// it has been hidden five minutes: a window behind another tab, and one after that.
const kBehindMs = 20_000;
const kLongHiddenMs = 6 * 60_000;
const kRateGoal = 100; // draws a second, at least
const kTicksPerSecondOfCpu = 100; // the kernel's clock ticks, in which /proc counts CPU time

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// CPU seconds of the browser and every process it started (all that this program started), from the
// kernel's accounts.
function browserCpuSeconds() {
    const parents = new Map();
    const cpu = new Map();
    for (const entry of readdirSync('/proc')) {
        if (!/^\d+$/.test(entry)) continue;
        try {
            const fields = readFileSync(`/proc/${entry}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
            parents.set(Number(entry), Number(fields[1]));
            cpu.set(Number(entry), (Number(fields[11]) + Number(fields[12])) / kTicksPerSecondOfCpu);
        } catch {
            // The process ended while being read.
        }
    }
    const started = (pid) => parents.get(pid) === process.pid || (parents.has(pid) && pid > 1 && started(parents.get(pid)));
    let total = 0;
    for (const [pid, seconds] of cpu) if (started(pid)) total += seconds;
    return total;
}

// The ticks a second over one window, by what count() reads at its ends, and the CPU time per tick.
async function measureOver(ms, count) {
    const [before, cpuBefore, timeBefore] = [await count(), browserCpuSeconds(), performance.now()];
    await sleep(ms);
    const [after, cpuAfter, timeAfter] = [await count(), browserCpuSeconds(), performance.now()];
    const ticks = after - before;
    return { rate: ticks / ((timeAfter - timeBefore) / 1000), cpuPerTick: (cpuAfter - cpuBefore) / ticks };
}

// "Gespielt:", read in the page.
const gamesPlayed = () => Number(document.querySelector('[data-dialog=LOTTODIALOG] [data-id="121"]').textContent);

// Counts what the page shows over one window while its timer runs.
async function measureWindow(browser, url, start, count) {
    const page = await browser.newPage({ viewport: { width: 1024, height: 768 } });
    await page.goto(url);
    await page.bringToFront();
    await page.waitForFunction(() => document.querySelector('#n, [data-dialog=LOTTODIALOG]'));
    await page.evaluate(start);
    await sleep(kWarmUpMs);
    const measured = await measureOver(windowMs, () => page.evaluate(count));
    await page.close();
    return measured;
}

// The draws in a window of its own: in front, behind another tab, and after long hidden.
async function measureHidden(url) {
    const browser = await launchHeadedChromium();
    try {
        const tab = await browser.open(url);
        const games = () => tab.evaluate(gamesPlayed);
        await tab.click('[data-dialog=LOTTODIALOG] button[data-id="101"]');
        await sleep(kWarmUpMs);
        const front = await measureOver(windowMs, games);
        await tab.hide();
        const hiddenSince = performance.now();
        const behind = await measureOver(kBehindMs, games);
        let long = null;
        if (!quick) {
            await sleep(kLongHiddenMs - (performance.now() - hiddenSince));
            long = await measureOver(kBehindMs, games);
            if (await tab.evaluate(() => document.visibilityState) !== 'hidden') throw new Error('the page was shown while hidden long');
        }
        if (tab.errors.length > 0) throw new Error(`the page reported: ${tab.errors.join('; ')}`);
        return { version: await browser.version(), front, behind, long };
    } finally {
        await browser.close();
    }
}

// From navigation to the first tip shown, as the page's own clock measures it.
async function timeToFirstTip(browser, url) {
    const page = await browser.newPage();
    await page.addInitScript(() => {
        new MutationObserver((changes, observer) => {
            if (!document.querySelector('[data-dialog=LOTTODIALOG]')) return;
            window.firstTipMs = performance.now();
            observer.disconnect();
        }).observe(document, { childList: true, subtree: true });
    });
    await page.goto(url);
    const ms = await page.waitForFunction(() => window.firstTipMs).then((handle) => handle.jsonValue());
    await page.close();
    return ms;
}

const browser = await launchBrowser();
const pageUrl = pathToFileURL(pageFile).href;
const tippwerk = [];
const empty = [];
try {
    for (let round = 0; round < rounds; ++round) {
        // Taking turns, so a change in the machine's load falls on both.
        empty.push(await measureWindow(browser, emptyLoop, () => window.start(), () => Number(document.getElementById('n').textContent)));
        tippwerk.push(await measureWindow(browser, pageUrl,
            () => document.querySelector('[data-dialog=LOTTODIALOG] button[data-id="101"]').click(),
            gamesPlayed));
    }
    const loads = [];
    for (let i = 0; i < kLoads; ++i) loads.push(await timeToFirstTip(browser, pageUrl));

    const [rate, emptyRate] = [median(tippwerk.map((m) => m.rate)), median(empty.map((m) => m.rate))];
    const [cpu, emptyCpu] = [median(tippwerk.map((m) => m.cpuPerTick)), median(empty.map((m) => m.cpuPerTick))];
    const version = browser.version();
    console.log(`Chromium ${version}, headless, 1024 × 768; ${rounds} windows of ${windowMs / 1000} s each, medians.\n`);
    console.log('| Figure | empty zero-delay tick loop | Tippwerk | ratio | goal |');
    console.log('|---|---:|---:|---:|---|');
    console.log(`| Draws (ticks) per second | ${emptyRate.toFixed(1)} | ${rate.toFixed(1)} | ${(rate / emptyRate).toFixed(2)} |` +
        ` ≥ ${kRateGoal} draws a second: ${rate >= kRateGoal ? 'met' : 'missed'} |`);
    console.log(`| CPU ms per draw (tick), all of Chromium | ${(emptyCpu * 1000).toFixed(3)} | ${(cpu * 1000).toFixed(3)} |` +
        ` ${(cpu / emptyCpu).toFixed(2)} | |`);
    console.log(`| Load to first tip (ms, median of ${kLoads}) | | ${median(loads).toFixed(1)} | | |`);

    const pageBytes = statSync(pageFile).size;
    const programBytes = statSync(releaseProgram).size;
    const page = readFileSync(pageFile, 'utf8');
    const part = (open, close) => { const at = page.indexOf(open); return page.indexOf(close, at) - at; };
    console.log('\n| File | bytes | KiB | goal |');
    console.log('|---|---:|---:|---|');
    console.log(`| the page | ${pageBytes} | ${(pageBytes / 1024).toFixed(1)} | ≤ the 32-bit tippwerk.exe: ${pageBytes <= programBytes ? 'met' : 'missed'} |`);
    console.log(`| of it: styles | ${part('<style>', '</style>')} | | |`);
    console.log(`| of it: the dialogs' templates | ${part('<template', '<script')} | | |`);
    console.log(`| of it: the engine, base64 | ${part('id="engine">', '</script>')} | | |`);
    console.log(`| of it: the script | ${part('<script>', '</script>')} | | |`);
    console.log(`| the 32-bit tippwerk.exe | ${programBytes} | ${(programBytes / 1024).toFixed(1)} | |`);
} finally {
    await browser.close();
}

const hidden = await measureHidden(pageUrl);
const figures = (pick, digits) => [hidden.front, hidden.behind, hidden.long]
    .map((window) => (window ? pick(window).toFixed(digits) : 'not measured (--quick)')).join(' | ');
console.log(`\n${hidden.version}, a window of its own under Xvfb, 1024 × 768; one window in each state.\n`);
console.log(`| Figure | in front (${windowMs / 1000} s) | behind another tab (${kBehindMs / 1000} s) |` +
    ` after ${kLongHiddenMs / 60_000} minutes hidden (${kBehindMs / 1000} s) |`);
console.log('|---|---:|---:|---:|');
console.log(`| Draws per second | ${figures((w) => w.rate, 1)} |`);
console.log(`| CPU ms per draw, all of Chromium and the X server | ${figures((w) => w.cpuPerTick * 1000, 3)} |`);
