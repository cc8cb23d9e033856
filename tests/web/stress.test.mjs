// The page's stress walk in each engine: a short one with every run of the page's tests, a long one
// by hand (docs/testing.md). TIPPWERK_STRESS_ACTIONS sets its length, TIPPWERK_STRESS_SEED replays a
// walk and TIPPWERK_ENGINE takes one engine instead of all.
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { engineNames, launchEngine } from './engines/index.mjs';
import { StressWalk } from './stress-walk.mjs';

const kShortWalk = 300;
// A desktop whose engine has a touch screen too, where its driver can tap.
const kDevice = { viewport: { width: 1024, height: 768 }, hasTouch: true };
const kMebibyte = 2 ** 20;
// A walk's time limit, for the browser's start and each action: the actions in WebKit took up to half a
// second each on two cores that other builds kept busy (load 16); for the short walk within ctest's
// limit, so that a walk that stops fails with its reason.
const kStartLimitMs = 30_000;
const kActionLimitMs = 800;

const actions = Number(process.env.TIPPWERK_STRESS_ACTIONS ?? kShortWalk);
const seed = Number(process.env.TIPPWERK_STRESS_SEED ?? Math.floor(Math.random() * 2 ** 32));
const engines = process.env.TIPPWERK_ENGINE ? [process.env.TIPPWERK_ENGINE] : engineNames;

const mebibytes = (bytes) => `${(bytes / kMebibyte).toFixed(1)} MiB`;

// What the walk did and what the page weighed.
function figures(walk) {
    const heap = walk.start.heap === null ? 'heap not reported' : `heap ${mebibytes(walk.start.heap)} at the start, ` +
        `${mebibytes(walk.end.heap)} at the end, grown by at most ${mebibytes(walk.heapGrowth)} from a page load`;
    return `${walk.actions} actions in ${walk.seconds.toFixed(1)} s (${(walk.actions / walk.seconds).toFixed(1)} a second), ` +
        `${walk.programStarts} program starts, ${walk.reloads} reloads, ${walk.boxes} boxes, ${walk.boxClicks} clicks and taps ` +
        `on and beside them; ${heap}; ${walk.start.nodes} nodes at the start, ${walk.end.nodes} at the end`;
}

for (const engine of engines) {
    test(`a seeded stress walk of ${actions} actions in ${engine}`, { timeout: kStartLimitMs + actions * kActionLimitMs }, async (t) => {
        console.log(`stress walk in ${engine}: seed ${seed}, ${actions} actions`);
        const browser = await launchEngine(engine);
        // Closed however the walk ends, at its time limit too.
        t.after(() => browser.close());
        let page;
        try {
            page = await browser.newPage({ device: kDevice });
            const walk = await new StressWalk(page, { seed }).run(actions);
            console.log(`stress walk in ${await browser.version()}: ${figures(walk)}`);
        } catch (error) {
            const picture = join(tmpdir(), `tippwerk-stress-${engine}-${seed}.png`);
            if (await page?.screenshot(picture).then(() => true, () => false)) console.log(`the page at the failure: ${picture}`);
            console.log(`replay this walk with:\n  TIPPWERK_ENGINE=${engine} TIPPWERK_STRESS_SEED=${seed} TIPPWERK_STRESS_ACTIONS=${actions} ` +
                'node --test tests/web/stress.test.mjs\n(the replay takes the same actions while the page shows the same boxes; ' +
                'its tips and replacements come from the clock, so a fault that needs particular numbers may take a few replays)');
            throw error;
        }
    });
}
