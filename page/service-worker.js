// The page's service worker, on the web only (page.js registers it over
// http and https): it keeps the page's own files in a cache named for this
// build, and answers each request for one from that cache, so that the page
// opens and counts with no network, from a phone's home screen too. A build
// whose files differ has another name (stamped in when the page is built),
// so a visit online installs its files and drops the former build's.
'use strict';

const kCachePrefix = 'erilaisetrivit-';
const kCache = `${kCachePrefix}@PAGE_VERSION@`;
const kFiles = ['./', 'index.html', 'style.css', 'texts.js', 'slip.js', 'games.js', 'page.js', 'engine.js',
                'manifest.webmanifest', 'icon-192.png', 'icon-512.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
      .then((names) => Promise.all(names.filter((name) => name.startsWith(kCachePrefix) && name !== kCache)
          .map((name) => caches.delete(name))))
      .then(() => self.clients.claim()));
});

// A file of the page's from the cache, else from the network; a request of
// any other origin is left to the browser (the page makes none).
self.addEventListener('fetch', (event) => {
  const {request} = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith(caches.open(kCache)
      .then((cache) => cache.match(request, {ignoreSearch: true}))
      .then((kept) => kept ?? fetch(request)));
});
