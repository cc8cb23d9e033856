// Makes the page in one file: the dialogs from the resource script's templates, the classic controls
// of 98.css reduced to the rules the page uses, the page's own styles and script, and the engine.
// Usage: node make-page.mjs --rc FILE --header FILE --skeleton FILE --style FILE --classic DIR
//        --script FILE --engine FILE --out FILE
import { readFileSync, writeFileSync } from 'node:fs';
import { parseArgs } from 'node:util';

const fileOption = { type: 'string' };
const { values: files } = parseArgs({
    options: {
        rc: fileOption, header: fileOption, skeleton: fileOption, style: fileOption, classic: fileOption,
        script: fileOption, engine: fileOption, out: fileOption,
    },
});
for (const [name, value] of Object.entries(files))
    if (!value) throw new Error(`make-page: --${name} missing`);

const text = (file) => readFileSync(file, 'utf8');

// The controls the program never addresses.
const kUnaddressed = 100;
// A digit of the dialog font is about this many units wide, and an edit's frame and margins take
// this many: a field that does not scroll takes only the digits that fit.
const kDigitUnits = 5;
const kEditFrameUnits = 4;
// A dialog unit across is a quarter of the font's "0", so a digit of a value takes four.
const kValueDigitUnits = 4;

// --- The resource script -------------------------------------------------------------------------

