// A player's worst afternoon on the page: seeded random actions with real input on both dialogs, their
// boxes and the end of the program, each followed by checks that need no model of the random draws:
// the tip, the hit row, the counters, the money to the Pfennig, the boxes, the focus, the page's size.
import assert from 'node:assert/strict';

import { assertValidTip, kWarning } from './checks.mjs';
import { centreOf } from './engines/input.mjs';
import { amountShown, fieldNumber } from './field-money.mjs';
import { eventually, IDC, LOSS, MAIN, pageUrl } from './page.mjs';
import { assertCountersAddUp, assertResultsAddUp, kHighestNumber, kLowestNumber, kPriceRows, kTipFields, lossesFor, pricesOf, resultTexts, shownLosses, tipOf } from './stress-dialogs.mjs';
import { priceText, stepRandom, tipText, typedResult } from './stress-input.mjs';
import { besideControls, BOX, closeBox, collectedHeap, control, dialogSelector, dialogSizes, NEW_START, OK, snapshot, spotsOnAndBesideBox } from './stress-page.mjs';

// The tip and Pf edits take as many digits as their width shows.
const kNarrowEditDigits = 2;
const kAbout = { caption: 'Tippwerk', icon: 'information' };
const kDefaultPrices = [['5', '50'], ['7', '50'], ['100', '0'], ['5000', '0'], ['500000', '0']];
const kMainButtons = [IDC.START, IDC.STOP, IDC.RESET, IDC.LOSSES, IDC.INFO, IDC.END];
const kLossButtons = [IDC.EVALUATE, IDC.AUTO, IDC.END];
const kSelectAll = 'Control+a';
// Checkpoints come every so many actions, at a distance the seed chooses.
const kShortestStretch = 40;
const kLongestStretch = 80;
// Stopped draws stand still this long; running ones draw within the limit, however busy the machine.
const kHaltWatchMs = 100;
const kDrawsGoOnMs = 10_000;
const kAutoCatchUpMs = 10_000;
const kPageOpensMs = 30_000;
const kRecentActions = 25;
// The page's script heap, once collected, may grow by this much after the page opens: the loss dialog,
// the code the draws compile and the script Playwright puts in the page for a tap take about 2 MiB; a
// leak of a kilobyte an action outgrows it in a long walk. Each page load is weighed on its own, as
// Chromium keeps that script of every page reloaded (about 0.4 MiB each), which the page never sees.
const kHeapGrowthLimit = 4 * 2 ** 20;
// Texts a field or the box gets when first shown, beyond the nodes the page opens with.
const kSpareTextNodes = 16;

export class StressWalk {
    constructor(page, { seed, log = console.log }) {
        Object.assign(this, { page, seed, log, actions: 0, recent: [], figures: { programStarts: 0, reloads: 0, boxes: 0, boxClicks: 0, heapGrowth: 0 } });
    }

    // Takes the walk; throws on the first fault with the actions before it.
    async run(actionsWanted) {
        const begin = performance.now();
        await this.page.goto(pageUrl);
        const first = await this.opened();
        this.sizes = await this.page.evaluate(dialogSizes);
        this.pageElements = first.elements - this.sizes.main.elements;
        this.nodeLimit = first.nodes + this.sizes.loss.nodes + kSpareTextNodes;
        this.figures.start = { heap: await this.weighHeap(), nodes: first.nodes };
        this.freshProgram(first);
        let nextCheckpoint = kShortestStretch;
        try {
            for (let step = 0; this.actions < actionsWanted; ++step) {
                this.random = stepRandom(this.seed, step);
                await this.step();
                await this.checkPageClean();
                if (this.actions >= nextCheckpoint) {
                    await this.checkpoint();
                    nextCheckpoint = this.actions + this.random.between(kShortestStretch, kLongestStretch);
                }
            }
            await this.checkpoint();
        } catch (error) {
            this.log(`the last actions before the failure:\n${this.recent.map((action) => `  ${action}`).join('\n')}`);
            throw error;
        }
        return { ...this.figures, actions: this.actions, seconds: (performance.now() - begin) / 1000, end: { heap: this.heap, nodes: this.last.nodes } };
    }

