// The browser version of Qorda in Debian's Chromium, headless: the page serves as a new player finds it.
//
// Usage: node web_test.mjs <build/web> <boardshot> <data dir> <qorda-map>
// The pictures to match are the desktop game's own, made by boardshot with its headless renderer; the same
// input is played in the page, key by key, and the canvas must show the same pixels. Then: a map saved in
// the editor survives a reload and loads again; an imported map file wins over the bundled map of its name
// and downloads as it came; no game key scrolls or leaves the page; the game's console output reaches the
// browser's console; the page's address chooses the computer (the strong one plays as the map makers' tool
// has it play) and brings maps in links, and refuses bad links; on a tablet the page's keys play a match as
// the keyboard does, a name comes in through the device's own keyboard and no key stays down; the page can
// be installed, starts without the network after one visit, and takes a new build whole; and the figures:
// first picture, key to picture, idle processor above a blank page, and the size of the page's files.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import zlib from 'node:zlib';

import {PNG} from 'pngjs';
import puppeteer from 'puppeteer-core';

const [webDir, boardshot, dataDir, qordaMap] = process.argv.slice(2);
if (!webDir || !boardshot || !dataDir || !qordaMap) {
  console.error('usage: node web_test.mjs <build/web> <boardshot> <data dir> <qorda-map>');
  process.exit(2);
}

// The picture's size, as the game's window has it; the page's map bar lies below it.
const kPicture = {width: 780, height: 598};
const kViewport = {width: 780, height: 622};
const kMaxIdlePercent = 1;  // of one core, above the blank page
const kMaxGzipBytes = 1300 * 1000;
const kMaxFirstPictureMs = 2000;
const kLatencyKeys = 40;
const kMaxOfflineMenuMs = 5000;
const kSourceDir = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

const sleep = (milliseconds) => new Promise((resolve) => setTimeout(resolve, milliseconds));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'qorda-web-'));
let passed = 0;
let failed = 0;

