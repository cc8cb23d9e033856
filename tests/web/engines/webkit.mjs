// WebKitGTK's MiniBrowser under an X display, driven by Debian's WebKitWebDriver over classic W3C
// WebDriver, spoken here with fetch: real pointer and key input through WebDriver's actions.
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { inTurn, stop, xDisplay } from '../headed-chromium.mjs';
import { DESKTOP, eventually } from '../page.mjs';
import { centreOf, collectErrors, keyParts, kCommandMs, kPageMs, leavesBrowser } from './input.mjs';

const driverPath = process.env.TIPPWERK_WEBKIT_DRIVER ?? '/usr/bin/WebKitWebDriver';
const miniBrowserPath = process.env.TIPPWERK_MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const kDriverStartMs = 30_000;
const kPortTries = 3;
// Far longer than MiniBrowser takes to follow a new size on a busy machine: a second and a half at most here.
const kWindowMs = 10_000;
// WebDriver's codes for the keys that are no characters.
const kKeyCodes = {
    Enter: '\uE007', Escape: '\uE00C', Tab: '\uE004', Backspace: '\uE003', Delete: '\uE017', Shift: '\uE008',
    Control: '\uE009', Alt: '\uE00A', Home: '\uE011', End: '\uE010', ArrowLeft: '\uE012', ArrowUp: '\uE013',
    ArrowRight: '\uE014', ArrowDown: '\uE015',
};

async function freePort() {
    const server = createServer();
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const { port } = server.address();
    await new Promise((resolve) => server.close(resolve));
    return port;
}

// Makes MiniBrowser's window as large as the viewport wanted and what its toolbar and frame take. The
// page follows a new window size in its own time, so the viewport is waited for, and the window
// corrected by what the viewport then shows until it is the one wanted.
async function fitWindow(session, evaluate, wanted) {
    const viewport = () => evaluate(() => ({ width: innerWidth, height: innerHeight, screen: `${screen.width} × ${screen.height}` }));
    const end = performance.now() + kWindowMs;
    let seen = await viewport();
    while (seen.width !== wanted.width || seen.height !== wanted.height) {
        const window = await session('/window/rect', 'GET');
        if (performance.now() > end) {
            throw new Error(`MiniBrowser shows ${seen.width} × ${seen.height} for a viewport of ${wanted.width} × ${wanted.height} ` +
                `after ${kWindowMs} ms, in a window of ${window.width} × ${window.height} on a screen of ${seen.screen}`);
        }
        const before = seen;
        await session('/window/rect', 'POST', { width: window.width + wanted.width - seen.width, height: window.height + wanted.height - seen.height });
        await eventually(async () => {
            seen = await viewport();
            return seen.width !== before.width || seen.height !== before.height;
        }, end - performance.now());
    }
}

const keyStrokes = (keys) => keys.flatMap((value) => [{ type: 'keyDown', value }, { type: 'keyUp', value }]);

// WebDriver commands to the driver at the endpoint; a reply with an error fails with its message, and
// one that does not come in time fails with what was asked.
function webDriver(endpoint) {
    return async (method, path, body) => {
        try {
            const response = await fetch(`${endpoint}${path}`, {
                method, headers: { 'content-type': 'application/json' }, body: body && JSON.stringify(body), signal: AbortSignal.timeout(kCommandMs),
            });
            const { value } = await response.json();
            if (value?.error) throw new Error(`${value.error}: ${value.message}`);
            return value;
        } catch (error) {
            const reason = error.name === 'TimeoutError' ? `no answer within ${kCommandMs} ms` : error.cause?.message ?? error.message;
            throw new Error(`WebDriver ${method} ${path}: ${reason}`);
        }
    };
}

// WebKitWebDriver on a free port once it answers, leading a process group of its own with the
// browsers it starts, so that stopping it stops them. A port taken between finding it and the
// driver's start ends the driver at once, and another is tried.
async function startDriver(display) {
    for (let attempt = 1; ; ++attempt) {
        const port = await freePort();
        const driver = spawn(driverPath, [`--port=${port}`, '--replace-on-new-session'],
            { env: { ...process.env, DISPLAY: display }, stdio: 'ignore', detached: true });
        let failure = null;
        driver.once('error', (error) => { failure = error; });
        const ended = () => failure !== null || driver.exitCode !== null || driver.signalCode !== null;
        const command = webDriver(`http://127.0.0.1:${port}`);
        const answered = await eventually(async () => ended() || command('GET', '/status').then((status) => status.ready, () => false), kDriverStartMs);
        if (answered && !ended()) return { driver, command };
        const reason = failure?.message ?? (ended() ? `ended (${driver.exitCode ?? driver.signalCode}) before it was ready` : `not ready within ${kDriverStartMs} ms`);
        await stop(driver, { group: true });
        if (failure || !answered || attempt === kPortTries) throw new Error(`${driverPath}: ${reason}`);
    }
}

