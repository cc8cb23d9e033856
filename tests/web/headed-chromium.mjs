// Chromium with a window of its own, on an X server started for it when there is no display, driven
// over the DevTools protocol alone: the one way found to put a page behind another tab, hidden, since
// every page Playwright drives stays visible. Node 20 needs --experimental-websocket for this.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { chromiumFlags, chromiumPath, eventually, until, within } from './page.mjs';

// Xvfb writes the number of the display it took to this descriptor.
const kDisplayDescriptor = 3;
// Room for a window around the largest viewport the walks use, 1024 × 768, with a browser's toolbar
// and frame: MiniBrowser's is 38 pixels high.
const kScreen = '1280x1024x24';
const kWindowSize = '1024,768';
// Far longer than either program takes to start or to end on a busy machine.
const kStartMs = 30_000;
const kStopMs = 5000;

// What the pattern's group finds in the stream once the process says it is ready.
export function started(child, stream, pattern, what) {
    return new Promise((resolve, reject) => {
        let text = '';
        const read = (chunk) => {
            text += chunk;
            const found = text.match(pattern);
            if (!found) return;
            // The rest flows on unread, so a full pipe never stops the process.
            stream.off('data', read);
            stream.resume();
            resolve(found[1]);
        };
        stream.on('data', read);
        child.once('exit', (code) => reject(new Error(`${what} ended (${code}) before it was ready: ${text}`)));
        setTimeout(() => reject(new Error(`${what} not ready within ${kStartMs} ms: ${text}`)), kStartMs).unref();
    });
}

// Whether any process of the group is there still.
function groupAlive(group) {
    try {
        process.kill(-group, 0);
        return true;
    } catch (error) {
        return error.code === 'EPERM';
    }
}

// Ends the process, asked first and killed when it lingers; with group, every process of the group it
// leads too, such as the browser a driver started, which the driver's end leaves running.
export async function stop(child, { group = false } = {}) {
    if (child.pid === undefined) return;
    const ended = () => child.exitCode !== null || child.signalCode !== null;
    const gone = () => ended() && !(group && groupAlive(child.pid));
    const signal = (name) => {
        try {
            if (group) process.kill(-child.pid, name);
            else child.kill(name);
        } catch {
            // Gone meanwhile.
        }
    };
    if (gone()) return;
    signal('SIGTERM');
    if (await eventually(gone, kStopMs)) return;
    signal('SIGKILL');
    await until(gone, `${child.spawnfile} (${child.pid}) still there after SIGKILL`, kStopMs);
}

// Takes every step in turn, each even when one before it failed; fails with the first failure. For
// ending what a test started, of which nothing may be left running.
export async function inTurn(...steps) {
    let failure = null;
    for (const step of steps) {
        try {
            await step();
        } catch (error) {
            failure ??= error;
        }
    }
    if (failure) throw failure;
}

// One tab's DevTools connection: commands with their replies, events, and every script error and
// console error the page reports.
async function connect(webSocketUrl) {
    const socket = new WebSocket(webSocketUrl);
    await within(new Promise((resolve, reject) => {
        socket.addEventListener('open', resolve, { once: true });
        socket.addEventListener('error', () => reject(new Error(`no connection to ${webSocketUrl}`)), { once: true });
    }), kStartMs, `the connection to ${webSocketUrl}`);
    const replies = new Map();
    const listeners = [];
    const errors = [];
    let sent = 0;
    socket.addEventListener('message', ({ data }) => {
        const { id, result, error, method, params } = JSON.parse(data);
        if (method) {
            for (const listener of listeners) listener(method, params);
            return;
        }
        const { resolve, reject } = replies.get(id);
        replies.delete(id);
        if (error) reject(new Error(`${error.message} (${error.code})`));
        else resolve(result);
    });
    listeners.push((method, params) => {
        if (method === 'Runtime.exceptionThrown') errors.push(params.exceptionDetails.exception?.description ?? params.exceptionDetails.text);
        if (method === 'Runtime.consoleAPICalled' && params.type === 'error') errors.push(params.args.map((a) => a.value).join(' '));
        if (method === 'Log.entryAdded' && params.entry.level === 'error') errors.push(params.entry.text);
    });
    const send = (method, params = {}) => within(new Promise((resolve, reject) => {
        replies.set(++sent, { resolve, reject });
        socket.send(JSON.stringify({ id: sent, method, params }));
    }), kStartMs, method);
    const next = (awaited) => new Promise((resolve) => listeners.push((method) => {
        if (method === awaited) resolve();
    }));
    await Promise.all([send('Runtime.enable'), send('Log.enable'), send('Page.enable')]);
    return { send, next, errors };
}

