// Chromium with a window of its own, on an X server started for it when there is no display, driven
// over the DevTools protocol alone: the one way found to put a page behind another tab, hidden, since
// every page Playwright drives stays visible. Node 20 needs --experimental-websocket for this.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { chromiumFlags, chromiumPath, eventually } from './page.mjs';

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

export async function stop(child) {
    if (child.exitCode !== null || child.signalCode !== null) return;
    const ended = new Promise((resolve) => child.once('exit', resolve));
    child.kill();
    const killer = setTimeout(() => child.kill('SIGKILL'), kStopMs);
    await ended;
    clearTimeout(killer);
}

// One tab's DevTools connection: commands with their replies, events, and every script error and
// console error the page reports.
async function connect(webSocketUrl) {
    const socket = new WebSocket(webSocketUrl);
    await new Promise((resolve, reject) => {
        socket.addEventListener('open', resolve, { once: true });
        socket.addEventListener('error', () => reject(new Error(`no connection to ${webSocketUrl}`)), { once: true });
    });
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
    const send = (method, params = {}) => new Promise((resolve, reject) => {
        replies.set(++sent, { resolve, reject });
        socket.send(JSON.stringify({ id: sent, method, params }));
    });
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
    const shutDown = async () => {
        if (chromium) await stop(chromium);
        await screen?.close();
        rmSync(profile, { recursive: true, force: true });
    };
    let endpoint;
    try {
        screen = await xDisplay();
        const { display } = screen;
        chromium = spawn(chromiumPath, [...chromiumFlags, `--user-data-dir=${profile}`, '--remote-debugging-port=0',
            `--window-size=${kWindowSize}`, 'about:blank'], { env: { ...process.env, DISPLAY: display }, stdio: ['ignore', 'ignore', 'pipe'] });
        const browserUrl = await started(chromium, chromium.stderr, /DevTools listening on (ws:\S+)/, 'Chromium');
        endpoint = `http://127.0.0.1:${new URL(browserUrl).port}`;
    } catch (error) {
        await shutDown();
        throw error;
    }
    const devtools = async (path, method = 'GET') => {
        const response = await fetch(`${endpoint}${path}`, { method });
        const text = await response.text();
        return text.startsWith('[') || text.startsWith('{') ? JSON.parse(text) : text;
    };
    // The tab Chromium opened with, put in front to hide the page behind it.
    const [cover] = (await devtools('/json/list')).filter((target) => target.type === 'page');

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
            await loaded;
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
                    if (!(await eventually(there, kStartMs))) throw new Error(`nothing to click at ${selector}`);
                    const { x, y } = await tab.evaluate((found) => {
                        const box = document.querySelector(found).getBoundingClientRect();
                        return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
                    }, selector);
                    for (const type of ['mousePressed', 'mouseReleased'])
                        await connection.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
                },
                async hide() {
                    await devtools(`/json/activate/${cover.id}`);
                    await eventually(async () => (await visibility()) === 'hidden');
                },
                async show() {
                    await devtools(`/json/activate/${target.id}`);
                    await eventually(async () => (await visibility()) === 'visible');
                },
            };
            return tab;
        },
    };
}
