// The page works offline: service-worker.js keeps every file of one build in the browser and answers the page
// from there; a new build takes over at the page's next start, never during a match.
'use strict';

function keepPageOffline() {
  navigator.serviceWorker.register('service-worker.js').catch((error) => {
    console.warn('Qorda: the page cannot keep its files for offline play:', error);
  });
}

// The worker fetches every file of the page as it installs: on a first visit it does so once the game's first
// picture is on the screen, at the game's first wait, not to slow the game's start.
function keepPageOfflineAtFirstWait() {
  const wait = Module.qordaWaitForEvent;
  Module.qordaWaitForEvent = (milliseconds) => {
    Module.qordaWaitForEvent = wait;
    keepPageOffline();
    return wait(milliseconds);
  };
}

if ('serviceWorker' in navigator) keepPageOfflineAtFirstWait();