    note(action) {
        ++this.actions;
        this.recent.push(`${this.actions} ${action}`);
        if (this.recent.length > kRecentActions) this.recent.shift();
    }

    // A real click where the element is drawn, as the engines' drivers click; without the wait for a
    // still page that Playwright's own click makes, which takes a third of a second while the draws run.
    async click(selector) {
        const { x, y } = await this.page.evaluate(centreOf, selector);
        await this.page.clickAt(x, y);
    }

    async read() {
        this.last = await this.page.evaluate(snapshot);
        return this.last;
    }

    // One action, among those a player could take in the page's present state.
    async step() {
        const { model, page, random } = this;
        const choices = [[0.15, () => this.reload()]];
        // Tab stays among the page's controls: past the last it goes to the browser, which takes the keys then.
        const keys = [[3, 'Enter'], [1, 'Space'], [2, 'Escape'], [1.5, 'Tab'], [1, 'Shift+Tab']].filter(([, key]) => !this.last.tabLeaves[key]);
        if (model.ended) {
            choices.push([3, () => this.pressButton('ended', null, random.chance(0.5) && page.canTap ? 'tap' : 'click')]);
            keys.forEach(([weight, key]) => choices.push([weight / 2, () => this.pressKey(key)]));
        } else if (model.boxes.length > 0) {
            choices.push([3, () => this.dismissBox('click OK', () => this.click(OK))],
                [2, () => this.dismissBox('Enter on the box', () => page.press('Enter'))],
                [2, () => this.dismissBox('Space on the box', () => page.press('Space'))],
                [1, () => this.dismissBox('Escape on the box', () => page.press('Escape'))],
                [1, () => this.dismissBox('close box of the box', () => this.click(`${BOX} .close`))],
                [4, () => this.clickOnOrBesideBox()]);
            if (page.canTap) choices.push([1, () => this.dismissBox('tap OK', () => page.tap(OK))], [1, () => this.tapOnBox()]);
        } else {
            if (model.mainOpen) {
                const press = (weight, id, how = 'click') => choices.push([weight, () => this.pressButton('main', id, how)]);
                choices.push([20, () => this.typeTip()], [1, () => this.typeWholeTip()]);
                press(6, IDC.START);
                press(1, IDC.START, 'dblclick');
                press(5, IDC.STOP);
                press(3, IDC.RESET);
                press(2, IDC.INFO);
                press(0.5, IDC.INFO, 'dblclick');
                press(model.lossOpen ? 1 : 6, IDC.LOSSES);
                press(0.25, IDC.END);
                press(0.15, 'close');
                if (page.canTap) for (const id of [IDC.START, IDC.STOP, IDC.LOSSES]) press(1, id, 'tap');
                choices.push([1, () => this.clickBesideControls('main')]);
            }
            if (model.lossOpen) {
                const press = (weight, id, how = 'click') => choices.push([weight, () => this.pressButton('loss', id, how)]);
                choices.push([20, () => this.typePrice()]);
                press(5, IDC.EVALUATE);
                press(4, IDC.AUTO);
                press(0.8, IDC.END);
                press(0.4, 'close');
                if (page.canTap) press(1, IDC.EVALUATE, 'tap');
                choices.push([1, () => this.clickBesideControls('loss')]);
            }
            keys.forEach(([weight, key]) => choices.push([weight, () => this.pressKey(key)]));
        }
        await random.choose(choices)();
    }

    async opened() {
        assert.ok(await eventually(async () => (await this.read()).main !== null, kPageOpensMs), 'the main dialog opens');
        return this.last;
    }

    // The program just started: a valid tip, every counter and the hit row at 0, the focus on the dialog.
    freshProgram(read) {
        ++this.figures.programStarts;
        const tip = tipOf(read.main);
        assertValidTip(tip);
        for (let id = IDC.HIT_FIRST; id <= IDC.GAMES_WITHOUT_PRIZE; ++id) assert.equal(read.main[id], '0', `field ${id} of a new program`);
        assert.equal(read.focus, MAIN, 'the focus on the new main dialog');
        this.model = { ended: false, mainOpen: true, lossOpen: false, drawing: false, auto: false, boxes: [], tips: [tip], results: null };
        this.verify(read);
    }

