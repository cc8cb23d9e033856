// The page's glue: shows the dialogs from their templates, passes the player's commands, keys and the
// timers' ticks to the engine, and shows what the engine writes. Every rule of the game is the engine's.
'use strict';
(() => {
    // What Escape sends in a Windows dialog, the dialog manager's Cancel command.
    const kCancelCommand = 2;
    // The engine's message box icons.
    const kBoxIcons = { 1: 'warning', 2: 'information' };
    // The one timer of each dialog: as fast as the browser runs a zero-delay timeout.
    const kFastestInterval = 0;

    const desk = document.getElementById('desk');
    const ended = document.getElementById('ended');
    const box = document.getElementById('message-box');
    const dialogs = new Map(); // the engine's dialog number -> the dialog shown
    const focusedControls = new WeakMap(); // a dialog shown -> the control that last had the focus in it
    const timers = new Map(); // the engine's dialog number -> its pending tick
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

    // Identifiers other than 100 are unique in a dialog, and the engine addresses no other.
    const control = (dialog, fieldId) => dialogs.get(dialog).querySelector(`[data-id="${fieldId}"]`);

    const services = {
        readFieldText(dialog, fieldId, pointer, capacity) {
            const field = control(dialog, fieldId);
            const text = utf8.encode(field instanceof HTMLInputElement ? field.value : field.textContent);
            const length = Math.min(text.length, capacity - 1);
            memory().set(text.subarray(0, length), pointer);
            memory()[pointer + length] = 0;
        },
        showFieldText(dialog, fieldId, pointer) {
            const field = control(dialog, fieldId);
            if (field instanceof HTMLInputElement) field.value = textAt(pointer);
            else field.textContent = textAt(pointer);
        },
        showMessageBox(owner, text, caption, icon) {
            waitingBoxes.push({ text: textAt(text), caption: textAt(caption), icon: kBoxIcons[icon] });
            if (!box.open) showNextBox();
        },
        startTimer(dialog) {
            if (!timers.has(dialog)) armTimer(dialog);
        },
        stopTimer(dialog) {
            clearTimeout(timers.get(dialog));
            timers.delete(dialog);
        },
        openDialog(dialog, templateName) {
            const template = document.getElementById(`template-${textAt(templateName)}`);
            const shown = template.content.firstElementChild.cloneNode(true);
            listen(shown, dialog);
            desk.append(shown);
            dialogs.set(dialog, shown);
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
            const remaining = [...dialogs.values()].at(-1);
            if (remaining && !remaining.contains(document.activeElement)) activate(remaining);
        },
        endProgram() {
            ended.hidden = false;
            ended.querySelector('button').focus();
        },
    };

    // Armed again before the tick runs, so a tick that stops its own timer stops the next one too.
    function armTimer(dialog) {
        timers.set(dialog, setTimeout(() => {
            armTimer(dialog);
            engine.dialogTimer(dialog);
        }, kFastestInterval));
    }

    // As Windows activates a dialog: in view, the focus back on the control that last had it, or on the
    // default button, so Enter acts at once.
    function activate(shown) {
        shown.scrollIntoView({ block: 'nearest' });
        (focusedControls.get(shown) ?? shown.querySelector('button.default')).focus({ preventScroll: true });
    }

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
        // as a click on a Windows dialog does; the close box never takes it.
        shown.addEventListener('mousedown', (event) => {
            if (event.target.closest('input, button:not(.close)')) return;
            event.preventDefault();
            if (!shown.contains(document.activeElement)) activate(shown);
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
    box.querySelector('.close').addEventListener('mousedown', (event) => event.preventDefault());

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