function check(name, ok, detail = '') {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}${detail ? `: ${detail}` : ''}`);
}

// ---- The page's files, served as any static host would

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png'};

function serve(root) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname).replace(/^\/+/, '') || 'index.html';
    const file = path.join(root, name);
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- What the test sees of the game: when it waits (the picture is then drawn), and the first picture

// Runs in the page before its scripts: wraps the page's wait as the page defines it.
function installProbe() {
  const probe = {waits: 0, firstPictureAt: null, keyAt: null, latencies: [], inputAt: 0, waitAt: 0};
  window.qordaProbe = probe;
  window.addEventListener('keydown', (event) => {
    if (probe.keyAt === null) probe.keyAt = event.timeStamp;
  }, true);
  for (const type of ['keydown', 'keypress', 'keyup', 'pointerdown', 'pointerup', 'input']) {
    window.addEventListener(type, () => { probe.inputAt = performance.now(); }, true);
  }
  let module;
  Object.defineProperty(window, 'Module', {
    configurable: true,
    get: () => module,
    set: (value) => {
      module = value;
      if (value.qordaProbed) return;
      value.qordaProbed = true;
      const wait = value.qordaWaitForEvent;
      value.qordaWaitForEvent = (milliseconds) => {
        probe.waits++;
        probe.waitAt = performance.now();
        const keyAt = probe.keyAt;
        probe.keyAt = null;
        // The picture was presented before the wait; it is on the screen with the next frame.
        if (probe.firstPictureAt === null || keyAt !== null) {
          requestAnimationFrame(() => {
            const now = performance.now();
            if (probe.firstPictureAt === null) probe.firstPictureAt = now;
            else probe.latencies.push(now - keyAt);
          });
        }
        return wait(milliseconds);
      };
    },
  });
}

// Until the game has taken all the input and waits again. The page's wait is asked for only when SDL's
// queue is empty, and an event reaches the queue only while the game sleeps: a wait begun after the last
// input event comes after the game took it.
async function settle(page) {
  await page.waitForFunction(() => window.qordaProbe.waitAt > window.qordaProbe.inputAt, {timeout: 20000});
}

function keyName(character) {
  if (character === '\r') return 'Enter';
  if (character === '\u001b') return 'Escape';
  return character;
}

async function press(page, keys) {
  for (const character of keys) {
    await page.keyboard.press(keyName(character));
    await settle(page);
  }
}

async function type(page, text) {
  await page.keyboard.type(text);
  await settle(page);
}

async function playInput(page, input) {
  for (const step of input) {
    if (step.text !== undefined) await type(page, step.text);
    else await press(page, step.keys);
  }
}

async function open(page, url) {
  await page.goto(url);
  await page.waitForFunction(() => window.qordaProbe && window.qordaProbe.waits > 0, {timeout: 20000});
  await settle(page);
}

// ---- Pictures

async function canvasPicture(page) {
  const shot = await page.screenshot({clip: {x: 0, y: 0, ...kPicture}});
  return PNG.sync.read(Buffer.from(shot));
}

// The pixels that differ by more than tolerance in a channel.
function differentPixels(a, b, tolerance = 0) {
  if (a.width !== b.width || a.height !== b.height) return a.width * a.height;
  let count = 0;
  for (let i = 0; i < a.data.length; i += 4) {
    for (let channel = 0; channel < 3; channel++) {
      if (Math.abs(a.data[i + channel] - b.data[i + channel]) > tolerance) {
        count++;
        break;
      }
    }
  }
  return count;
}

function desktopPicture(scene) {
  const file = path.join(scratch, `${scene}.png`);
  execFileSync(boardshot, ['--exact', dataDir, scene, file], {stdio: ['ignore', 'ignore', 'pipe']});
  return PNG.sync.read(fs.readFileSync(file));
}

function sceneInput(scene) {
  return JSON.parse(execFileSync(boardshot, ['--input', scene], {encoding: 'utf8'}));
}

// WebGL blends the translucent highlights (the targeting ring) rounding to the nearest level, where SDL's
// software renderer, which draws the desktop's pictures here, rounds down: those pixels may be one level
// brighter, and no pixel may differ more.
async function checkScene(page, scene, input) {
  await playInput(page, input);
  const browser = await canvasPicture(page);
  const desktop = desktopPicture(scene);
  const differences = differentPixels(browser, desktop, 1);
  if (differences > 0) fs.writeFileSync(path.join(scratch, `${scene}-browser.png`), PNG.sync.write(browser));
  check(`the canvas shows the desktop's ${scene}`, differences === 0,
        `${differences} pixels differ, ${differentPixels(browser, desktop)} by one level`);
}

// ---- What the page's address asks for

// Opens the page anew at address, even where only its fragment differs from the page's.
async function openAddress(page, address) {
  await page.goto('about:blank');
  await open(page, address);
}

function mapLink(url, name, deflated) {
  return `${url}#map=${name}/${deflated.toString('base64url')}`;
}

async function savedMap(page, name) {
  return page.evaluate((file) => {
    try {
      return Array.from(Module.FS.readFile(file));
    } catch (error) {
      return null;
    }
  }, `/saved/${name}.txt`);
}

// The units of a map file as "owner type row,column A ap H hp", in order.
function unitsOfMapFile(text) {
  const names = {a: 'Archer', c: 'Cavalry', s: 'Shield'};
  return text.split('\n').slice(10).filter((line) => line.trim()).map((line) => {
    const [row, column, type, owner, actionPoints, healthPoints] = line.trim().split(',');
    return `${owner} ${names[type]} ${row},${column} A ${actionPoints} H ${healthPoints}`;
  }).sort();
}

