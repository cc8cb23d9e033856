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

function controlMarkup(control, controls) {
    const place = `style="--x:${control.x};--y:${control.y};--w:${control.w};--h:${control.h}"`;
    const id = `data-id="${control.id}"`;
    switch (kindOf(control)) {
    case 'button': {
        const isDefault = control.flags.includes('BS_DEFPUSHBUTTON') ? ' class="default"' : '';
        return `<button type="button" ${id}${isDefault} ${place}>${escape(control.text)}</button>`;
    }
    case 'edit': {
        const scrolls = control.flags.includes('ES_AUTOHSCROLL');
        const digits = Math.floor((control.w - kEditFrameUnits) / kDigitUnits);
        const length = scrolls ? '' : ` maxlength="${digits}"`;
        const numeric = control.flags.includes('ES_NUMBER') ? ' inputmode="numeric"' : '';
        return `<input type="text" ${id} aria-label="${escape(accessibleName(control, controls))}"${numeric}${length}` +
            ` autocomplete="off" spellcheck="false" value="${escape(control.text)}" ${place}>`;
    }
    case 'group':
        return `<fieldset ${id} ${place}><legend>${escape(control.text)}</legend></fieldset>`;
    default:
        return `<span ${id} ${place}>${escape(control.text)}</span>`;
    }
}

// The page's dialogs in the order of the resource script: the first is the main dialog.
function dialogMarkup(dialog, index) {
    const heading = index === 0 ? 'h1' : 'h2';
    const fields = dialog.controls.filter((c) => kindOf(c) !== 'button');
    const fieldsWidth = Math.max(...fields.map((c) => c.x + c.w)) + Math.min(...fields.map((c) => c.x));
    const fieldsHeight = Math.max(...fields.map((c) => c.y + c.h)) + Math.min(...fields.map((c) => c.y));
    const caption = `${dialog.name}-caption`;
    const size = `--w:${dialog.width};--h:${dialog.height};--fields-w:${fieldsWidth};--fields-h:${fieldsHeight}`;
    return `<template id="template-${dialog.name}">` +
        `<section class="window dialog" role="dialog" aria-labelledby="${caption}" data-dialog="${dialog.name}" tabindex="-1" style="${size}">` +
        `<div class="title-bar"><${heading} class="title-bar-text" id="${caption}">${escape(dialog.caption)}</${heading}>` +
        '<div class="title-bar-controls"><button type="button" class="close" aria-label="Schließen" tabindex="-1"></button></div></div>\n' +
        `<div class="window-body dialog-body">\n${dialog.controls.map((c) => controlMarkup(c, dialog.controls)).join('\n')}\n</div>` +
        '</section></template>';
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

const ids = identifiers(text(files.header));
const dialogs = parseResourceScript(text(files.rc), ids);
if (dialogs.length === 0) throw new Error('make-page: no dialog in the resource script');
const templates = dialogs.map(dialogMarkup).join('\n');

const skeleton = text(files.skeleton);
const classicPackage = JSON.parse(text(`${files.classic}/package.json`));
const classicLicence = text(`${files.classic}/LICENSE`).trim();
const classicSheet = text(`${files.classic}/dist/98.css`).replace(/\/\*[\s\S]*?\*\//g, '');
const words = vocabulary(skeleton + templates);
const style = `/* ${classicPackage.name} ${classicPackage.version}, ${classicPackage.homepage}, only the rules ` +
    `this page uses.\n${classicLicence} */\n${reduceSheet(classicSheet, words)}\n${text(files.style)}`;

// The substitutions are functions, so a "$" in any of them stays as it is.
const page = skeleton
    .replace('{{STYLE}}', () => style.trim())
    .replace('{{TEMPLATES}}', () => templates)
    .replace('{{ENGINE}}', () => readFileSync(files.engine).toString('base64'))
    .replace('{{SCRIPT}}', () => text(files.script).trim());
writeFileSync(files.out, page);
