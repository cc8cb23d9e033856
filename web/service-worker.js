// The installed app's service worker: keeps every file of the site in a cache of its own build, so the
// app starts with no network, and answers from it first. make-site writes in the build and the files.
'use strict';
// Per folder, so two Tippwerk sites on one server leave each other's caches alone.
const kCachePrefix = `Tippwerk ${self.registration.scope} `;
const kCache = `${kCachePrefix}{{BUILD}}`;
const kFiles = {{FILES}};
// The page, kept under the address the app starts from.
const kStartPage = './';

// Past any HTTP cache, which could still hold a file of the build before.
self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(kCache)
        .then((cache) => cache.addAll(kFiles.map((file) => new Request(file, { cache: 'reload' }))))
        .then(() => self.skipWaiting()));
});

// A new build takes over as soon as its files are kept: a page running already has all it needs
// from its own build, the engine included, and the next start shows the new one.
self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys().then((names) => Promise.all(names
        .filter((name) => name.startsWith(kCachePrefix) && name !== kCache)
        .map((name) => caches.delete(name)))));
});

// Only this build's cache answers; a page opened under any address of the folder is the page.
self.addEventListener('fetch', (event) => {
    event.respondWith(caches.open(kCache).then(async (cache) => (await cache.match(event.request)) ??
        (event.request.mode === 'navigate' ? await cache.match(kStartPage) : undefined) ?? fetch(event.request)));
});
