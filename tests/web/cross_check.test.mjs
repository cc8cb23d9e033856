// The page against the native tests' in-memory dialogs: the same script of player actions, with the
// page's clock fixed so the seed is known, must show the same text in every field and the same warnings.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';

import { dismissMessageBox, launchBrowser, messageBox, openPage } from './page.mjs';

const script = new URL('cross-check.actions', import.meta.url);
const replay = process.env.TIPPWERK_REPLAY;

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

// What the page shows in the fields the in-memory dialog names, in the same form.
async function shown(session, expected) {
    const fields = async (dialog, names) => {
        if (names === null) return (await dialog.root.count()) === 0 ? null : 'open';
        const values = {};
        for (const id of Object.keys(names)) values[id] = await dialog.read(id);
        return values;
    };
    return {
        label: expected.label,
        main: await fields(session.main, expected.main),
        loss: await fields(session.loss, expected.loss),
    };
}

test('a scripted session shows in the page what the in-memory dialogs show', { timeout: 90_000 }, async () => {
    assert.ok(replay, 'TIPPWERK_REPLAY names the native replay_actions program');
    const checks = JSON.parse(execFileSync(replay, [script.pathname], { encoding: 'utf8' }));
    const lines = readFileSync(script, 'utf8').split('\n').map((line) => line.replace(/#.*/, '').trim()).filter(Boolean);
    const [, clock] = lines.shift().match(/^clock (\d+)$/);

    const session = await openPage(browser, { clock: Number(clock) });
    const { page } = session;
    const dialogs = { main: session.main, loss: session.loss };
    const games = async () => Number(await session.main.read(121));
    let boxes = [];
    let checked = 0;

    for (const line of lines) {
        const [action, ...words] = line.split(' ');
        if (action === 'type') {
            const [, name, id, text] = line.match(/^type (\w+) (\d+) "(.*)"$/);
            await dialogs[name].set(id, text);
        } else if (action === 'press') {
            await dialogs[words[0]].press(words[1]);
        } else if (action === 'draw-until') {
            // The zero-delay timer ticks once per millisecond of the page's fixed clock, and once
            // more at once when just started, so this never runs past the count.
            for (let left; (left = Number(words[0]) - await games()) > 0;) await page.clock.runFor(Math.max(1, left - 1));
            assert.equal(await games(), Number(words[0]), 'draws past the count asked for');
        } else if (action === 'tick') {
            await page.clock.runFor(1);
        } else if (action === 'dismiss') {
            for (let box; (box = await messageBox(page)) !== null; await dismissMessageBox(page))
                boxes.push(`${box.caption}: ${box.text}`);
        } else if (action === 'check') {
            const expected = checks[checked++];
            const { boxes: expectedBoxes, ...fields } = expected;
            assert.deepEqual(await shown(session, fields), fields);
            assert.deepEqual(boxes, expectedBoxes, `warnings at "${expected.label}"`);
            boxes = [];
        }
    }
    assert.equal(checked, checks.length);
    assert.deepEqual(session.errors, []);
});
