// What the stress walk reads of the page in one moment, and the places it points at: run in the page.
export const dialogSelector = (name) => `[data-dialog="${name}"]`;
export const BOX = '#message-box';
export const OK = '#message-box button[value="ok"]';
export const NEW_START = '#ended button';
export const control = (dialog, id) => `${dialog} [data-id="${id}"]`;
export const closeBox = (dialog) => `${dialog} .title-bar .close`;

// Everything a check needs, read in one go so no tick of the draws falls between two fields: each
// dialog's fields by identifier, the box, where the focus is and where Tab takes it, and the page's size.
export function snapshot() {
    const fieldsOf = (name) => {
        const dialog = document.querySelector(`[data-dialog="${name}"]`);
        if (!dialog) return null;
        return Object.fromEntries([...dialog.querySelectorAll('[data-id]:not([data-id="100"])')]
            .map((e) => [e.dataset.id, e instanceof HTMLInputElement ? e.value : e.textContent]));
    };
    const box = document.getElementById('message-box');
    const active = document.activeElement;
    const inDialog = active?.closest('[data-dialog]');
    let focus = active?.tagName.toLowerCase() ?? 'none';
    if (active === box.querySelector('button[value="ok"]')) focus = 'OK';
    else if (active === document.querySelector('#ended button')) focus = 'Neu starten';
    else if (inDialog) focus = active === inDialog ? inDialog.dataset.dialog : `${inDialog.dataset.dialog} ${active.dataset.id}`;
    if (!document.hasFocus()) focus = 'outside the page';
    // Whether Tab or Shift+Tab would take the focus out of the page, to the browser's own controls:
    // no control to tab to comes after the focus, or before it.
    const tabStops = [...document.querySelectorAll('input, button')]
        .filter((e) => e.tabIndex >= 0 && e.getClientRects().length > 0 && !e.closest('dialog:not([open])'));
    const where = (e) => active.compareDocumentPosition(e);
    const tabLeaves = {
        Tab: !tabStops.some((e) => where(e) & Node.DOCUMENT_POSITION_FOLLOWING),
        'Shift+Tab': !tabStops.some((e) => (where(e) & Node.DOCUMENT_POSITION_PRECEDING) && !(where(e) & Node.DOCUMENT_POSITION_CONTAINS)),
    };
    let nodes = 0;
    for (const walker = document.createTreeWalker(document); walker.nextNode();) ++nodes;
    return {
        main: fieldsOf('LOTTODIALOG'),
        loss: fieldsOf('VERLUSTDIALOG'),
        box: box.open ? {
            caption: box.querySelector('.title-bar-text').textContent,
            text: box.querySelector('.message-text').textContent,
            icon: box.dataset.icon,
        } : null,
        focus,
        tabLeaves,
        ended: !document.getElementById('ended').hidden,
        elements: document.getElementsByTagName('*').length,
        nodes,
    };
}

// The page's script heap once collected, where the engine tells it (Chromium, started to allow both).
export function collectedHeap() {
    globalThis.gc?.();
    return performance.memory?.usedJSHeapSize ?? null;
}

// How many elements and nodes each dialog brings, from its template.
export function dialogSizes() {
    const size = (name) => {
        const dialog = document.getElementById(`template-${name}`).content.firstElementChild;
        let nodes = 1;
        for (const walker = document.createTreeWalker(dialog); walker.nextNode();) ++nodes;
        return { elements: 1 + dialog.getElementsByTagName('*').length, nodes };
    };
    return { main: size('LOTTODIALOG'), loss: size('VERLUSTDIALOG') };
}

// Points on the box and beside it, in the viewport: the box's text and caption, and the middle of
// every control of the dialogs behind it and a corner of the desk that no button of the box covers.
export function spotsOnAndBesideBox() {
    const box = document.getElementById('message-box');
    const middle = (element) => {
        const { x, y, width, height } = element.getBoundingClientRect();
        return [x + width / 2, y + height / 2];
    };
    const beside = [...document.querySelectorAll('[data-dialog] [data-id]:not([data-id="100"])')].map(middle)
        .concat([[1, innerHeight - 1], [innerWidth - 1, innerHeight - 1]])
        .filter(([x, y]) => x >= 0 && y >= 0 && x < innerWidth && y < innerHeight
            && !document.elementFromPoint(x, y)?.closest('#message-box button'));
    return { on: [middle(box.querySelector('.message-text')), middle(box.querySelector('.title-bar-text'))], beside };
}

// The middle of a part of a dialog that is no control, in view: a label or a group's title.
export function besideControls(dialogSelector) {
    const label = document.querySelector(`${dialogSelector} .dialog-body span[data-id="100"]`);
    label.scrollIntoView({ block: 'nearest' });
    const { x, y, width, height } = label.getBoundingClientRect();
    return [x + width / 2, y + height / 2];
}