    async reload() {
        this.note('reload the page');
        ++this.figures.reloads;
        await this.page.reload();
        this.freshProgram(await this.opened());
        await this.weighHeap();
    }

    // Start, Stop, Reset, Info, Verluste, Ende, Auswertung, Auto or a close box, as a player presses it:
    // clicked, tapped or double-clicked; or the ended page's new start.
    async pressButton(dialog, id, how) {
        const selector = dialog === 'ended' ? NEW_START : id === 'close' ? closeBox(this.selectorOf(dialog)) : control(this.selectorOf(dialog), id);
        this.note(`${how} ${dialog === 'ended' ? 'Neu starten' : `${dialog} ${id === 'close' ? 'close box' : `button ${id}`}`}`);
        const before = this.last;
        await (how === 'click' ? this.click(selector) : this.page[how](selector));
        // A double-click's second click lands on a box the first brought up, or gives the command again.
        await this.commandDone(dialog, id, before, await this.read(), `${this.nameOf(dialog)} ${id}`);
    }

    nameOf = (dialog) => (dialog === 'main' ? MAIN : LOSS);
    selectorOf = (dialog) => dialogSelector(this.nameOf(dialog));

    // Enter, Space, Escape or Tab where the focus is: Enter is the focused button or the dialog's
    // default button, Space the focused button, Escape nothing; Tab only moves the focus.
    async pressKey(key) {
        const before = this.last;
        this.note(`${key} on ${before.focus}`);
        await this.page.press(key);
        const after = await this.read();
        const [dialogName, id] = before.focus.split(' ');
        const dialog = { [MAIN]: 'main', [LOSS]: 'loss' }[dialogName];
        const pressing = key === 'Enter' || key === 'Space';
        if (before.focus === 'Neu starten' && pressing) {
            this.freshProgram(after);
            return;
        }
        if (dialog && pressing) {
            const button = (dialog === 'main' ? kMainButtons : kLossButtons).find((b) => String(b) === id);
            if (button !== undefined) return this.commandDone(dialog, button, before, after, before.focus);
            if (key === 'Enter') return this.commandDone(dialog, dialog === 'main' ? IDC.START : IDC.EVALUATE, before, after, before.focus);
        }
        if (key === 'Escape' || pressing) assert.equal(after.focus, before.focus, `${key} leaves the focus`);
        this.verify(after);
    }

    // What a command does, checked on what the page shows after it. origin is the control the focus
    // returns to after the boxes the command brings.
    async commandDone(dialog, id, before, after, origin) {
        const { model } = this;
        if (dialog === 'ended') return this.freshProgram(after);
        if (dialog === 'main') {
            switch (id) {
            case IDC.START: this.started(before, after, origin); break;
            case IDC.STOP: model.drawing = false; await this.assertHalted(after); break;
            case IDC.RESET: this.wasReset(after); break;
            case IDC.INFO: this.expectBoxes([kAbout], origin); break;
            case IDC.LOSSES: this.lossesPressed(after); break;
            default: // Ende or the close box. The counters stay for the loss dialog: as shown last, or,
                // with the draws running until Ende, at least that.
                Object.assign(model, { mainOpen: false, ended: !model.lossOpen, lastMain: before.main, lastMainExact: !model.drawing, drawing: false });
                this.assertFocusGoesOn(after, LOSS);
            }
        } else {
            switch (id) {
            case IDC.EVALUATE: this.evaluated(before, after); break;
            case IDC.AUTO: model.auto = true; break;
            default:
                Object.assign(model, { lossOpen: false, auto: false, ended: !model.mainOpen, results: null });
                this.assertFocusGoesOn(after, MAIN);
            }
        }
        await this.verifyAll(after);
    }

    // After an Ende, the focus in the dialog that remains, or on the new start once none does.
    assertFocusGoesOn(after, remaining) {
        if (this.model.ended) assert.equal(after.focus, 'Neu starten', 'the focus on the new start');
        else assert.ok(after.focus.startsWith(remaining), `the focus goes on to ${remaining}: ${after.focus}`);
    }

    // The counters the loss dialog evaluates, as the main dialog shows them or showed them last, and
    // whether they are exactly those: not where the main dialog ended while drawing.
    countsOf(read) {
        return read.main ? { main: read.main, exact: !this.model.drawing } : { main: this.model.lastMain, exact: this.model.lastMainExact };
    }