// The same from the units that qorda-map duel lists after a duel.
function unitsOfDuel(report) {
  return [...report.matchAll(/^player (\d): \d+ units left: (.*)$/gm)].flatMap(([, owner, list]) =>
    [...list.matchAll(/(\w+) at (\S+) \(A (\d+), H (\d+)\)/g)].map(
      ([, type, place, actionPoints, healthPoints]) => `${owner} ${type} ${place} A ${actionPoints} H ${healthPoints}`)).sort();
}

// The picture once it has stayed the same for 1.5 s.
async function settledPicture(page) {
  let previous = null;
  for (;;) {
    await sleep(1500);
    const picture = await canvasPicture(page);
    if (previous !== null && differentPixels(previous, picture) === 0) return picture;
    previous = picture;
  }
}

async function addressChecks(page, url) {
  const dialogs = [];
  page.on('dialog', (dialog) => {
    dialogs.push(dialog.message());
    dialog.dismiss();
  });
  const notice = () => page.$eval('#notice', (element) => (element.hidden ? '' : element.textContent));

  // The computer: a wrong name is quoted and the standard one plays; the strong one, after the player ends
  // the first turn at once, leaves the board as in the map makers' duel of a passing side against it.
  await openAddress(page, `${url}?opponent=clever`);
  check('a wrong computer in the address is quoted, and the game starts',
        (await notice()).includes('"clever"') &&
        differentPixels(await canvasPicture(page), desktopPicture('menu-screen')) === 0, await notice());
  await openAddress(page, `${url}?opponent=strong`);
  const played = path.join(scratch, 'played.txt');  // the map01 that the page plays
  fs.writeFileSync(played, Buffer.from(await page.evaluate(() => Array.from(Module.FS.readFile('/qorda/map01.txt')))));
  await press(page, '1');
  await page.select('#opponent', 'standard');
  check('switching the computer while a match is on asks first, and a no keeps the match',
        dialogs.length === 1 && page.url().endsWith('?opponent=strong'), dialogs.join(' | '));
  await press(page, '\u001b');
  await page.keyboard.press('Enter');  // the computer's turn, with its pauses, is over once the picture rests
  await settledPicture(page);
  await press(page, '\u001bm4\ry');
  await type(page, 'q');
  await press(page, '\ryy');
  await type(page, 'strongturn');
  await press(page, '\r');
  const turn = Buffer.from(await page.evaluate(() => Array.from(Module.FS.readFile('/qorda/strongturn.txt'))));
  await Promise.all([page.waitForNavigation(), page.select('#opponent', 'standard')]);
  check('switching the computer at the menu starts the game again with it', page.url().endsWith('?opponent=standard'));
  const duel = execFileSync(qordaMap, ['duel', '--turns', '2', '--player1', 'pass', '--player2', 'strong', played],
                            {encoding: 'utf8'});
  const units = unitsOfMapFile(turn.toString());
  check('?opponent=strong plays the strong computer\'s turn as qorda-map duel plays it',
        units.length > 0 && JSON.stringify(units) === JSON.stringify(unitsOfDuel(duel)), units.join('; '));

  // A map in a link is stored under its name, and the game starts on it as after Load map.
  const linked = fs.readFileSync(path.join(dataDir, 'HelpMap.txt'));
  await openAddress(page, mapLink(url, 'linked', zlib.deflateSync(linked)));
  const linkedMenu = await canvasPicture(page);
  const stored = await savedMap(page, 'linked');
  await openAddress(page, url);
  await press(page, '3');
  await type(page, 'linked');
  await press(page, '\r');
  check('a map link opens on its map, stored under its name, and leaves the address',
        stored !== null && Buffer.from(stored).equals(linked) && !page.url().includes('#') &&
        differentPixels(linkedMenu, await canvasPicture(page)) === 0);
  const shared = await page.$eval('#map-list a[aria-label="share link to linked"]', (link) => link.href);
  await openAddress(page, shared);
  check('a saved map\'s share link brings the same map', dialogs.length === 1 &&
        differentPixels(linkedMenu, await canvasPicture(page)) === 0, shared);

  // A different map of a saved map's name is stored only if the player agrees.
  await openAddress(page, mapLink(url, 'linked', zlib.deflateSync(Buffer.from('other'))));
  check('a link to another map of a saved name asks, and keeps the saved one when refused',
        dialogs.length === 2 && Buffer.from(await savedMap(page, 'linked')).equals(linked), dialogs.join(' | '));

  // Bad links: a line in the page, nothing stored, and the game starts as usual.
  const data = zlib.deflateSync(linked);
  const damaged = Buffer.from(data);
  damaged[damaged.length - 1] ^= 1;
  const bad = [
    ['a name with a space', 'bad%20name', data.toString('base64url')],
    ['a name of 65 characters', 'b'.repeat(65), data.toString('base64url')],
    ['padding', 'bad1', `${data.toString('base64url')}=`],
    ['base64 rather than base64url', 'bad2', '+/+/'],
    ['data that does not inflate', 'bad3', Buffer.from('not deflated').toString('base64url')],
    ['a wrong checksum', 'bad4', damaged.toString('base64url')],
    ['more than 64 KiB inflated', 'bad5', zlib.deflateSync(Buffer.alloc(64 * 1024 + 1, 48)).toString('base64url')],
    ['a fragment over 16,000 characters', 'bad6', 'A'.repeat(16000)],
  ];
  for (const [what, name, data] of bad) {
    await openAddress(page, `${url}#map=${name}/${data}`);
    check(`a link with ${what} is refused with nothing stored`,
          (await notice()).startsWith('The map in this link cannot be opened') && (await savedMap(page, name)) === null &&
          differentPixels(await canvasPicture(page), desktopPicture('menu-screen')) === 0, await notice());
  }
}

