// The page's main thread per draw, with both dialogs open and Auto running, beside the empty tick
// loop's per tick, from Chromium's own counters, on this machine's core and on one slowed as a
// phone's; and a trace of where that time goes.
import { writeFileSync } from 'node:fs';
import { setTimeout as sleep } from 'node:timers/promises';

import { IDC, LOSS, MAIN } from '../../tests/web/page.mjs';

// The machine's core, Lighthouse's mobile profile and a low-end phone.
export const kCpuSlowings = [1, 4, 6];
// Chromium's counters of the renderer's main thread, in seconds since the page was opened.
const kCounters = { task: 'TaskDuration', script: 'ScriptDuration', style: 'RecalcStyleDuration', layout: 'LayoutDuration' };
const kWarmUpMs = 1000;
const kViewport = { width: 1024, height: 768 };
// The goals: a draw costs at most this many of the loop's ticks on the machine's core, and slowed,
// the page draws at least this share of the loop's rate.
const kMostTicksPerDraw = 2;
const kLeastRateShare = { 4: 0.95, 6: 0.9 };
// A trace of this long holds some hundreds of draws.
const kTraceMs = 3000;
const kTraceCategories = 'devtools.timeline,disabled-by-default-devtools.timeline,v8.execute,blink,cc';

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const range = (values, digits) => {
    const [low, high] = [Math.min(...values), Math.max(...values)].map((v) => v.toFixed(digits));
    return low === high ? low : `${low}–${high}`;
};

const button = (dialog, id) => `[data-dialog=${dialog}] button[data-id="${id}"]`;
const kStart = button(MAIN, IDC.START);
const kLosses = button(MAIN, IDC.LOSSES);
const kAuto = button(LOSS, IDC.AUTO);
// "Gespielt:", read in the page.
const gamesPlayed = () => Number(document.querySelector('[data-dialog=LOTTODIALOG] [data-id="121"]').textContent);

// The page with both dialogs open and Auto running, started with real clicks as a player starts it.
async function startPage(page) {
    for (const selector of [kStart, kLosses, kAuto]) await page.locator(selector).click();
}

async function openSlowed(browser, url, slowing) {
    const page = await browser.newPage({ viewport: kViewport });
    const cdp = await page.context().newCDPSession(page);
    await page.goto(url);
    await page.bringToFront();
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: slowing });
    await cdp.send('Performance.enable');
    return { page, cdp };
}

async function counters(cdp) {
    const { metrics } = await cdp.send('Performance.getMetrics');
    const value = Object.fromEntries(metrics.map(({ name, value: v }) => [name, v]));
    return Object.fromEntries(Object.entries(kCounters).map(([key, name]) => [key, value[name]]));
}

// One window: the ticks a second and the main thread's milliseconds per tick, each counter apart.
async function measureWindow(browser, { url, start, count }, slowing, windowMs) {
    const { page, cdp } = await openSlowed(browser, url, slowing);
    await start(page);
    await sleep(kWarmUpMs);
    const [before, ticksBefore, timeBefore] = [await counters(cdp), await page.evaluate(count), performance.now()];
    await sleep(windowMs);
    const [after, ticksAfter, timeAfter] = [await counters(cdp), await page.evaluate(count), performance.now()];
    await page.close();
    const ticks = ticksAfter - ticksBefore;
    const perTick = Object.fromEntries(Object.keys(kCounters).map((key) => [key, ((after[key] - before[key]) * 1000) / ticks]));
    return { rate: ticks / ((timeAfter - timeBefore) / 1000), ...perTick };
}