export async function launch() {
    const screen = await xDisplay();
    const work = mkdtempSync(join(tmpdir(), 'tippwerk-webkit-'));
    let driver = null;
    const shutDown = () => inTurn(() => driver && stop(driver, { group: true }), () => screen.close(),
        () => rmSync(work, { recursive: true, force: true }));
    let command;
    try {
        ({ driver, command } = await startDriver(screen.display));
    } catch (error) {
        await shutDown();
        throw error;
    }
    let version = null;
    const sessions = new Set();
    let copies = 0;

    return {
        canTap: false,
        version: async () => `WebKitGTK ${version ?? 'unknown until a page is opened'}`,
        // The sessions ended first, which closes their browsers; one already gone with its browser is
        // no fault, and stopping the driver's process group ends any browser left.
        async close() {
            for (const session of sessions) await command('DELETE', `/session/${session}`).catch(() => {});
            await shutDown();
        },
        // Each page is a MiniBrowser of its own, and so shares nothing with another; the driver keeps one
        // at a time, so a new page replaces the one before.
        async newPage({ device = DESKTOP, init = [] } = {}) {
            const { sessionId, capabilities } = await command('POST', '/session', { capabilities: { alwaysMatch: {
                'webkitgtk:browserOptions': { binary: miniBrowserPath, args: ['--automation'] },
                timeouts: { script: kPageMs, pageLoad: kPageMs },
            } } });
            version = capabilities.browserVersion;
            sessions.add(sessionId);
            const session = (path, method = 'POST', body = {}) => command(method, `/session/${sessionId}${path}`, method === 'POST' ? body : undefined);
            const actions = async (...sources) => {
                await session('/actions', 'POST', { actions: sources });
                await session('/actions', 'DELETE');
            };
            const mouse = (x, y, clicks) => actions({
                type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' },
                actions: [{ type: 'pointerMove', x, y, origin: 'viewport' },
                    ...Array(clicks).fill([{ type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }]).flat()],
            });
            async function evaluate(fn, ...args) {
                const script = `const done = arguments[arguments.length - 1];
                    Promise.resolve().then(() => (${fn})(...Array.prototype.slice.call(arguments, 0, -1)))
                        .then((value) => done({ value }), (error) => done({ error: String(error && error.stack || error) }));`;
                const { value, error } = await session('/execute/async', 'POST', { script, args });
                if (error) throw new Error(error);
                return value;
            }
            const centre = (selector) => evaluate(centreOf, selector);

            const close = async () => {
                sessions.delete(sessionId);
                await command('DELETE', `/session/${sessionId}`);
            };
            try {
                await fitWindow(session, evaluate, device.viewport);
            } catch (error) {
                await close().catch(() => {});
                throw error;
            }

            // WebDriver classic runs no script before the page's own: a page from disk is opened from a
            // copy that has them first; a page served gets the error collector once loaded.
            let fromDisk = false;
            async function open(url) {
                fromDisk = url.startsWith('file:');
                if (fromDisk) {
                    const folder = join(work, String(++copies));
                    mkdirSync(folder);
                    const copy = join(folder, basename(fileURLToPath(url)));
                    const prelude = `<script>${[collectErrors, ...init].map((script) => `(${script})();`).join('')}</script>`;
                    writeFileSync(copy, readFileSync(fileURLToPath(url), 'utf8').replace(/<meta charset="utf-8">/, (charset) => charset + prelude));
                    await session('/url', 'POST', { url: pathToFileURL(copy).href });
                    return;
                }
                if (init.length > 0) throw new Error('WebKit runs scripts before the page\'s own only in a page from disk');
                await session('/url', 'POST', { url });
                await evaluate(collectErrors);
            }

            return {
                goto: open,
                async reload() {
                    await session('/refresh');
                    if (!fromDisk) await evaluate(collectErrors);
                },
                close,
                click: async (selector) => {
                    const { x, y } = await centre(selector);
                    await mouse(x, y, 1);
                },
                dblclick: async (selector) => {
                    const { x, y } = await centre(selector);
                    await mouse(x, y, 2);
                },
                clickAt: (x, y) => mouse(Math.round(x), Math.round(y), 1),
                tap: () => { throw new Error('WebKitWebDriver has no touch: its touch pointer clicks with the mouse'); },
                type: (text) => actions({ type: 'key', id: 'keyboard', actions: keyStrokes([...text]) }),
                press(key) {
                    const codes = keyParts(key).map((part) => kKeyCodes[part] ?? part);
                    const pressed = codes.pop();
                    return actions({ type: 'key', id: 'keyboard', actions: [
                        ...codes.map((value) => ({ type: 'keyDown', value })), ...keyStrokes([pressed]),
                        ...codes.reverse().map((value) => ({ type: 'keyUp', value }))] });
                },
                evaluate,
                screenshot: async (path) => writeFileSync(path, Buffer.from(await session('/screenshot', 'GET'), 'base64')),
                errors: () => evaluate(() => window.tippwerkErrorsSeen ?? ['the page has no error collector']),
                requests: async () => (await evaluate(() => performance.getEntriesByType('resource').map((entry) => entry.name)))
                    .filter(leavesBrowser),
            };
        },
    };
}