// ---- Touch: a tablet's page, played by its keys

const kTablet = {width: 1024, height: 768, deviceScaleFactor: 2, hasTouch: true, isMobile: true};
// The keys of the desktop's scenes, as the page's keys send them.
const kPadKeyOfKey = {f: 'up-left', g: 'up', h: 'up-right', c: 'down-left', v: 'down', b: 'down-right',
                      4: 'up-left', 2: 'down', 3: 'down-right', '\r': 'Enter', '\u001b': 'Escape'};

async function tap(page, name) {
  const box = await (await page.$(`aria/${name}`)).boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await settle(page);
}

async function tapScene(page, input) {
  for (const step of input) {
    for (const key of step.keys) await tap(page, kPadKeyOfKey[key]);
  }
}

// The canvas as the screen shows it, in device pixels.
async function devicePicture(page) {
  const box = await (await page.$('#canvas')).boundingBox();
  return PNG.sync.read(Buffer.from(await page.screenshot({clip: box})));
}

function scaledUp(picture, scale) {
  const scaled = new PNG({width: picture.width * scale, height: picture.height * scale});
  for (let y = 0; y < scaled.height; y++) {
    for (let x = 0; x < scaled.width; x++) {
      const from = 4 * (Math.floor(y / scale) * picture.width + Math.floor(x / scale));
      picture.data.copy(scaled.data, 4 * (y * scaled.width + x), from, from + 4);
    }
  }
  return scaled;
}