    expectBoxes(boxes, origin) {
        this.model.boxes.push(...boxes);
        this.model.focusAfterBoxes = origin;
        this.figures.boxes += boxes.length;
    }

    // The whole tip read at once: each field that reads outside 1..49 or repeats an earlier field's
    // number shows a replacement, one not among the earlier fields nor the field's old number, and
    // brings one warning; every other field keeps its text. The draws go on.
    started(before, after, origin) {
        const { model } = this;
        const oldTip = model.tips.at(-1);
        const tip = [];
        let bad = 0;
        for (let k = 0; k < kTipFields; ++k) {
            const typed = before.main[IDC.TIP_FIRST + k];
            const shown = after.main[IDC.TIP_FIRST + k];
            const value = Number(fieldNumber(typed));
            if (value >= kLowestNumber && value <= kHighestNumber && !tip.includes(value)) {
                assert.equal(shown, typed, `tip field ${k + 1} keeps what was typed`);
                tip.push(value);
                continue;
            }
            ++bad;
            const replacement = Number(shown);
            assert.ok(String(replacement) === shown && replacement >= kLowestNumber && replacement <= kHighestNumber
                && !tip.includes(replacement) && replacement !== oldTip[k], `tip field ${k + 1}, "${typed}", replaced by "${shown}" after ${tip}, old ${oldTip[k]}`);
            tip.push(replacement);
        }
        assertValidTip(tip);
        model.tips.push(tip);
        model.drawing = true;
        this.expectBoxes(Array(bad).fill(kWarning), origin);
    }

    // A new tip and, unless the draws went on at once, every counter and the hit row at 0.
    wasReset(after) {
        const tip = tipOf(after.main);
        assertValidTip(tip);
        this.model.tips = [tip];
        if (!this.model.drawing)
            for (let id = IDC.HIT_FIRST; id <= IDC.GAMES_WITHOUT_PRIZE; ++id) assert.equal(after.main[id], '0', `field ${id} after Reset`);
    }

    // Verluste opens the loss dialog with the default prices and no results, or shows the open one.
    lossesPressed(after) {
        const { model } = this;
        if (model.lossOpen) {
            assert.ok(after.focus.startsWith(`${LOSS} `), `Verluste shows the open dialog: ${after.focus}`);
            return;
        }
        Object.assign(model, { lossOpen: true, auto: false, results: shownLosses({ costs: 0n, winnings: 0n, total: 0n }) });
        kDefaultPrices.forEach(([dm, pf], row) => assert.deepEqual(
            [after.loss[IDC.PRICE_DM_FIRST + row], after.loss[IDC.PRICE_PF_FIRST + row]], [dm, pf], `default price ${row + 1}`));
        assert.equal(after.focus, LOSS, 'the focus on the new loss dialog');
    }

    // Auswertung ends Auto and evaluates once: exact to the Pfennig with the draws stopped; while they
    // run, the costs are the stake times a count of games between those shown before and after, and
    // the winnings lie between what the counters before and after win.
    evaluated(before, after) {
        const { model } = this;
        model.auto = false;
        const shown = resultTexts(after.loss);
        const now = this.countsOf(after);
        if (now.exact) {
            model.results = shownLosses(lossesFor(after.loss, now.main));
            return;
        }
        const [costs, winnings] = shown.map(([dm, pf]) => amountShown(dm, pf));
        const [stake] = pricesOf(after.loss);
        const [lowest, highest] = [this.countsOf(before).main, after.main].map((main) => main && lossesFor(after.loss, main));
        const games = [this.countsOf(before).main, after.main].map((main) => (main ? BigInt(main[IDC.GAMES_PLAYED]) : Infinity));
        assert.ok(stake === 0n ? costs === 0n : costs % stake === 0n && costs / stake >= games[0] && costs / stake <= games[1],
            `costs ${costs} for a stake of ${stake} after ${games[0]} to ${games[1]} games`);
        assert.ok(winnings >= lowest.winnings && (!highest || winnings <= highest.winnings),
            `winnings ${winnings} between ${lowest.winnings} and ${highest?.winnings}`);
        model.results = shown;
    }

