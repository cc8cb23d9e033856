// The page's glue: shows the dialogs from their templates, passes the player's commands, keys and the
// timers' ticks to the engine, and shows what the engine writes. Every rule of the game is the engine's.
'use strict';
(() => {
    // What Escape sends in a Windows dialog, the dialog manager's Cancel command.
    const kCancelCommand = 2;
    // The engine's message box icons.
    const kBoxIcons = { 1: 'warning', 2: 'information' };
    // The engine's number for the main dialog, whose draws keep the screen on.
    const kMainDialog = 1;
    // The page's own timer: as fast as the browser runs a zero-delay timeout, which waits 4 ms once nested.
    const kFastestInterval = 0;
    // The worker's timers come due at the browser's minimum too: nothing nests there, and a zero delay
    // would tick thousands of times a second on a full core, a different program, not a faster one.
    const kWorkerInterval = 4;
    // The intervals a tick from the worker may wait for the page before a later one stands for it.
    const kStaleTicks = 2;

    const desk = document.getElementById('desk');
    const ended = document.getElementById('ended');
    const box = document.getElementById('message-box');
    const dialogs = new Map(); // the engine's dialog number -> the dialog shown
    const focusedControls = new WeakMap(); // a dialog shown -> the control that last had the focus in it
    const timers = new Map(); // the engine's dialog number -> the number of its running timer
    let timersStarted = 0;
    const waitingBoxes = [];
    // The engine's texts are Windows-1252, as on Windows.
    const engineText = new TextDecoder('windows-1252');
    const utf8 = new TextEncoder();
    let engine;

    const memory = () => new Uint8Array(engine.memory.buffer);

    function textAt(pointer) {
        const bytes = memory();
        return engineText.decode(bytes.subarray(pointer, bytes.indexOf(0, pointer)));
    }

    // Identifiers other than 100 are unique in a dialog, and the engine addresses no other. Found once
    // for each dialog shown, as the draws address the same few fields hundreds of times a second; a
    // label by the box that holds its value.
    const fields = new Map(); // the engine's dialog number -> its fields by identifier
    const control = (dialog, fieldId) => fields.get(dialog).get(fieldId);
    const valueOf = (field) => field.querySelector('.value') ?? field;

    // A value box is as wide as its template while its value has no more digits than that holds, so
    // the browser lays out the box alone; a longer value widens it by its digits, and so its column.
    function fitBox(box, before, after) {
        const fits = Number(box.dataset.fits);
        if (after.length === before.length || (after.length <= fits && before.length <= fits)) return;
        if (after.length > fits) box.style.setProperty('--digits', after.length);
        else box.style.removeProperty('--digits');
    }

    // A field is written only when its text changes, as a draw leaves most of them as they were, and a
    // label's through the text node it has, so the browser lays out again only what changed.
    function show(field, text) {
        if (field instanceof HTMLInputElement) {
            if (field.value !== text) field.value = text;
            return;
        }
        const before = field.textContent;
        if (before === text) return;
        if (field.dataset.fits) fitBox(field, before, text);
        if (field.firstChild instanceof Text) field.firstChild.nodeValue = text;
        else field.textContent = text;
    }

    const services = {
        readFieldText(dialog, fieldId, pointer, capacity) {
            const field = control(dialog, fieldId);
            const text = field instanceof HTMLInputElement ? field.value : field.textContent;
            const { written } = utf8.encodeInto(text, memory().subarray(pointer, pointer + capacity - 1));
            memory()[pointer + written] = 0;
        },
        showFieldText(dialog, fieldId, pointer) {
            show(control(dialog, fieldId), textAt(pointer));
        },
        showMessageBox(owner, text, caption, icon) {
            waitingBoxes.push({ text: textAt(text), caption: textAt(caption), icon: kBoxIcons[icon] });
            if (!box.open) showNextBox();
        },
        startTimer(dialog) {
            if (timers.has(dialog)) return;
            runTimer(dialog);
            if (dialog === kMainDialog) screenLock.hold();
        },
        stopTimer(dialog) {
            timers.delete(dialog);
            ticks.disarm(dialog);
            if (dialog === kMainDialog) screenLock.release();
        },
        openDialog(dialog, templateName) {
            const template = document.getElementById(`template-${textAt(templateName)}`);
            const shown = template.content.firstElementChild.cloneNode(true);
            listen(shown, dialog);
            desk.append(shown);
            dialogs.set(dialog, shown);
            fields.set(dialog, new Map([...shown.querySelectorAll('[data-id]')].map((field) => [Number(field.dataset.id), valueOf(field)])));
            shown.scrollIntoView({ block: 'nearest' });
            shown.focus({ preventScroll: true });
        },
        activateDialog(dialog) {
            activate(dialogs.get(dialog));
        },
        // The focus goes on to the dialog that remains, as Windows activates the next window.
        endDialog(dialog) {
            dialogs.get(dialog).remove();
            dialogs.delete(dialog);
            fields.delete(dialog);
            const remaining = [...dialogs.values()].at(-1);
            if (remaining && !remaining.contains(document.activeElement)) activate(remaining);
        },
        endProgram() {
            ended.hidden = false;
            ended.querySelector('button').focus();
        },
    };

    // The source of a timer's ticks hears when it starts and when it stops. A tick of a timer stopped
    // since, or stopped and started again, finds another number there and is dropped.
    function runTimer(dialog) {
        timers.set(dialog, ++timersStarted);
        ticks.arm(dialog, timersStarted);
    }

    // The focus back on the control of the dialog that last had it, or on its default button.
    const focusLastControl = (shown) => (focusedControls.get(shown) ?? shown.querySelector('button.default')).focus({ preventScroll: true });

    // As Windows activates a dialog: in view, the focus back on the control that last had it, or on the
    // default button, so Enter acts at once.
    function activate(shown) {
        shown.scrollIntoView({ block: 'nearest' });
        focusLastControl(shown);
    }

    // Says whether the timer still runs after its tick.
    function tick(dialog, timer) {
        if (timers.get(dialog) !== timer) return false;
        engine.dialogTimer(dialog);
        return timers.get(dialog) === timer;
    }

    // The worker's whole program, run from this function's text. The running timers come due together
    // every interval, as WM_TIMER's do, and go to the page as one message with the time it was sent.
    function tickWorker(interval) {
        const running = new Map(); // dialog -> the number of its timer
        let repeat = null;
        addEventListener('message', ({ data: { dialog, timer } }) => {
            if (timer === undefined) running.delete(dialog);
            else running.set(dialog, timer);
            if (running.size === 0) {
                clearInterval(repeat);
                repeat = null;
            } else if (repeat === null) {
                repeat = setInterval(() => postMessage({ sent: performance.timeOrigin + performance.now(), due: [...running] }), interval);
            }
        });
    }

    // A worker's timers go on at full rate in a hidden page, whose own the browser slows to a tick a second.
    // The page never answers a tick, which would cost it as much as the tick. Ticks that waited longer
    // than two intervals came due while the page was busy, and the ones sent since stand for them all,
    // so a busy page never works off a backlog; a tick that waited less only met the page drawing a frame.
    function workerTicks() {
        const program = new Blob([`(${tickWorker})(${kWorkerInterval});`], { type: 'text/javascript' });
        const worker = new Worker(URL.createObjectURL(program));
        worker.addEventListener('message', ({ data: { sent, due } }) => {
            if (performance.timeOrigin + performance.now() - sent > kStaleTicks * kWorkerInterval) return;
            for (const [dialog, timer] of due) tick(dialog, timer);
        });
        // Chromium makes a worker its policy refuses, and says so only by this event. The running timers
        // go on with the page's own timeouts, under new numbers so no tick of the worker's counts.
        worker.addEventListener('error', () => {
            worker.terminate();
            ticks = pageTicks();
            for (const dialog of timers.keys()) runTimer(dialog);
        });
        return {
            arm: (dialog, timer) => worker.postMessage({ dialog, timer }),
            disarm: (dialog) => worker.postMessage({ dialog }),
        };
    }

    // Each dialog's next timeout is set once its tick has been handled.
    function pageTicks() {
        const pending = new Map();
        const arm = (dialog, timer) => pending.set(dialog, setTimeout(() => {
            if (tick(dialog, timer)) arm(dialog, timer);
        }, kFastestInterval));
        return { arm, disarm: (dialog) => clearTimeout(pending.get(dialog)) };
    }

    let ticks;
    try {
        ticks = workerTicks();
    } catch {
        // No worker in this browser, or none allowed; a hidden page then draws about once a second.
        ticks = pageTicks();
    }

    // While the draws run in a visible page the screen stays on, so a phone neither locks nor freezes
    // the page. The browser lets go of the lock whenever the page is hidden, so it is asked for again
    // when the page is shown; where the browser lacks it or refuses, the draws go on without.
    const screenLock = (() => {
        let wanted = false;
        let asking = false;
        let held = null;
        function ask() {
            if (!wanted || asking || held || document.visibilityState !== 'visible' || !navigator.wakeLock) return;
            asking = true;
            navigator.wakeLock.request('screen').then((lock) => {
                asking = false;
                if (!wanted) {
                    lock.release();
                    return;
                }
                held = lock;
                lock.addEventListener('release', () => {
                    if (held === lock) held = null;
                });
            }, () => {
                asking = false;
            });
        }
        document.addEventListener('visibilitychange', ask);
        return {
            hold() {
                wanted = true;
                ask();
            },
            release() {
                wanted = false;
                held?.release();
                held = null;
            },
        };
    })();

    function showNextBox() {
        const next = waitingBoxes.shift();
        if (!next) return;
        box.querySelector('.title-bar-text').textContent = next.caption;
        box.querySelector('.message-text').textContent = next.text;
        box.dataset.icon = next.icon;
        box.setAttribute('role', next.icon === 'warning' ? 'alertdialog' : 'dialog');
        box.showModal();
    }

    const isNumeric = (field) => field instanceof HTMLInputElement && field.inputMode === 'numeric';

    // Keys as in a Windows dialog: Enter is the default button unless a button has the focus (then
    // the browser presses that one), Escape is the Cancel command; the edits take only digits typed.
    function listen(shown, dialog) {
        const defaultButton = shown.querySelector('button.default');
        shown.addEventListener('click', (event) => {
            const button = event.target.closest('button');
            if (!button) return;
            if (button.classList.contains('close')) engine.closeDialog(dialog);
            else engine.dialogCommand(dialog, Number(button.dataset.id));
        });
        shown.addEventListener('keydown', (event) => {
            if (event.key === 'Escape') {
                event.preventDefault();
                engine.dialogCommand(dialog, kCancelCommand);
            } else if (event.key === 'Enter' && !(event.target instanceof HTMLButtonElement)) {
                event.preventDefault();
                engine.dialogCommand(dialog, Number(defaultButton.dataset.id));
            }
        });
        shown.addEventListener('beforeinput', (event) => {
            if (event.inputType === 'insertText' && isNumeric(event.target) && /\D/.test(event.data ?? '')) event.preventDefault();
        });
        keepDigitsOfCompositions(shown);
        shown.addEventListener('focusin', ({ target }) => {
            if (target.dataset.id) focusedControls.set(shown, target);
        });
        // A click beside the controls leaves the focus where it is, or brings it back into this dialog,
        // as a click on a Windows dialog does; the close box never takes it. Nothing scrolls, so the
        // click ends where it began, on the close box too.
        shown.addEventListener('mousedown', (event) => {
            if (event.target.closest('input, button:not(.close)')) return;
            event.preventDefault();
            if (!shown.contains(document.activeElement)) focusLastControl(shown);
        });
    }

    // What an input method composes cannot be refused while it runs, so when it ends, the field gets
    // back its text from before with only the digits of the composition put in (full-width digits
    // as plain ones).
    function keepDigitsOfCompositions(shown) {
        let before = null;
        shown.addEventListener('compositionstart', ({ target }) => {
            before = isNumeric(target) ? { value: target.value, start: target.selectionStart, end: target.selectionEnd } : null;
        });
        shown.addEventListener('compositionend', ({ target, data }) => {
            if (!before || !/\D/.test(data)) return;
            const digits = data.normalize('NFKC').replace(/\D/g, '');
            const text = before.value.slice(0, before.start) + digits + before.value.slice(before.end);
            target.value = target.maxLength > 0 ? text.slice(0, target.maxLength) : text;
            const caret = Math.min(before.start + digits.length, target.value.length);
            target.setSelectionRange(caret, caret);
        });
    }

    // The next box comes up in the same moment, so the page never takes a click between two boxes.
    function dismissBox(event) {
        event.preventDefault();
        box.close();
        showNextBox();
    }
    box.querySelector('form').addEventListener('submit', dismissBox);
    box.addEventListener('cancel', dismissBox);
    box.querySelector('.close').addEventListener('click', dismissBox);
    // As on a Windows message box, a click on it or beside it (the browser gives the box the clicks
    // beside it) leaves the focus on OK, so Enter and Space still dismiss it.
    const okButton = box.querySelector('button[value="ok"]');
    box.addEventListener('mousedown', (event) => {
        if (event.target === okButton) return;
        event.preventDefault();
        okButton.focus();
    });

    // A new start seeds the random source from the clock's milliseconds, as Windows from its own.
    const start = () => engine.startProgram(Date.now() % 2 ** 32);
    ended.querySelector('button').addEventListener('click', () => {
        ended.hidden = true;
        start();
    });

    // Where the browser has no WebAssembly (a policy, a locked-down phone) or the engine fails to
    // start, the player is told so instead of seeing an empty desk.
    const noEngine = () => { document.getElementById('no-engine').hidden = false; };
    if (typeof WebAssembly !== 'object') {
        noEngine();
        return;
    }
    const module = Uint8Array.from(atob(document.getElementById('engine').textContent), (c) => c.charCodeAt(0));
    WebAssembly.instantiate(module, { page: services }).then(({ instance }) => {
        engine = instance.exports;
        engine._initialize();
        start();
    }).catch(noEngine);
})();