async function touchChecks(browser, url) {
  const desktop = await browser.newPage();
  await desktop.setViewport(kViewport);
  await desktop.evaluateOnNewDocument(installProbe);
  await open(desktop, url);
  check('the desktop page shows no keys', await desktop.$eval('#touch', (keys) => keys.hidden));
  await desktop.close();

  // Storage of its own: the maps that the checks before saved stay out of this page.
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(kTablet);
  await page.evaluateOnNewDocument(installProbe);
  const messages = [];
  page.on('console', (message) => messages.push(message.text()));

  // A match up to a shot and a charge, tapped: the picture at twice its size, pixel for pixel.
  await open(page, url);
  const toTargeting = sceneInput('targeting-screen');
  for (const [scene, input] of [['targeting-screen', toTargeting],
                                ['match-screen', sceneInput('match-screen').slice(toTargeting.length)]]) {
    await tapScene(page, input);
    const differences = differentPixels(await devicePicture(page), scaledUp(desktopPicture(scene), 2), 1);
    check(`the tablet's keys play the desktop's ${scene}, shown crisp at twice its size`, differences === 0,
          `${differences} pixels differ`);
  }

  // Names typed on the device's keyboard, which sends no key codes and composes words before it commits them.
  await open(page, url);
  const menu = await devicePicture(page);
  const session = await page.createCDPSession();
  const typeName = async (name) => {
    await tap(page, 'down-right');
    await tap(page, 'Keyboard');
    await session.send('Input.imeSetComposition', {text: name.slice(0, 2), selectionStart: 2, selectionEnd: 2});
    await page.keyboard.sendCharacter(name);
    await tap(page, 'Enter');
  };
  messages.length = 0;
  await typeName('nomap');
  for (let tries = 0; tries < 100 && !messages.includes('Error opening file nomap.txt'); tries++) await sleep(50);
  check('a name typed on the device\'s keyboard reaches the game letter for letter',
        messages.includes('Error opening file nomap.txt'), JSON.stringify(messages));
  await typeName('HelpMap');
  const loaded = await devicePicture(page);
  await press(page, '3');
  await type(page, 'HelpMap');
  await press(page, '\r');
  check('a map loads by a name typed on the device\'s keyboard as by one typed on keys',
        differentPixels(loaded, menu) > 0 && differentPixels(loaded, await devicePicture(page)) === 0);

  // A finger that slides off a key leaves no key down, and the next tap acts once.
  await press(page, '2vvvv');
  const cursorAtFour = await devicePicture(page);
  await press(page, 'vv');
  const up = await (await page.$('aria/up')).boundingBox();
  const touch = (type, touchPoints) => session.send('Input.dispatchTouchEvent', {type, touchPoints});
  await touch('touchStart', [{x: up.x + up.width / 2, y: up.y + up.height / 2}]);
  await touch('touchMove', [{x: up.x - up.width, y: up.y + up.height / 2}]);
  await touch('touchMove', [{x: 100, y: 100}]);
  await touch('touchEnd', []);
  await settle(page);
  const down = await page.$$eval('#touch button.down', (buttons) => buttons.length);
  await tap(page, 'up');
  check('a finger slid off a key leaves no key down, and the next tap acts once',
        down === 0 && differentPixels(await devicePicture(page), cursorAtFour) === 0, `${down} keys down`);
  await context.close();
}

// ---- Processor time of the browser's processes, from /proc

function processTree(root) {
  const parents = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      parents.set(Number(entry), Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]));
    } catch (error) {
      // the process ended meanwhile
    }
  }
  const tree = new Set([root]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, parent] of parents) {
      if (tree.has(parent) && !tree.has(pid)) {
        tree.add(pid);
        grown = true;
      }
    }
  }
  return tree;
}

function processorTicks(root) {
  let ticks = 0;
  for (const pid of processTree(root)) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      ticks += Number(fields[11]) + Number(fields[12]);
    } catch (error) {
      // the process ended meanwhile
    }
  }
  return ticks;
}

const kTicksPerSecond = Number(execFileSync('getconf', ['CLK_TCK'], {encoding: 'utf8'}));

async function processorPercent(browser, seconds) {
  await sleep(2000);
  const root = browser.process().pid;
  const before = processorTicks(root);
  const started = process.hrtime.bigint();
  await sleep(seconds * 1000);
  const elapsed = Number(process.hrtime.bigint() - started) / 1e9;
  return (100 * (processorTicks(root) - before)) / kTicksPerSecond / elapsed;
}