    // Dismisses the box up now; the next comes up at once, or the focus goes back where it was.
    async dismissBox(how, act) {
        this.note(how);
        await act();
        const { model } = this;
        model.boxes.shift();
        const after = await this.read();
        if (model.boxes.length === 0) assert.equal(after.focus, model.focusAfterBoxes, 'the focus back after the boxes');
        await this.verifyAll(after);
    }

    // A click on the box's text or caption, or beside the box, or a double-click on its text: the box
    // stays, with the focus on OK.
    async clickOnOrBesideBox() {
        const { on, beside } = await this.page.evaluate(spotsOnAndBesideBox);
        const onBox = this.random.chance(0.5);
        const [x, y] = onBox ? on[this.random.pick(on.length)] : beside[this.random.pick(beside.length)];
        ++this.figures.boxClicks;
        if (onBox && this.random.chance(0.3)) {
            this.note('double-click on the box\'s text');
            await this.page.dblclick(`${BOX} .message-text`);
        } else {
            this.note(`click ${onBox ? 'on' : 'beside'} the box at ${Math.round(x)}, ${Math.round(y)}`);
            await this.page.clickAt(x, y);
        }
        await this.verifyAll(await this.read());
    }

    async tapOnBox() {
        const part = ['.message-text', '.title-bar-text'][this.random.pick(2)];
        this.note(`tap the box's ${part}`);
        ++this.figures.boxClicks;
        await this.page.tap(`${BOX} ${part}`);
        await this.verifyAll(await this.read());
    }

    // A click on a dialog's label: the focus stays in that dialog, where it was if it was there.
    async clickBesideControls(dialog) {
        const before = this.last;
        const name = this.nameOf(dialog);
        this.note(`click beside the controls of ${name}`);
        const [x, y] = await this.page.evaluate(besideControls, this.selectorOf(dialog));
        await this.page.clickAt(x, y);
        const after = await this.read();
        if (before.focus.startsWith(name)) assert.equal(after.focus, before.focus, 'the focus stays where it was');
        else assert.ok(after.focus.startsWith(`${name} `), `the focus back in ${name}: ${after.focus}`);
        await this.verifyAll(after);
    }

    // Clicks into the edit, selects its text with the keys and types; the edit keeps only digits.
    async typeInto(dialog, id, text, maxDigits) {
        const selector = control(this.selectorOf(dialog), id);
        await this.click(selector);
        await this.page.press(kSelectAll);
        if (text === '') await this.page.press('Backspace');
        else await this.page.type(text);
        const after = await this.read();
        const field = dialog === 'main' ? after.main : after.loss;
        return { after, shown: field[id] };
    }

    async typeTip() {
        const field = this.random.pick(kTipFields);
        const text = tipText(this.random, this.last.main);
        const old = this.last.main[IDC.TIP_FIRST + field];
        this.note(`type "${text}" into tip field ${field + 1}`);
        const { after, shown } = await this.typeInto('main', IDC.TIP_FIRST + field, text, kNarrowEditDigits);
        assert.equal(shown, typedResult(old, text, kNarrowEditDigits), `tip field ${field + 1} after typing "${text}" over "${old}"`);
        await this.verifyAll(after);
    }

    async typeWholeTip() {
        this.note('type a whole tip');
        let after;
        for (let field = 0; field < kTipFields; ++field) {
            const text = String(this.random.between(kLowestNumber, kHighestNumber));
            ({ after } = await this.typeInto('main', IDC.TIP_FIRST + field, text, kNarrowEditDigits));
            assert.equal(after.main[IDC.TIP_FIRST + field], text, `tip field ${field + 1}`);
        }
        await this.verifyAll(after);
    }

    async typePrice() {
        const field = this.random.pick(2 * kPriceRows);
        const pfennig = field >= kPriceRows;
        const id = IDC.PRICE_DM_FIRST + field;
        const text = priceText(this.random, pfennig);
        const old = this.last.loss[id];
        this.note(`type "${text}" into price field ${id}`);
        const { after, shown } = await this.typeInto('loss', id, text, pfennig ? kNarrowEditDigits : Infinity);
        assert.equal(shown, typedResult(old, text, pfennig ? kNarrowEditDigits : Infinity), `price field ${id} after typing "${text}" over "${old}"`);
        await this.verifyAll(after);
    }

