// SPDX-License-Identifier: MIT
// The site's service worker. site.mjs puts before it BUILD, a hash of this build's files,
// and SHELL, the site's files, relative to the worker.
//
// On install it keeps the whole site (the page is one file with the program inlined);
// from then on every request for one of those files is answered from the cache first,
// so the site starts with no network. A new build brings a new worker with a new cache:
// it takes over at once, and removes the caches of the builds before it at its scope.
//
// Other deployments may share the origin (/tessary/ and /tessary-1.0/, say), and the
// browser's caches are the origin's: so a cache is named for the worker's scope as well
// as its build, 'tessary SCOPE BUILD', and a worker removes only those of its own scope.
// A space cannot occur in a scope (a URL), so the name's parts are found again exactly,
// and a scope that begins another (/tessary/ in /tessary-1.0/) never matches it. The
// name does not begin 'tessary-', which an earlier worker still serving another folder
// would remove as one of its own.
var PREFIX = 'tessary ' + self.registration.scope + ' ';
var CACHE = PREFIX + BUILD;

// Earlier builds named their cache 'tessary-HASH', for the build alone. Such a cache was
// made at this scope when it holds this scope's page and nothing from elsewhere (not
// even from a folder below it): the same build deployed in two folders shared one name,
// and that cache is left to the other.
function earlier(name) {
  if (!/^tessary-[0-9a-f]{16}$/.test(name)) return Promise.resolve(false);
  var scope = self.registration.scope;
  return caches.open(name).then(function (cache) { return cache.keys(); }).then(function (requests) {
    var urls = requests.map(function (request) { return request.url; });
    return urls.indexOf(scope) >= 0 && urls.every(function (url) {
      return url.indexOf(scope) === 0 && url.indexOf('/', scope.length) < 0;
    });
  });
}

function stale(name) {
  if (name.indexOf('tessary ') === 0) return Promise.resolve(name.indexOf(PREFIX) === 0 &&
    name !== CACHE && name.indexOf(' ', PREFIX.length) < 0);
  return earlier(name);
}

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
      return Promise.all(names.map(function (name) {
        return stale(name).then(function (old) { return old && caches.delete(name); });
      }));
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