// The game's cost while it waits; measured again once when above the bound, so that a passing burst of the
// machine's other work does not count.
async function idlePercent(browser, blank) {
  const first = await processorPercent(browser, 5);
  return first - blank <= kMaxIdlePercent ? first : Math.min(first, await processorPercent(browser, 5));
}

// ---- Installed and offline: a copy of the page on a host of its own, which the test changes and then stops

// Turns the copy into a new build: each of its pages and scripts notes its name as it runs, and the worker
// is written again by the build's own step. Returns the names, which a page of the new build all notes.
function makeNewBuild(site) {
  const names = fs.readdirSync(site).filter((name) => /\.(html|js)$/.test(name) && name !== 'service-worker.js');
  for (const name of names) {
    const note = `(window.qordaBuild ||= []).push('${name}');`;
    fs.appendFileSync(path.join(site, name), name.endsWith('.html') ? `<script>${note}</script>\n` : `\n${note}\n`);
  }
  execFileSync('cmake', [`-DQORDA_WEB_DIR=${site}`, `-DQORDA_WORKER=${path.join(kSourceDir, 'web/service-worker.js')}`,
                         '-P', path.join(kSourceDir, 'cmake/service_worker.cmake')]);
  return names.sort();
}

async function loadMap(page, name) {
  await press(page, '3');
  await type(page, name);
  await press(page, '\r2');
  return canvasPicture(page);
}

async function offlineChecks(browser) {
  const site = path.join(scratch, 'site');
  fs.cpSync(webDir, site, {recursive: true});
  const server = await serve(site);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const page = await browser.newPage();
  await page.setViewport(kViewport);
  await page.evaluateOnNewDocument(installProbe);

  await open(page, url);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await open(page, url);
  check('after one visit the service worker answers the page', await page.evaluate(() => !!navigator.serviceWorker.controller));
  const {installabilityErrors} = await (await page.createCDPSession()).send('Page.getInstallabilityErrors');
  check('the page can be installed', installabilityErrors.length === 0, JSON.stringify(installabilityErrors));
  const mapFile = path.join(scratch, 'away.txt');
  fs.copyFileSync(path.join(dataDir, 'HelpMap.txt'), mapFile);
  await page.click('#maps-button');
  await (await page.$('#map-files')).uploadFile(mapFile);
  await page.waitForFunction(() => [...document.querySelectorAll('#map-list a')].some((a) => a.download === 'away.txt'));

  // A new build on the host: the page started meanwhile runs the old one whole, the next start the new one.
  const names = makeNewBuild(site);
  const runningBuild = () => page.evaluate(() => (window.qordaBuild || []).sort());
  await open(page, url);
  check('a page started while a new build comes runs the old build whole', (await runningBuild()).length === 0,
        JSON.stringify(await runningBuild()));
  const awayMatch = await loadMap(page, 'away');
  await page.waitForFunction(async () => !!(await navigator.serviceWorker.getRegistration()).waiting, {timeout: 20000});
  await open(page, url);
  const started = await runningBuild();
  check('the next start runs the new build whole', JSON.stringify(started) === JSON.stringify(names), JSON.stringify(started));

  server.close();
  server.closeAllConnections();
  await open(page, url);
  const menuAt = await page.evaluate(() => window.qordaProbe.firstPictureAt);
  const menu = desktopPicture('menu-screen');
  check(`without the network the main menu is on the screen within ${kMaxOfflineMenuMs / 1000} s`,
        menuAt <= kMaxOfflineMenuMs && differentPixels(await canvasPicture(page), menu) === 0, `${menuAt.toFixed(0)} ms`);
  check('without the network a map brought in loads',
        differentPixels(awayMatch, menu) > 0 && differentPixels(await loadMap(page, 'away'), awayMatch) === 0);
  await page.close();
  return menuAt;
}

// ---- The run

function percentile(values, share) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))];
}

function gzipBytes(folder) {
  let total = 0;
  for (const name of fs.readdirSync(folder)) {
    total += zlib.gzipSync(fs.readFileSync(path.join(folder, name)), {level: 9}).length;
  }
  return total;
}

