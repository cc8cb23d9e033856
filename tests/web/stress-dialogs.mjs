// What the stress walk reads of the dialogs, as the program reads it, and what holds of them whatever
// the player did: the counters adding up, the hit row from a tip, the results' money one amount each.
import assert from 'node:assert/strict';

import { amountShown, fieldNumber, losses, readAmount, shownAmount } from './field-money.mjs';
import { IDC } from './page.mjs';

export const kTipFields = 6;
export const kLowestNumber = 1;
export const kHighestNumber = 49;
export const kPriceRows = 5;
const kHitClasses = 6;

const isCount = (text) => /^\d+$/.test(text);
export const tipOf = (main) => Array.from({ length: kTipFields }, (_, i) => Number(fieldNumber(main[IDC.TIP_FIRST + i])));
const hitClassesOf = (main) => [0n, ...Array.from({ length: kHitClasses }, (_, i) => BigInt(main[IDC.HIT_CLASS_FIRST + i]))];
export const pricesOf = (loss) => Array.from({ length: kPriceRows }, (_, row) => readAmount(loss[IDC.PRICE_DM_FIRST + row], loss[IDC.PRICE_PF_FIRST + row]));
export const resultTexts = (loss) => [0, 1, 2].map((row) => [loss[IDC.RESULT_DM_FIRST + row], loss[IDC.RESULT_PF_FIRST + row]]);
export const shownLosses = (result) => [result.costs, result.winnings, result.total].map(shownAmount);
// What the loss dialog must show for the prices it shows and the counters the main dialog shows.
export const lossesFor = (loss, main) => losses(pricesOf(loss), BigInt(main[IDC.GAMES_PLAYED]), hitClassesOf(main));

// Every counter a count; the hit classes within Gespielt, and Kein Geld Gespielt less the classes 3 to
// 6; each hit 0 or the number of its tip field, all from one of the tips since the last Reset.
export function assertCountersAddUp(main, tips) {
    for (let id = IDC.HIT_FIRST; id <= IDC.GAMES_WITHOUT_PRIZE; ++id) assert.ok(isCount(main[id]), `field ${id} shows "${main[id]}"`);
    const classes = hitClassesOf(main);
    const played = BigInt(main[IDC.GAMES_PLAYED]);
    const withoutPrize = BigInt(main[IDC.GAMES_WITHOUT_PRIZE]);
    const sum = (from, to) => classes.slice(from, to + 1).reduce((a, b) => a + b, 0n);
    assert.ok(sum(1, kHitClasses) <= played, `the hit classes ${classes.slice(1)} within Gespielt ${played}`);
    assert.equal(withoutPrize, played - sum(3, kHitClasses), `Kein Geld: Gespielt ${played} less the classes 3 to 6 ${classes.slice(3)}`);
    const hits = Array.from({ length: kTipFields }, (_, i) => Number(main[IDC.HIT_FIRST + i]));
    if (sum(1, kHitClasses) === 0n) assert.deepEqual(hits, Array(kTipFields).fill(0), 'no hit row before a draw with hits');
    assert.ok(tips.some((tip) => hits.every((hit, i) => hit === 0 || hit === tip[i])),
        `each hit 0 or its tip number: hits ${hits}, tips since Reset ${tips.map((tip) => `[${tip}]`).join(' ')}`);
}

// Each result a DM and a Pf part of one amount, and Gesamt Gewinne less Kosten.
export function assertResultsAddUp(loss) {
    const shown = resultTexts(loss);
    for (const [dm, pf] of shown) {
        assert.ok(/^-?\d+$/.test(dm) && /^-?\d+$/.test(pf), `a result of "${dm}" DM "${pf}" Pf`);
        assert.deepEqual(shownAmount(amountShown(dm, pf)), [dm, pf], `DM and Pf carry one sign: "${dm}" "${pf}"`);
    }
    const [costs, winnings, total] = shown.map(([dm, pf]) => amountShown(dm, pf));
    assert.equal(total, winnings - costs, 'Gesamt is Gewinne less Kosten');
}