// Every slowing, the loop and the page in turns, so a change in the machine's load falls on both.
export async function measureMainThread(browser, { pageUrl, emptyLoopUrl, windowMs, rounds }) {
    const tippwerk = { url: pageUrl, start: startPage, count: gamesPlayed };
    const loop = { url: emptyLoopUrl, start: (page) => page.evaluate(() => window.start()), count: () => Number(document.getElementById('n').textContent) };
    const results = [];
    for (const slowing of kCpuSlowings) {
        const measured = { slowing, page: [], loop: [] };
        for (let round = 0; round < rounds; ++round) {
            measured.loop.push(await measureWindow(browser, loop, slowing, windowMs));
            measured.page.push(await measureWindow(browser, tippwerk, slowing, windowMs));
        }
        results.push(measured);
    }
    return results;
}

export function printMainThread(results, { windowMs, rounds }) {
    console.log(`\nBoth dialogs open, Auto running; the main thread from Chromium's counters; ${rounds} windows of` +
        ` ${windowMs / 1000} s for each, the loop and the page in turns; ranges, and the ratio of the medians.\n`);
    console.log('| CPU | page: draws/s | page: ms per draw (task; script, style, layout) | loop: ticks/s | loop: ms per tick (task) |' +
        ' draw ÷ tick (task) | draws ÷ ticks | goal |');
    console.log('|---|---:|---:|---:|---:|---:|---:|---|');
    for (const { slowing, page, loop } of results) {
        const of = (windows, key) => windows.map((w) => w[key]);
        const costRatio = median(of(page, 'task')) / median(of(loop, 'task'));
        const rateRatio = median(of(page, 'rate')) / median(of(loop, 'rate'));
        const goal = slowing === 1 ? `draw ≤ ${kMostTicksPerDraw} ticks: ${costRatio <= kMostTicksPerDraw ? 'met' : 'missed'}`
            : `draws ≥ ${kLeastRateShare[slowing]} × ticks: ${rateRatio >= kLeastRateShare[slowing] ? 'met' : 'missed'}`;
        console.log(`| ${slowing === 1 ? 'this machine\'s core' : `slowed ${slowing}×`} | ${range(of(page, 'rate'), 0)} |` +
            ` ${range(of(page, 'task'), 2)} (${range(of(page, 'script'), 2)}; ${range(of(page, 'style'), 2)}; ${range(of(page, 'layout'), 2)}) |` +
            ` ${range(of(loop, 'rate'), 0)} | ${range(of(loop, 'task'), 2)} | ${costRatio.toFixed(2)} | ${rateRatio.toFixed(2)} | ${goal} |`);
    }
}

// A trace of the page drawing, written to the file, and the main thread's time by event, per draw.
export async function tracePage(browser, pageUrl, file, slowing = 1) {
    const { page, cdp } = await openSlowed(browser, pageUrl, slowing);
    await startPage(page);
    await sleep(kWarmUpMs);
    const events = [];
    cdp.on('Tracing.dataCollected', ({ value }) => events.push(...value));
    const complete = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
    await cdp.send('Tracing.start', { traceConfig: { includedCategories: kTraceCategories.split(',') }, transferMode: 'ReportEvents' });
    const gamesBefore = await page.evaluate(gamesPlayed);
    await sleep(kTraceMs);
    const draws = (await page.evaluate(gamesPlayed)) - gamesBefore;
    await cdp.send('Tracing.end');
    await complete;
    await page.close();
    writeFileSync(file, JSON.stringify({ traceEvents: events }));

    const main = events.find((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain' &&
        events.some((other) => other.pid === e.pid && other.name === 'FunctionCall'));
    const byName = new Map();
    for (const e of events) {
        if (e.pid !== main.pid || e.tid !== main.tid || e.ph !== 'X' || !e.dur) continue;
        byName.set(e.name, (byName.get(e.name) ?? 0) + e.dur);
    }
    console.log(`\nTrace of ${kTraceMs / 1000} s, ${draws} draws, CPU slowed ${slowing}×: the main thread's events, each with all it holds,` +
        ' in µs per draw\n');
    console.log('| Event | µs per draw |');
    console.log('|---|---:|');
    for (const [name, us] of [...byName].sort((a, b) => b[1] - a[1]).slice(0, 30))
        console.log(`| ${name} | ${(us / draws).toFixed(1)} |`);
}
