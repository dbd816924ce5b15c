// The page around the game: the canvas and its keyboard, the files that the game reads and the maps that it
// saves, the game's console output, and the page's part of the game's waits and sound
// (src/platform/platform_web.cpp calls the Module.qorda* functions).
//
// Files: the pictures and the maps that come with the page are in /bundle; the maps saved in the editor or
// brought in by the player are in /saved, kept in the browser's storage (IndexedDB). The game works in
// /qorda, where it finds the files of /bundle with those of /saved over them, so that a saved map wins over
// a bundled one of the same name, as a map in the working directory does on the desktop.
'use strict';

const kBundle = '/bundle';
const kSaved = '/saved';
const kWorkFolder = '/qorda';
const kMapExtension = '.txt';

const canvas = document.getElementById('canvas');
const mapsButton = document.getElementById('maps-button');
const mapsPanel = document.getElementById('maps');
const mapList = document.getElementById('map-list');
const mapFiles = document.getElementById('map-files');

// ---- The keyboard

// SDL takes the game's keys from the whole page and keeps them from the browser: no key of the game scrolls,
// moves the focus or leaves the page. F11 alone stays the browser's full screen and never reaches the game,
// whose own full screen key is Alt+Enter.
window.addEventListener('keydown', (event) => {
  if (event.key === 'F11') event.stopImmediatePropagation();
}, true);

function focusGame() {
  if (document.activeElement !== canvas) canvas.focus({preventScroll: true});
}
canvas.addEventListener('mousedown', focusGame);
window.addEventListener('load', focusGame);

// ---- Waiting: the game sleeps until the page has an event for it, or its polling interval ends

const wakers = new Set();

function wakeGame() {
  for (const wake of [...wakers]) wake();
}

// The game is woken only once SDL's own handler of the event has queued it.
for (const type of ['keydown', 'keyup', 'keypress', 'mousedown', 'mouseup', 'mousemove', 'wheel', 'resize',
                    'focus', 'blur', 'visibilitychange', 'fullscreenchange', 'touchstart', 'touchend']) {
  window.addEventListener(type, () => setTimeout(wakeGame, 0), true);
}

// ---- The game's console output: line by line as the game writes it, and a line that the game leaves
// unfinished ("Error opening file ...") as soon as the game next waits.

function consoleWriter(log) {
  let bytes = [];
  let pending = false;
  const flush = () => {
    pending = false;
    if (bytes.length === 0) return;
    log(new TextDecoder().decode(new Uint8Array(bytes)));
    bytes = [];
  };
  return (byte) => {
    if (byte === null || byte === 10) {
      flush();
      return;
    }
    bytes.push(byte);
    if (!pending) {
      pending = true;
      setTimeout(flush, 0);
    }
  };
}

// ---- Files

function fileNames(folder) {
  return Module.FS.readdir(folder).filter((name) => name !== '.' && name !== '..');
}

function readFileOrNull(path) {
  try {
    return Module.FS.readFile(path);
  } catch (error) {
    return null;
  }
}

function sameBytes(a, b) {
  return a !== null && b !== null && a.length === b.length && a.every((byte, i) => byte === b[i]);
}

function isMapName(name) {
  return name.endsWith(kMapExtension) && name.length > kMapExtension.length;
}

function storeInBrowser() {
  return new Promise((resolve) => {
    Module.FS.syncfs(false, (error) => {
      if (error) console.error('Qorda: the maps could not be stored in this browser:', error);
      resolve();
    });
  });
}

// The browser may clear a site's storage when the disk runs short, unless the site may keep it: the page asks
// once, when it stores a map of the player's.
let storageAsked = false;

function askToKeepStorage() {
  if (storageAsked || !navigator.storage || !navigator.storage.persist) return;
  storageAsked = true;
  navigator.storage.persist();
}

// The maps that the game saved in its folder since they were last stored: every map that is neither the
// stored one nor, when none is stored, the bundled one.
function storeSavedMaps() {
  for (const name of fileNames(kWorkFolder).filter(isMapName)) {
    const bytes = Module.FS.readFile(`${kWorkFolder}/${name}`);
    const stored = readFileOrNull(`${kSaved}/${name}`);
    if (sameBytes(bytes, stored)) continue;
    if (stored === null && sameBytes(bytes, readFileOrNull(`${kBundle}/${name}`))) continue;
    Module.FS.writeFile(`${kSaved}/${name}`, bytes);
    askToKeepStorage();
  }
  return storeInBrowser().then(listSavedMaps);
}

function makeWorkFolder() {
  Module.FS.mkdir(kWorkFolder);
  for (const folder of [kBundle, kSaved]) {
    for (const name of fileNames(folder)) {
      Module.FS.writeFile(`${kWorkFolder}/${name}`, Module.FS.readFile(`${folder}/${name}`));
    }
  }
  Module.FS.chdir(kWorkFolder);
}

// Map files from the player's disk: each one goes into the game's folder and the browser's storage under its
// own name, and "Load map" finds it by that name without ".txt".
async function importMaps(files) {
  let imported = 0;
  for (const file of files) {
    if (!isMapName(file.name) || file.name.includes('/')) {
      console.warn(`Qorda: ${file.name} is not a map file (<name>.txt)`);
      continue;
    }
    const bytes = new Uint8Array(await file.arrayBuffer());
    Module.FS.writeFile(`${kSaved}/${file.name}`, bytes);
    Module.FS.writeFile(`${kWorkFolder}/${file.name}`, bytes);
    imported++;
  }
  if (imported > 0) {
    askToKeepStorage();
    await storeInBrowser();
  }
  listSavedMaps();
}

