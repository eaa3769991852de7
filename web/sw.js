// SPDX-License-Identifier: MIT
// The site's service worker. site.mjs puts before it CACHE, the name of this build's
// cache, and SHELL, the site's files, relative to the worker.
//
// On install it keeps the whole site (the page is one file with the program inlined);
// from then on every request for one of those files is answered from the cache first,
// so the site starts with no network. A new build brings a new worker with a new cache
// name: it takes over at once, and removes the caches of the builds before it.

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(CACHE)
    // From the server, not the browser's HTTP cache: a stale page kept under this
    // build's name would stay until the next build.
    .then(function (cache) {
      return cache.addAll(SHELL.map(function (url) { return new Request(url, { cache: 'reload' }); }));
    })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys()
    .then(function (names) {
      return Promise.all(names.filter(function (name) {
        return name.indexOf('tessary-') === 0 && name !== CACHE;
      }).map(function (name) { return caches.delete(name); }));
    })
    .then(function () { return self.clients.claim(); }));
});

// Cache first, then the network. A page asked for with no network and not in the cache
// (the start URL with a query, say) gets the site's page.
self.addEventListener('fetch', function (event) {
  var request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE).then(function (cache) {
    return cache.match(request, { ignoreSearch: true }).then(function (kept) {
      return kept || fetch(request).catch(function (error) {
        if (request.mode !== 'navigate') throw error;
        return cache.match('./').then(function (page) { return page || Promise.reject(error); });
      });
    });
  }));
});
