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
            shown.focus();
            shown.scrollIntoView({ block: 'nearest' });
        },
        endDialog(dialog) {
            dialogs.get(dialog).remove();
            dialogs.delete(dialog);
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

    function showNextBox() {
        const next = waitingBoxes.shift();
        if (!next) return;
        box.querySelector('.title-bar-text').textContent = next.caption;
        box.querySelector('.message-text').textContent = next.text;
        box.dataset.icon = next.icon;
        box.setAttribute('role', next.icon === 'warning' ? 'alertdialog' : 'dialog');
        box.showModal();
    }

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
            const typed = event.inputType === 'insertText' || event.inputType === 'insertCompositionText';
            if (typed && event.target.inputMode === 'numeric' && /\D/.test(event.data ?? '')) event.preventDefault();
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

    // A new start seeds the random source from the clock's milliseconds, as Windows from its own.
    const start = () => engine.startProgram(Date.now() % 2 ** 32);
    ended.querySelector('button').addEventListener('click', () => {
        ended.hidden = true;
        start();
    });

    const module = Uint8Array.from(atob(document.getElementById('engine').textContent), (c) => c.charCodeAt(0));
    WebAssembly.instantiate(module, { page: services }).then(({ instance }) => {
        engine = instance.exports;
        engine._initialize();
        start();
    });
})();