function listSavedMaps() {
  mapList.replaceChildren();
  for (const name of fileNames(kSaved).filter(isMapName).sort()) {
    const bytes = Module.FS.readFile(`${kSaved}/${name}`);
    const link = document.createElement('a');
    link.textContent = name.slice(0, -kMapExtension.length);
    link.download = name;
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain'}));
    const item = document.createElement('li');
    item.append(link, ' ', shareLink(link.textContent, bytes));
    mapList.append(item);
  }
}

// A link that brings the map to whoever opens it: a tap shares or copies it, and it can be copied as any
// link. A map that cannot travel in a link says so.
function shareLink(name, bytes) {
  const share = document.createElement('a');
  share.className = 'share';
  share.textContent = 'share link';
  share.setAttribute('aria-label', `share link to ${name}`);
  linkOfMap(name, bytes).then((address) => {
    if (address === null) {
      share.replaceWith('too large to share, or a name with other characters than letters, digits, - or _');
      return;
    }
    share.href = address;
  });
  share.addEventListener('click', (event) => {
    event.preventDefault();
    const shared = navigator.share ? navigator.share({title: `Qorda map ${name}`, url: share.href})
                                   : navigator.clipboard.writeText(share.href);
    shared.then(() => { share.textContent = 'link copied'; }, () => {});
  });
  return share;
}

mapsButton.addEventListener('click', () => {
  mapsPanel.hidden = !mapsPanel.hidden;
  focusGame();
});
mapFiles.addEventListener('change', () => {
  importMaps([...mapFiles.files]).then(() => {
    mapFiles.value = '';
    focusGame();
  });
});
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => {
  event.preventDefault();
  importMaps([...event.dataTransfer.files]);
});

// ---- Sound: the output runs only while the game plays a sound (see src/platform/platform_web.cpp)

function runAudioOutput(running) {
  const context = Module.SDL2 && Module.SDL2.audioContext;
  if (!context) return;
  if (running && context.state === 'suspended') context.resume();
  if (!running && context.state === 'running') context.suspend();
}

// ---- A map that came in the page's address

// Keeps the map of the link, once the maps stored in this browser are known, and starts the game on it. A
// different map of that name is replaced only if the player agrees. A bad link is refused with nothing stored.
async function takeLinkedMap(linkedMap) {
  let map;
  try {
    map = await linkedMap;
  } catch (error) {
    if (!(error instanceof BadMapLink)) throw error;
    tellPlayer(`The map in this link cannot be opened: ${error.message}.`);
    return;
  }
  if (map === null) return;
  const fileName = `${map.name}${kMapExtension}`;
  const saved = readFileOrNull(`${kSaved}/${fileName}`);
  if (saved !== null && !sameBytes(saved, map.bytes) &&
      !confirm(`Replace your map "${map.name}" with the one in this link?`)) {
    return;
  }
  Module.FS.writeFile(`${kSaved}/${fileName}`, map.bytes);
  askToKeepStorage();
  await storeInBrowser();
  Module.arguments.push('--map', map.name);
}

// ---- The game

const linkedMap = mapOfLink();
let matchUnderway = false;
const opponent = chosenOpponent();
offerOpponents(opponent, () => matchUnderway);

var Module = {
  canvas,
  arguments: ['--opponent', opponent],
  preRun: [() => {
    Module.FS.init(null, consoleWriter(console.log), consoleWriter(console.error));
    Module.FS.mkdir(kSaved);
    Module.FS.mount(Module.FS.filesystems.IDBFS, {}, kSaved);
    Module.addRunDependency('saved maps');
    Module.FS.syncfs(true, (error) => {
      if (error) console.error('Qorda: the maps stored in this browser could not be read:', error);
      takeLinkedMap(linkedMap).catch((problem) => console.error('Qorda: the map link:', problem)).finally(() => {
        forgetMapLink();
        Module.removeRunDependency('saved maps');
      });
    });
  }],
  onRuntimeInitialized: () => {
    makeWorkFolder();
    listSavedMaps();
    mapsButton.hidden = false;
  },
  // Without WebGL, SDL's software renderer draws the picture.
  preInit: () => {
    const probe = document.createElement('canvas');
    if (!probe.getContext('webgl')) Module.ENV.SDL_RENDER_DRIVER = 'software';
  },
  qordaWaitForEvent: (milliseconds) => new Promise((resolve) => {
    const wake = () => {
      clearTimeout(timer);
      wakers.delete(wake);
      resolve();
    };
    const timer = setTimeout(wake, milliseconds);
    wakers.add(wake);
  }),
  qordaStoreSavedMaps: storeSavedMaps,
  qordaMatchUnderway: (underway) => { matchUnderway = underway; },
  qordaRunAudioOutput: runAudioOutput,
  qordaEnded: () => {
    canvas.hidden = true;
    mapsButton.hidden = true;
    mapsPanel.hidden = true;
    document.getElementById('ended').hidden = false;
  },
};

document.getElementById('restart').addEventListener('click', () => location.reload());
