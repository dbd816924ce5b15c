// The page's service worker: it keeps every file of one build of the page in a cache named after the build's
// version and answers the page from there, so that the game starts without the network and no page mixes the
// files of two builds. The build fills in its files, their hashes and its version
// (cmake/service_worker.cmake).
//
// A new build brings a new worker, which installs while the game runs and then waits: the page that runs
// keeps its build. The next page that starts under the old worker hands over to it (kHandOverPage).
'use strict';

const kVersion = '@QORDA_BUILD_VERSION@';
const kFiles = new Map([
@QORDA_BUILD_FILES@]);
const kCachePrefix = 'qorda-';
const kCacheName = kCachePrefix + kVersion;
const kTakeOver = 'take over';  // sent by the worker of the build before: every build keeps the word

// What a page gets at its start while a new build waits, instead of the game: nothing that the old worker
// would have to answer, as Chromium holds the new worker back while the old one answers requests. It starts
// again once the new worker controls it (or, should the handover stall, after a while).
const kHandOverPage = `<!doctype html><html lang="en"><meta charset="utf-8"><title>Qorda</title>
<link rel="icon" href="data:,"><body style="background: #000"><script>
navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
navigator.serviceWorker.getRegistration().then((registration) => registration.waiting || location.reload());
setTimeout(() => location.reload(), 3000);
</script>`;

function hex(buffer) {
  return [...new Uint8Array(buffer)].map((byte) => byte.toString(16).padStart(2, '0')).join('');
}

// A host caught in the middle of an upload serves files of two builds: each file must be this build's own.
async function fetchBuildFile(name, hash) {
  const response = await fetch(name, {cache: 'no-cache'});
  if (!response.ok) throw new Error(`Qorda: ${name} answered ${response.status}`);
  const bytes = await response.arrayBuffer();
  if (hex(await crypto.subtle.digest('SHA-256', bytes)) !== hash) {
    throw new Error(`Qorda: ${name} is not the one of build ${kVersion}`);
  }
  return new Response(bytes, {headers: response.headers});
}

// The cache is filled only once every file has come, so that it never holds part of a build.
async function storeBuild() {
  const names = [...kFiles.keys()];
  const responses = await Promise.all(names.map((name) => fetchBuildFile(name, kFiles.get(name))));
  const cache = await caches.open(kCacheName);
  await Promise.all(names.map((name, i) => cache.put(name, responses[i])));
}

async function dropOtherBuilds() {
  for (const name of await caches.keys()) {
    if (name.startsWith(kCachePrefix) && name !== kCacheName) await caches.delete(name);
  }
}

// The page's address is its index.html, whatever the query says.
function buildFileUrl(address) {
  const url = new URL(address);
  url.search = '';
  if (url.pathname.endsWith('/')) url.pathname += 'index.html';
  return url.href;
}

async function answer(request) {
  const cache = await caches.open(kCacheName);
  return (await cache.match(buildFileUrl(request.url))) || fetch(request);
}

function handOver() {
  self.registration.waiting.postMessage(kTakeOver);
  return new Response(kHandOverPage, {headers: {'Content-Type': 'text/html'}});
}

self.addEventListener('install', (event) => event.waitUntil(storeBuild()));
self.addEventListener('activate', (event) => event.waitUntil(dropOtherBuilds()));
self.addEventListener('message', (event) => {
  if (event.data === kTakeOver) self.skipWaiting();
});
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  event.respondWith(request.mode === 'navigate' && self.registration.waiting ? handOver() : answer(request));
});