function identifiers(header) {
    const values = new Map();
    for (const [, name, value] of header.matchAll(/^#define\s+(\w+)\s+(\d+)/gm))
        values.set(name, Number(value));
    return values;
}

// Splits at the commas outside quoted text; quoted items lose their quotes.
function items(line) {
    const found = [''];
    let quoted = false;
    for (const c of line) {
        if (c === '"') quoted = !quoted;
        if (c === ',' && !quoted) found.push('');
        else found[found.length - 1] += c;
    }
    return found.map((item) => item.trim().replace(/^"(.*)"$/s, '$1'));
}

function parseResourceScript(script, ids) {
    const lines = script.split(/\r?\n/).map((line) => line.replace(/^\s*\/\/.*$/, '').trim());
    const styles = new Map();
    for (const line of lines) {
        const macro = line.match(/^#define\s+(\w+)\s+(.+)$/);
        if (macro) styles.set(macro[1], macro[2].split('|').map((flag) => flag.trim()));
    }
    const flagsOf = (expression) => expression.split('|').map((flag) => flag.trim())
        .flatMap((flag) => (styles.has(flag) ? flagsOf(styles.get(flag).join('|')) : [flag]));
    const valueOf = (expression) => expression.split('+').reduce((sum, term) => {
        const name = term.trim();
        if (/^\d+$/.test(name)) return sum + Number(name);
        if (!ids.has(name)) throw new Error(`make-page: unknown identifier ${name}`);
        return sum + ids.get(name);
    }, 0);

    const dialogs = [];
    let dialog = null;
    for (const line of lines) {
        const head = line.match(/^(\w+)\s+DIALOG\s+(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)$/);
        if (head) {
            dialog = { name: head[1], width: Number(head[4]), height: Number(head[5]), controls: [] };
            dialogs.push(dialog);
        } else if (dialog && line.startsWith('CAPTION ')) {
            dialog.caption = items(line.slice('CAPTION '.length))[0];
        } else if (dialog && line.startsWith('CONTROL ')) {
            const [title, id, windowClass, style, x, y, w, h] = items(line.slice('CONTROL '.length));
            dialog.controls.push({
                text: title, id: valueOf(id), windowClass: windowClass.toUpperCase(), flags: flagsOf(style),
                x: Number(x), y: Number(y), w: Number(w), h: Number(h),
            });
        } else if (line === 'END') {
            dialog = null;
        }
    }
    return dialogs;
}

// --- The dialogs as markup -----------------------------------------------------------------------

const escape = (value) => String(value).replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);

function kindOf(control) {
    const has = (flag) => control.flags.includes(flag);
    if (control.windowClass === 'BUTTON') return has('BS_GROUPBOX') ? 'group' : 'button';
    if (control.windowClass === 'EDIT') return 'edit';
    return 'text';
}

const overlapsVertically = (a, b) => a.y < b.y + b.h && b.y < a.y + a.h;

// An edit's name is the label that starts its row, with the unit after it ("Spiel: DM") or, where the
// row has several edits and no units, its place in the row ("Ihre Zahlen: 3").
function accessibleName(edit, controls) {
    const labels = controls.filter((c) => kindOf(c) === 'text' && c.id === kUnaddressed && overlapsVertically(c, edit));
    const rowEdits = controls.filter((c) => kindOf(c) === 'edit' && overlapsVertically(c, edit)).sort((a, b) => a.x - b.x);
    const before = labels.filter((c) => c.x + c.w <= rowEdits[0].x).sort((a, b) => b.x - a.x)[0];
    const nextEdit = rowEdits.find((c) => c.x > edit.x);
    const unit = labels.find((c) => c.x >= edit.x + edit.w && (!nextEdit || c.x < nextEdit.x));
    const row = before ? before.text : '';
    if (unit) return `${row} ${unit.text}`.trim();
    if (rowEdits.length > 1) return `${row} ${rowEdits.indexOf(edit) + 1}`.trim();
    return row;
}

// --- The dialogs in reading order ----------------------------------------------------------------

// A screen reader reads the page in document order, so each dialog is written as a player reads it:
// the command buttons, then the fields row by row, each group holding the rows drawn inside it. Each
// box of fields is a grid whose lines are its controls' edges, each track at least the template's
// distance: the page shows the template exactly where everything fits, and widens a column or a row
// for a text that needs more room. On a narrow screen the same rows flow instead, the template's
// distances as the gaps between neighbours, and a row that no longer fits wraps.

const right = (c) => c.x + c.w;
const bottom = (c) => c.y + c.h;
const contains = (outer, inner) => inner.x >= outer.x && inner.y >= outer.y && right(inner) <= right(outer) &&
    bottom(inner) <= bottom(outer);

function fail(dialog, message) {
    throw new Error(`make-page: ${dialog.name}: ${message}`);
}

// Controls whose vertical extents meet the first one's form one row, read from left to right.
function rowsOf(controls) {
    const rows = [];
    for (const control of [...controls].sort((a, b) => a.y - b.y || a.x - b.x)) {
        const row = rows.find((r) => overlapsVertically(r.controls[0], control));
        if (row) row.controls.push(control);
        else rows.push({ controls: [control] });
    }
    for (const row of rows) {
        row.controls.sort((a, b) => a.x - b.x);
        row.y = Math.min(...row.controls.map((c) => c.y));
        row.bottom = Math.max(...row.controls.map(bottom));
    }
    return rows;
}

// A label followed by several values or edits of one kind and size, such as the six tip fields: on a
// narrow screen the label gets a line of its own, so the values stay under one another.
function isSeries(row) {
    const [label, ...values] = row.controls;
    return label.id === kUnaddressed && values.length > 2 &&
        values.every((v) => v.id !== kUnaddressed && kindOf(v) === kindOf(values[0]) && v.w === values[0].w);
}

// What a box holds (the dialog's fields, or a group) as rows and groups, top to bottom.
function blocksOf(dialog, fields, groups, box) {
    const inside = (c) => groups.filter((g) => g !== c && contains(g, c)).sort((a, b) => a.w * a.h - b.w * b.h)[0] ?? null;
    const blocks = [
        ...rowsOf(fields.filter((c) => inside(c) === box.group)),
        ...groups.filter((g) => inside(g) === box.group)
            .map((group) => ({ group, x: group.x, y: group.y, right: right(group), bottom: bottom(group) })),
    ].sort((a, b) => a.y - b.y);
    for (let i = 1; i < blocks.length; ++i)
        if (blocks[i].y < blocks[i - 1].bottom) fail(dialog, `a row or group at ${blocks[i].y} overlaps the one above it`);
    for (const block of blocks)
        if (block.group) block.blocks = blocksOf(dialog, fields, groups, block);
    return blocks;
}

// The box's grid: a line at each edge of the box and of everything in it.
function gridOf(box, items) {
    const lines = (edges) => [...new Set(edges)].sort((a, b) => a - b);
    const xs = lines([box.x, box.right, ...items.flatMap((c) => [c.x, right(c)])]);
    const ys = lines([box.y, ...(box.group ? [box.bottom] : []), ...items.flatMap((c) => [c.y, bottom(c)])]);
    const tracks = (edges, unit) => {
        const runs = [];
        for (const [i, edge] of edges.slice(1).entries()) {
            const size = edge - edges[i];
            if (runs.at(-1)?.size === size) ++runs.at(-1).count;
            else runs.push({ size, count: 1 });
        }
        const track = (size) => `minmax(calc(${size}*var(${unit})),auto)`;
        return runs.map(({ size, count }) => (count > 1 ? `repeat(${count},${track(size)})` : track(size))).join(' ');
    };
    return {
        tracks: `grid-template-columns:${tracks(xs, '--unit-x')};grid-template-rows:${tracks(ys, '--unit-y')}`,
        area: (c) => `grid-area:${ys.indexOf(c.y) + 1}/${xs.indexOf(c.x) + 1}/${ys.indexOf(bottom(c)) + 1}/${xs.indexOf(right(c)) + 1}`,
    };
}

// A text the program writes holds its value in a box of its own, which the browser lays out alone
// while the value keeps to the digits its template holds; the page widens the box for a longer one.
function textMarkup(control, id, style, distance) {
    if (control.id === kUnaddressed) return `<span ${id} ${style}>${escape(control.text)}</span>`;
    const fits = Math.floor((control.w - distance) / kValueDigitUnits);
    return `<span ${id} ${style}><span class="value" data-fits="${fits}">${escape(control.text)}</span></span>`;
}

function controlMarkup(control, controls, place, distance = 0) {
    const style = `style="${place};--w:${control.w};--h:${control.h}"`;
    const id = `data-id="${control.id}"`;
    switch (kindOf(control)) {
    case 'button': {
        const isDefault = control.flags.includes('BS_DEFPUSHBUTTON') ? ' class="default"' : '';
        return `<button type="button" ${id}${isDefault} ${style}>${escape(control.text)}</button>`;
    }
    case 'edit': {
        const scrolls = control.flags.includes('ES_AUTOHSCROLL');
        const digits = Math.floor((control.w - kEditFrameUnits) / kDigitUnits);
        const length = scrolls ? '' : ` maxlength="${digits}"`;
        const numeric = control.flags.includes('ES_NUMBER') ? ' inputmode="numeric"' : '';
        return `<input type="text" ${id} aria-label="${escape(accessibleName(control, controls))}"${numeric}${length}` +
            ` autocomplete="off" spellcheck="false" value="${escape(control.text)}" ${style}>`;
    }
    default:
        return textMarkup(control, id, style, distance);
    }
}

// The rows and groups of a box, each placed on the box's grid and by its gaps to its neighbours; the
// box takes the grid's tracks.
function blocksMarkup(box, controls) {
    const grid = gridOf(box, box.blocks.flatMap((block) => (block.group ? [block.group] : block.controls)));
    let above = box.y;
    const blocks = box.blocks.map((block) => {
        const topGap = block.y - above;
        above = block.bottom;
        if (block.group) {
            const { group } = block;
            const last = block.blocks.at(-1);
            const inner = blocksMarkup(block, controls);
            const place = `${grid.area(group)};--gap-left:${group.x - box.x};--gap-top:${topGap};--h:${group.h};` +
                `--gap-bottom:${block.bottom - (last ? last.bottom : group.y)};${inner.tracks}`;
            return `<fieldset data-id="${group.id}" style="${place}"><legend>${escape(group.text)}</legend>\n` +
                `${inner.markup}\n</fieldset>`;
        }
        let edge = box.x;
        const row = block.controls.map((control, i) => {
            // A text that the template puts right against its neighbour or the box's edge keeps a
            // distance of its own.
            const touches = kindOf(control) === 'text' && (block.controls[i + 1]?.x ?? box.right) === right(control);
            const distance = touches ? 1 : 0;
            const place = `${grid.area(control)};--gap-left:${control.x - edge}${touches ? `;--distance:${distance}` : ''}`;
            const markup = controlMarkup(control, controls, place, distance);
            edge = right(control);
            return markup;
        });
        return `<div class="${isSeries(block) ? 'row series' : 'row'}" style="--gap-top:${topGap}">${row.join('')}</div>`;
    });
    return { tracks: grid.tracks, markup: blocks.join('\n') };
}

// The buttons stand in a column right of the fields, in template order.
function commandsMarkup(dialog, buttons, fieldsWidth) {
    const left = Math.min(...buttons.map((b) => b.x));
    const width = Math.max(...buttons.map(right)) - left;
    if (left < fieldsWidth) fail(dialog, 'a button lies beside or left of the fields');
    let above = 0;
    const column = buttons.map((button) => {
        const markup = controlMarkup(button, dialog.controls, `--gap-left:${button.x - left};--gap-top:${button.y - above}`);
        above = bottom(button);
        return markup;
    });
    return `<div class="commands" style="--gap-left:${left - fieldsWidth};--gap-right:${dialog.width - left - width}">` +
        `${column.join('')}</div>`;
}

// Tab follows the template's order, as on Windows; the reading order must keep it.
function checkTabOrder(dialog, markup) {
    const stops = dialog.controls.filter((c) => c.flags.includes('WS_TABSTOP')).map((c) => String(c.id));
    const written = [...markup.matchAll(/<(?:button|input)[^>]* data-id="(\d+)"/g)].map((m) => m[1]);
    if (written.join() !== stops.join()) fail(dialog, `reading order changes the tab order: ${written}`);
}

// The page's dialogs in the order of the resource script: the first is the main dialog.
function dialogMarkup(dialog, index) {
    const heading = index === 0 ? 'h1' : 'h2';
    const buttons = dialog.controls.filter((c) => kindOf(c) === 'button');
    const fields = dialog.controls.filter((c) => kindOf(c) !== 'button' && kindOf(c) !== 'group');
    const groups = dialog.controls.filter((c) => kindOf(c) === 'group');
    const laidOut = [...fields, ...groups];
    // The fields' width keeps the template's margin on their right as on their left.
    const fieldsWidth = Math.max(...laidOut.map(right)) + Math.min(...laidOut.map((c) => c.x));
    const box = { group: null, x: 0, y: 0, right: fieldsWidth };
    box.blocks = blocksOf(dialog, fields, groups, box);
    const caption = `${dialog.name}-caption`;
    const fieldsBox = blocksMarkup(box, dialog.controls);
    const body = `${commandsMarkup(dialog, buttons, fieldsWidth)}\n` +
        `<div class="fields" style="${fieldsBox.tracks}">\n${fieldsBox.markup}\n</div>`;
    checkTabOrder(dialog, body);
    return `<template id="template-${dialog.name}">` +
        `<section class="window dialog" role="dialog" aria-labelledby="${caption}" data-dialog="${dialog.name}" tabindex="-1"` +
        ` style="--h:${dialog.height};--fields-w:${fieldsWidth}">` +
        `<div class="title-bar"><${heading} class="title-bar-text" id="${caption}">${escape(dialog.caption)}</${heading}>` +
        '<div class="title-bar-controls"><button type="button" class="close" aria-label="Schließen" aria-hidden="true"' +
        ' tabindex="-1"></button></div></div>\n' +
        `<div class="window-body dialog-body">\n${body}\n</div></section></template>`;
}

// --- 98.css, only what the page uses ---------------------------------------------------------------

// The tags, classes and attributes of the page's own markup.
function vocabulary(markup) {
    const words = { tags: new Set(['html', 'body']), classes: new Set(), attributes: new Set() };
    for (const [, tag, attributes] of markup.matchAll(/<([a-z][a-z0-9]*)([^>]*)>/g)) {
        words.tags.add(tag);
        for (const [, name, value] of attributes.matchAll(/\s([a-z][\w-]*)(?:="([^"]*)")?/g)) {
            words.attributes.add(name);
            if (value !== undefined) words.attributes.add(`${name}=${value}`);
            if (name === 'class') for (const c of value.split(/\s+/)) words.classes.add(c);
        }
    }
    return words;
}

function selectorMatchesPage(selector, words) {
    const plain = selector.replace(/::?[\w-]+(\((?:[^()]|\([^()]*\))*\))?/g, '');
    const tags = [...plain.matchAll(/(?:^|[\s>+~])([a-z][a-z0-9]*)/g)].map((m) => m[1]);
    const classes = [...plain.matchAll(/\.([\w-]+)/g)].map((m) => m[1]);
    const attributes = [...plain.matchAll(/\[([\w-]+)(?:([~^$*|]?=)"?([^\]"]*)"?)?\]/g)]
        .map(([, name, operator, value]) => (operator === '=' ? `${name}=${value}` : name));
    if (tags.length + classes.length + attributes.length === 0) return false;
    return tags.every((t) => words.tags.has(t)) && classes.every((c) => words.classes.has(c)) &&
        attributes.every((a) => words.attributes.has(a));
}

// Splits a style sheet into its top-level rules, each with its prelude and block.
function rules(sheet) {
    const found = [];
    let depth = 0;
    let start = 0;
    for (let i = 0; i < sheet.length; ++i) {
        if (sheet[i] === '{') ++depth;
        else if (sheet[i] === '}' && --depth === 0) {
            found.push(sheet.slice(start, i + 1).trim());
            start = i + 1;
        }
    }
    return found;
}

function reduceSheet(sheet, words) {
    const kept = [];
    for (const rule of rules(sheet)) {
        const open = rule.indexOf('{');
        const prelude = rule.slice(0, open).trim();
        const block = rule.slice(open + 1, -1);
        if (prelude.startsWith('@font-face')) continue; // the page uses the system's fonts
        if (prelude.startsWith('@media')) {
            const inner = reduceSheet(block, words);
            if (inner) kept.push(`${prelude}{${inner}}`);
            continue;
        }
        const selectors = prelude.split(',').filter((s) => selectorMatchesPage(s.trim(), words));
        if (selectors.length > 0) kept.push(`${selectors.join(',')}{${block}}`);
    }
    return kept.join('');
}

// --- The page ------------------------------------------------------------------------------------

// The style sheets' comments are for their readers, not the player's download.
const withoutComments = (sheet) => sheet.replace(/\/\*[\s\S]*?\*\//g, '');

const ids = identifiers(text(files.header));
const dialogs = parseResourceScript(text(files.rc), ids);
if (dialogs.length === 0) throw new Error('make-page: no dialog in the resource script');
const templates = dialogs.map(dialogMarkup).join('\n');

const skeleton = text(files.skeleton);
const classicPackage = JSON.parse(text(`${files.classic}/package.json`));
const classicLicence = text(`${files.classic}/LICENSE`).trim();
const classicSheet = withoutComments(text(`${files.classic}/dist/98.css`));
const words = vocabulary(skeleton + templates);
const style = `/* ${classicPackage.name} ${classicPackage.version}, ${classicPackage.homepage}, only the rules ` +
    `this page uses.\n${classicLicence} */\n${reduceSheet(classicSheet, words)}\n${withoutComments(text(files.style))}`;

// The substitutions are functions, so a "$" in any of them stays as it is.
const page = skeleton
    .replace('{{STYLE}}', () => style.trim())
    .replace('{{TEMPLATES}}', () => templates)
    .replace('{{ENGINE}}', () => readFileSync(files.engine).toString('base64'))
    .replace('{{SCRIPT}}', () => text(files.script).trim());
writeFileSync(files.out, page);