async function main() {
  const server = await serve(path.resolve(webDir));
  const url = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    userDataDir: path.join(scratch, 'profile'),
    headless: true,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--enable-unsafe-swiftshader', '--force-color-profile=srgb'],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport(kViewport);
    await page.evaluateOnNewDocument(installProbe);
    const messages = [];
    page.on('console', (message) => messages.push(message.text()));
    const downloads = path.join(scratch, 'downloads');
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});

    // Idle: the same browser with a blank page first.
    await page.goto('about:blank');
    await sleep(2000);
    const blank = await processorPercent(browser, 5);

    // The menu, and a match of two humans up to a shot and a charge.
    await open(page, url);
    const firstPicture = await page.evaluate(() => window.qordaProbe.firstPictureAt);
    check('the main menu is on the screen within 2 s', firstPicture <= kMaxFirstPictureMs, `${firstPicture.toFixed(0)} ms`);
    await checkScene(page, 'menu-screen', []);
    const menuIdle = await idlePercent(browser, blank);
    await checkScene(page, 'targeting-screen', sceneInput('targeting-screen'));
    const matchInput = sceneInput('match-screen');
    await checkScene(page, 'match-screen', matchInput.slice(sceneInput('targeting-screen').length));
    const matchIdle = await idlePercent(browser, blank);
    for (const [screen, percent] of [['main menu', menuIdle], ['match', matchIdle]]) {
      check(`waiting in the ${screen} costs at most ${kMaxIdlePercent}% of a core above a blank page`,
            percent - blank <= kMaxIdlePercent, `${percent.toFixed(2)}% against ${blank.toFixed(2)}% blank`);
    }

    // Key to picture: the board cursor's keys in a new match, each after a pause that lands anywhere in
    // the game's wait.
    await open(page, url);
    await press(page, '2');
    await sleep(100);  // the frame that showed the match
    await page.evaluate(() => { window.qordaProbe.latencies = []; });
    for (let i = 0; i < kLatencyKeys; i++) {
      await sleep(20 + ((i * 37) % 100));
      await press(page, i % 2 === 0 ? 'v' : 'g');
    }
    // The last key's picture reaches the screen with the frame after the game's wait: wait for that frame.
    await page.waitForFunction((count) => window.qordaProbe.latencies.length >= count, {timeout: 5000},
                               kLatencyKeys).catch(() => {});
    const latencies = await page.evaluate(() => window.qordaProbe.latencies);
    check('every key of the board cursor reached the picture', latencies.length === kLatencyKeys, `${latencies.length} of ${kLatencyKeys}`);

    // No game key scrolls or leaves the page, in the menu and while a name is typed.
    await open(page, url);
    const gameKeys = ['Backspace', 'Space', 'ArrowDown', 'ArrowUp', 'ArrowLeft', 'ArrowRight', 'Tab', 'PageDown',
                      'End', 'F1', 'F3', 'F5', 'F6', 'F7', 'F10', 'F12'];
    const marker = await page.evaluate(() => (window.qordaMarker = Math.random()));
    for (const prompt of [false, true]) {
      if (prompt) await press(page, '3');
      for (const key of gameKeys) {
        await page.keyboard.press(key);
        await settle(page);
      }
      await page.keyboard.down('Alt');
      await page.keyboard.press('ArrowLeft');
      await page.keyboard.up('Alt');
      await settle(page);
      const state = await page.evaluate(() => ({marker: window.qordaMarker, x: window.scrollX, y: window.scrollY,
                                                 focus: document.activeElement.id}));
      check(`no game key scrolls or leaves the page${prompt ? ' while a name is typed' : ''}`,
            state.marker === marker && state.x === 0 && state.y === 0 && page.url() === url && state.focus === 'canvas',
            JSON.stringify(state));
    }
    // The prompt now holds what those keys typed: a load of a map that is not there.
    messages.length = 0;
    await press(page, '\r');
    const errorPrinted = () => messages.some((text) => text.startsWith('Error opening file '));
    for (let tries = 0; tries < 100 && !errorPrinted(); tries++) await sleep(50);
    check('"Error opening file" reaches the console although its line is not ended', errorPrinted(),
          JSON.stringify(messages));

    // A map saved in the editor is kept across a reload and loads again.
    await open(page, url);
    await press(page, '2');
    const bundledMatch = await canvasPicture(page);
    await open(page, url);
    await playInput(page, sceneInput('editor-screen'));
    await press(page, '\r');
    await type(page, 'q');
    await press(page, '\ryy');
    await type(page, 'mine');
    await press(page, '\r2');
    const savedMatch = await canvasPicture(page);
    check('the edited map differs from the bundled one', differentPixels(savedMatch, bundledMatch) > 0);
    await open(page, url);
    await press(page, '3');
    await type(page, 'mine');
    await press(page, '\r2');
    check('a map saved in the editor loads again after a reload', differentPixels(await canvasPicture(page), savedMatch) === 0);

    // A map file brought in under a bundled map's name wins over it, and downloads as it came.
    const mapFile = path.join(scratch, 'map01.txt');
    fs.writeFileSync(mapFile, Buffer.from(await page.evaluate(() => Array.from(Module.FS.readFile('/saved/mine.txt')))));
    await page.click('#maps-button');
    const chooser = await page.$('#map-files');
    await chooser.uploadFile(mapFile);
    await page.waitForFunction(() => [...document.querySelectorAll('#map-list a')].some((a) => a.download === 'map01.txt'));
    await open(page, url);
    await press(page, '2');
    check('an imported map01 wins over the bundled one', differentPixels(await canvasPicture(page), savedMatch) === 0);
    await page.click('#maps-button');
    await page.click('#map-list a[download="map01.txt"]');
    const downloaded = path.join(downloads, 'map01.txt');
    for (let tries = 0; tries < 100 && !fs.existsSync(downloaded); tries++) await sleep(50);
    check('a saved map downloads as it came', fs.existsSync(downloaded) && fs.readFileSync(downloaded).equals(fs.readFileSync(mapFile)));

    await addressChecks(page, url);

    // Exit ends the game, and the page offers to start it again.
    await open(page, url);
    await page.keyboard.press('6');
    await page.waitForSelector('#ended:not([hidden])', {timeout: 5000});
    await Promise.all([page.waitForNavigation(), page.click('#restart')]);
    await page.waitForFunction(() => window.qordaProbe && window.qordaProbe.waits > 0, {timeout: 20000});
    await settle(page);
    check('Exit ends the game, and the page starts it again at the main menu',
          differentPixels(await canvasPicture(page), desktopPicture('menu-screen')) === 0);

    await touchChecks(browser, url);

    const offlineMenu = await offlineChecks(browser);
    const size = gzipBytes(webDir);
    check('the page\'s files take at most 1.3 MB with gzip -9', size <= kMaxGzipBytes, `${size} bytes`);
    console.log(`web figures: first picture ${firstPicture.toFixed(0)} ms; key to picture median ` +
                `${percentile(latencies, 0.5).toFixed(1)} ms, 90th percentile ${percentile(latencies, 0.9).toFixed(1)} ms; ` +
                `idle ${blank.toFixed(2)}% blank, ${menuIdle.toFixed(2)}% main menu, ${matchIdle.toFixed(2)}% match; ` +
                `main menu offline ${offlineMenu.toFixed(0)} ms; size ${size} bytes gzip -9`);
  } finally {
    await browser.close();
    server.close();
  }
  console.log(`web: ${passed} passed, ${failed} failed`);
  if (failed === 0) fs.rmSync(scratch, {recursive: true, force: true});
  else console.log(`the pictures and the profile are in ${scratch}`);
  process.exit(failed === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
