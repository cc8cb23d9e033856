// The checks the page's walks share, in Playwright's Chromium and in every engine: the tip, the
// counters and the money as the dialogs show them, and a Start that replaces bad fields.
import assert from 'node:assert/strict';

import { dismissMessageBox, drawsGoOn, IDC, messageBox } from './page.mjs';

export const kWarning = { caption: 'Eingabefehler', text: 'Bitte korrekte Lottozahlen eingeben!', icon: 'warning' };

export const tipOf = (main) => main.numbers(IDC.TIP_FIRST, 6);
export const gamesOf = async (main) => Number(await main.read(IDC.GAMES_PLAYED));
export const costsOf = async (loss) => [Number(await loss.read(IDC.RESULT_DM_FIRST)), Number(await loss.read(IDC.RESULT_PF_FIRST))];

// The control with the focus: its dialog and identifier (null in a box, as WebDriver passes none
// other) and text.
export const focused = (page) => page.evaluate(() => {
    const active = document.activeElement;
    const id = active.dataset.id;
    return { dialog: active.closest('[data-dialog]')?.dataset.dialog ?? null, id: id === undefined ? null : Number(id), text: active.textContent };
});
export const kOkInBox = { dialog: null, id: null, text: 'OK' };

export function assertValidTip(tip) {
    assert.equal(new Set(tip).size, 6, `tip ${tip}`);
    for (const number of tip) assert.ok(number >= 1 && number <= 49, `tip ${tip}`);
}

// Start with a tip typed: the whole tip is taken at once, every replacement already shown, then one
// box for each replaced field with the focus on its OK, the draws going on under each. A replacement may take the number of
// a later field, which is then replaced too. Returns the tip and how many fields were replaced.
export async function startWithBadFields(page, main) {
    const typed = await tipOf(main);
    await main.press(IDC.START);
    const tip = await tipOf(main);
    assertValidTip(tip);
    const replaced = tip.filter((number, field) => number !== typed[field]).length;
    for (let box = 1; box <= replaced; ++box) {
        assert.deepEqual(await messageBox(page), kWarning, `box ${box} of ${replaced}`);
        assert.deepEqual(await focused(page), kOkInBox, `the focus on OK in box ${box}`);
        await drawsGoOn(main);
        await dismissMessageBox(page);
    }
    assert.equal(await messageBox(page), null, 'one box for each bad field');
    assert.deepEqual(await tipOf(main), tip);
    return { typed, tip, replaced };
}