    // Stopped draws stand still: the counters and the hit row the same a while later.
    async assertHalted(read) {
        const counters = (main) => Object.entries(main).filter(([id]) => id >= IDC.HIT_FIRST && id <= IDC.GAMES_WITHOUT_PRIZE);
        await new Promise((resolve) => setTimeout(resolve, kHaltWatchMs));
        assert.deepEqual(counters((await this.read()).main), counters(read.main), 'the draws have stopped');
    }

    // Now and then: the draws go on where they run (under a box too) and stand still where stopped,
    // and the page's heap stays within its bound.
    async checkpoint() {
        const read = await this.read();
        if (this.model.drawing) {
            const games = BigInt(read.main[IDC.GAMES_PLAYED]);
            assert.ok(await eventually(async () => BigInt((await this.read()).main[IDC.GAMES_PLAYED]) > games, kDrawsGoOnMs), 'the draws go on');
        } else if (this.model.mainOpen) {
            await this.assertHalted(read);
        }
        this.heap = await this.page.evaluate(collectedHeap);
        if (this.heap !== null) {
            const growth = this.heap - this.heapAtLoad;
            this.figures.heapGrowth = Math.max(this.figures.heapGrowth, growth);
            assert.ok(growth <= kHeapGrowthLimit, `heap ${this.heap} bytes, ${this.heapAtLoad} when the page opened`);
        }
        await this.verifyAll(this.last);
    }

    // The heap as the page opens, which its growth is measured from.
    async weighHeap() {
        this.heapAtLoad = await this.page.evaluate(collectedHeap);
        return this.heapAtLoad;
    }

    async checkPageClean() {
        assert.deepEqual(await this.page.errors(), [], 'no script error');
        assert.deepEqual(await this.page.requests(), [], 'no request');
    }

    // verify, and with Auto on and the draws stopped, the loss dialog's results catch up with the
    // prices and counters shown, to the Pfennig.
    async verifyAll(read) {
        this.verify(read);
        const { model } = this;
        if (!model.lossOpen || !model.auto || !this.countsOf(read).exact) return;
        const expected = (now) => JSON.stringify(shownLosses(lossesFor(now.loss, this.countsOf(now).main)));
        const caughtUp = (now) => JSON.stringify(resultTexts(now.loss)) === expected(now);
        if (caughtUp(read)) return;
        const reached = await eventually(async () => caughtUp(await this.read()), kAutoCatchUpMs);
        assert.ok(reached, `Auto shows ${JSON.stringify(resultTexts(this.last.loss))} for ${expected(this.last)}`);
        this.verify(this.last);
    }

    // What must hold whatever was done: the dialogs and boxes the model expects, the page's size, the
    // counters adding up, the hit row from one of the tips since the last Reset, and the results as
    // the last evaluation left them.
    verify(read) {
        const { model, sizes } = this;
        assert.equal(read.ended, model.ended, 'the program has ended, or not');
        assert.equal(read.main !== null, model.mainOpen, 'the main dialog shown, or not');
        assert.equal(read.loss !== null, model.lossOpen, 'the loss dialog shown, or not');
        const elements = this.pageElements + (model.mainOpen ? sizes.main.elements : 0) + (model.lossOpen ? sizes.loss.elements : 0);
        assert.equal(read.elements, elements, 'the page\'s elements: its own and the open dialogs\'');
        assert.ok(read.nodes <= this.nodeLimit, `${read.nodes} nodes, at most ${this.nodeLimit}`);
        if (model.boxes.length > 0) {
            const { caption, icon, text = read.box?.text } = model.boxes[0];
            assert.deepEqual(read.box, { caption, icon, text }, 'the box up now');
            assert.equal(read.focus, 'OK', 'the focus on the box\'s OK');
        } else {
            assert.equal(read.box, null, 'no box');
        }
        if (read.main) assertCountersAddUp(read.main, model.tips);
        if (read.loss) {
            assertResultsAddUp(read.loss);
            if (!model.auto) assert.deepEqual(resultTexts(read.loss), model.results, 'the results as the last evaluation left them');
        }
    }

}
