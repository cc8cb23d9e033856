// Registers the site's service worker, which makes the page an app that starts offline. A page opened
// from disk has none; where registering fails, the page runs as it would without.
'use strict';
if (/^https?:$/.test(location.protocol) && 'serviceWorker' in navigator)
    navigator.serviceWorker.register('{{WORKER}}').catch(() => {});
