// The page works offline: service-worker.js keeps every file of one build in the browser and answers the page
// from there; a new build takes over at the page's next start, never during a match.
'use strict';

function keepPageOffline() {
  navigator.serviceWorker.register('service-worker.js').catch((error) => {
    console.warn('Qorda: the page cannot keep its files for offline play:', error);
  });
}

// Once the game's files are in, so as not to compete with them on a first visit.
if ('serviceWorker' in navigator) Module.preRun.push(keepPageOffline);
