// Serves a folder on this machine's own address, for trying the site as an installed app: a service
// worker needs http(s), which a page opened from disk lacks. The page's tests serve it the same way.
// Usage: node serve-site.mjs FOLDER [PORT]
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const kDefaultPort = 8049;
const kTypes = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.webmanifest': 'application/manifest+json',
    '.png': 'image/png',
};

// The file an address names inside the folder, a folder's own address naming its index.html; null
// for an address that is malformed or leads outside.
function fileOf(root, url) {
    let path;
    try {
        path = decodeURIComponent(new URL(url, 'http://localhost').pathname);
    } catch {
        return null;
    }
    const file = resolve(root, `.${path}${path.endsWith('/') ? 'index.html' : ''}`);
    return file.startsWith(root + sep) ? file : null;
}

// Resolves once the server listens; port 0 takes any free one.
export async function serveFolder(folder, port = 0) {
    const root = resolve(folder);
    const server = createServer(async (request, response) => {
        const file = fileOf(root, request.url);
        const body = file && await readFile(file).catch(() => null);
        if (!body) {
            response.writeHead(404, { 'content-type': 'text/plain; charset=utf-8' });
            response.end('Nicht gefunden\n');
            return;
        }
        response.writeHead(200, { 'content-type': kTypes[extname(file)] ?? 'application/octet-stream' });
        response.end(body);
    });
    await new Promise((listening, failed) => {
        server.once('error', failed);
        server.listen(port, '127.0.0.1', listening);
    });
    return server;
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
    const [folder, port = kDefaultPort] = process.argv.slice(2);
    if (!folder) throw new Error('usage: node serve-site.mjs FOLDER [PORT]');
    const server = await serveFolder(folder, Number(port));
    console.log(`Tippwerk at http://localhost:${server.address().port}/ (Ctrl+C stops it)`);
}