// The display to open windows on: the one there is, or an X server started for them, which close()
// stops again.
export async function xDisplay() {
    if (process.env.DISPLAY) return { display: process.env.DISPLAY, close: async () => {} };
    const xvfb = spawn('Xvfb', ['-displayfd', String(kDisplayDescriptor), '-screen', '0', kScreen, '-nolisten', 'tcp'],
        { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    try {
        return { display: `:${await started(xvfb, xvfb.stdio[kDisplayDescriptor], /^(\d+)\n/, 'Xvfb')}`, close: () => stop(xvfb) };
    } catch (error) {
        await stop(xvfb);
        throw error;
    }
}

export async function launchHeadedChromium() {
    const profile = mkdtempSync(join(tmpdir(), 'tippwerk-chromium-'));
    let screen;
    let chromium;
    const shutDown = () => inTurn(() => chromium && stop(chromium, { group: true }), () => screen?.close(),
        () => rmSync(profile, { recursive: true, force: true }));
    let endpoint;
    const devtools = async (path, method = 'GET') => {
        const response = await fetch(`${endpoint}${path}`, { method, signal: AbortSignal.timeout(kStartMs) });
        const text = await response.text();
        return text.startsWith('[') || text.startsWith('{') ? JSON.parse(text) : text;
    };
    // The tab Chromium opened with, put in front to hide the page behind it.
    let cover;
    try {
        screen = await xDisplay();
        const { display } = screen;
        // A process group of its own, so that stopping it stops every process it started.
        chromium = spawn(chromiumPath, [...chromiumFlags, `--user-data-dir=${profile}`, '--remote-debugging-port=0',
            `--window-size=${kWindowSize}`, 'about:blank'], { env: { ...process.env, DISPLAY: display }, stdio: ['ignore', 'ignore', 'pipe'], detached: true });
        const browserUrl = await started(chromium, chromium.stderr, /DevTools listening on (ws:\S+)/, 'Chromium');
        endpoint = `http://127.0.0.1:${new URL(browserUrl).port}`;
        [cover] = (await devtools('/json/list')).filter((target) => target.type === 'page');
    } catch (error) {
        await shutDown();
        throw error;
    }

    return {
        close: shutDown,
        version: async () => (await devtools('/json/version')).Browser,
        // A new tab in front, showing url after the init scripts (function texts) are installed.
        async open(url, { init = [] } = {}) {
            const target = await devtools('/json/new?about:blank', 'PUT');
            const connection = await connect(target.webSocketDebuggerUrl);
            for (const script of init) await connection.send('Page.addScriptToEvaluateOnNewDocument', { source: `(${script})();` });
            const loaded = connection.next('Page.loadEventFired');
            await connection.send('Page.navigate', { url });
            await within(loaded, kStartMs, `loading ${url}`);
            const visibility = () => tab.evaluate(() => document.visibilityState);
            const tab = {
                errors: connection.errors,
                // The function's value, run in the page with the arguments given.
                async evaluate(fn, ...args) {
                    const { result, exceptionDetails } = await connection.send('Runtime.evaluate', {
                        expression: `(${fn})(...${JSON.stringify(args)})`, returnByValue: true, awaitPromise: true,
                    });
                    if (exceptionDetails) throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
                    return result.value;
                },
                // A press of the left mouse button at the centre of what the selector finds, once it is
                // there: the page shows its dialogs when its engine has compiled, which may be after the load.
                async click(selector) {
                    const there = () => tab.evaluate((found) => document.querySelector(found) !== null, selector);
                    await until(there, `nothing to click at ${selector}`, kStartMs);
                    const { x, y } = await tab.evaluate((found) => {
                        const box = document.querySelector(found).getBoundingClientRect();
                        return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
                    }, selector);
                    for (const type of ['mousePressed', 'mouseReleased'])
                        await connection.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
                },
                async hide() {
                    await devtools(`/json/activate/${cover.id}`);
                    await until(async () => (await visibility()) === 'hidden', 'the tab behind another is not hidden');
                },
                async show() {
                    await devtools(`/json/activate/${target.id}`);
                    await until(async () => (await visibility()) === 'visible', 'the tab in front is not visible');
                },
            };
            return tab;
        },
    };
}
