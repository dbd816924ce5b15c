// The keys of a touch screen: a pad of the six directions around Enter, Escape, and a key that brings up the
// device's own keyboard. They appear on a device whose pointer is a finger, or at the first touch, beside the
// picture (below it when the screen stands upright), and reach the game as the keyboard's keys do
// (src/platform/platform_web.cpp queues them for SDL). A physical keyboard keeps working beside them.
'use strict';

const kPicture = {width: 780, height: 598};
// A screen whose short side has this many CSS pixels is a tablet's: the picture is shown there at a whole
// multiple of its size in device pixels, which keeps it crisp. A phone's picture fills what is left.
const kTabletShortSide = 700;
// The room the keys take at the least beside or below the picture, and the width of a key, in CSS pixels.
const kKeysRoom = 200;
const kSmallestKey = 48;
const kLargestKey = 96;

// SDL's key codes: Return, Escape and Backspace are their characters; the keypad's digits are scancodes.
const kReturn = 13;
const kEscape = 27;
const kBackspace = 8;
const kScancodeKey = 1 << 30;
const keypad = (digit) => kScancodeKey | (88 + digit);

const kKeyOfButton = {
  'up-left': keypad(4), 'up': keypad(5), 'up-right': keypad(6),
  'down-left': keypad(1), 'down': keypad(2), 'down-right': keypad(3),
  'Enter': kReturn, 'Escape': kEscape,
};

const root = document.documentElement;
const keys = document.getElementById('touch');
const turnLine = document.getElementById('turn');
const typing = document.getElementById('typing');
const keyboardButton = keys.querySelector('[aria-label="Keyboard"]');

// ---- The layout

// The nearest whole CSS length from length up (step 1) or down (step -1) that spans whole device pixels,
// so that the picture's pixels fall on the screen's where the device pixel ratio is not whole (2.625).
function onDevicePixels(length, step) {
  const ratio = window.devicePixelRatio;
  const start = step > 0 ? Math.ceil(length) : Math.floor(length);
  for (let css = start; css >= 0 && Math.abs(css - start) < 64; css += step) {
    if (Math.abs(css * ratio - Math.round(css * ratio)) < 1e-6) return css;
  }
  return start;
}

// The picture's size in CSS pixels at the largest whole multiple that fits in width by height, or null. The
// game sizes its output from the canvas's CSS size in whole pixels times the device pixel ratio, rounded
// down: rounding the CSS size up gives it the whole multiple and less than a few device pixels more.
function wholeMultiple(width, height) {
  const ratio = window.devicePixelRatio;
  for (let whole = Math.floor(width * ratio / kPicture.width); whole >= 1; whole--) {
    const size = {width: onDevicePixels(whole * kPicture.width / ratio, 1),
                  height: onDevicePixels(whole * kPicture.height / ratio, 1)};
    if (size.width <= width && size.height <= height) return size;
  }
  return null;
}

// The picture's size in its own proportions, as large as width by height allows.
function fitted(width, height) {
  return {width: Math.min(width, Math.floor(height * kPicture.width / kPicture.height)),
          height: Math.min(height, Math.floor(width * kPicture.height / kPicture.width))};
}

// The keys in width by height: the pad above Escape and Keyboard (tall) or beside them, whichever gives
// the larger keys. The pad is three keys wide and high; Escape and Keyboard add a key below it or one and
// a half beside it; the gaps take the rest.
function layOutKeys(width, height) {
  const room = {width: width - 24, height: height - 36};
  const tall = Math.min(room.width / 3, room.height / 4);
  const wide = Math.min(room.width / 4.5, room.height / 3);
  keys.classList.toggle('tall', tall >= wide);
  const key = Math.min(kLargestKey, Math.max(kSmallestKey, Math.floor(Math.max(tall, wide))));
  root.style.setProperty('--key', `${key}px`);
}

function layOut() {
  const width = window.innerWidth;
  const height = window.innerHeight - document.getElementById('bar').offsetHeight;
  const upright = window.innerHeight > window.innerWidth;
  const phone = Math.min(window.innerWidth, window.innerHeight) < kTabletShortSide;
  root.classList.toggle('upright', upright);
  turnLine.hidden = !(phone && upright);
  const line = turnLine.hidden ? 0 : turnLine.offsetHeight;
  const room = upright ? {width, height: height - kKeysRoom - line} : {width: width - kKeysRoom, height};
  const picture = (!phone && wholeMultiple(room.width, room.height)) || fitted(room.width, room.height);
  canvas.style.width = `${picture.width}px`;
  canvas.style.height = `${picture.height}px`;
  // Centred beside the keys, or above them, on a device pixel.
  const top = upright ? 0 : onDevicePixels((height - picture.height) / 2, -1);
  const left = upright ? onDevicePixels((width - picture.width) / 2, -1) : 0;
  canvas.style.margin = `${top}px 0 0 ${left}px`;
  if (upright) layOutKeys(width, height - picture.height - line);
  else layOutKeys(width - picture.width, height);
}

// The game learns of its canvas's new size from a resize of the page.
function showKeys() {
  if (!keys.hidden) return;
  keys.hidden = false;
  root.classList.add('touch');
  layOut();
  if (Module.calledRun) window.dispatchEvent(new Event('resize'));
}

// Before the game's own handler of a resize, which reads the canvas's size.
window.addEventListener('resize', () => {
  if (!keys.hidden) layOut();
});
window.addEventListener('touchstart', showKeys, {capture: true, passive: true, once: true});
if (window.matchMedia('(pointer: coarse)').matches) showKeys();

// ---- The keys: each acts once as the finger comes down, and is released when the finger lifts or leaves it,
// the touch is cancelled or the page is hidden; no key stays down.

function sendKey(key, down) {
  if (!Module.calledRun) return;
  if (down) Module._qordaKeyDown(key);
  else Module._qordaKeyUp(key);
  wakeGame();
}

const pointerOfButton = new Map();

function releaseButton(button) {
  if (!pointerOfButton.delete(button)) return;
  button.classList.remove('down');
  if (button !== keyboardButton) sendKey(kKeyOfButton[button.getAttribute('aria-label')], false);
}

function releaseAll() {
  for (const button of [...pointerOfButton.keys()]) releaseButton(button);
}

// The default would move the focus to the button, select text or start the browser's gestures.
function pressButton(event) {
  const button = event.currentTarget;
  event.preventDefault();
  if (event.button !== 0 || pointerOfButton.has(button)) return;
  // A finger captures its button; without the capture, leaving the button releases it.
  if (button.hasPointerCapture(event.pointerId)) button.releasePointerCapture(event.pointerId);
  pointerOfButton.set(button, event.pointerId);
  button.classList.add('down');
  if (button !== keyboardButton) sendKey(kKeyOfButton[button.getAttribute('aria-label')], true);
}

function endPress(event) {
  if (pointerOfButton.get(event.currentTarget) === event.pointerId) releaseButton(event.currentTarget);
}

// A click that no press came before (a screen reader's) is a whole press; the click after a tap is not.
function clickButton(event) {
  const key = kKeyOfButton[event.currentTarget.getAttribute('aria-label')];
  if (event.detail !== 0 || key === undefined) return;
  sendKey(key, true);
  sendKey(key, false);
}

for (const button of keys.querySelectorAll('button')) {
  button.addEventListener('pointerdown', pressButton);
  for (const type of ['pointerup', 'pointercancel', 'pointerleave']) button.addEventListener(type, endPress);
  button.addEventListener('click', clickButton);
}
keys.addEventListener('contextmenu', (event) => event.preventDefault());
document.addEventListener('visibilitychange', () => {
  if (document.hidden) releaseAll();
});
window.addEventListener('blur', releaseAll);

// ---- The device's keyboard: it types into a field of its own, and what the field gains or loses reaches the
// game as typed keys. Such keyboards send no key codes for letters and may compose a word before they commit
// it, so the field's text is compared with what the game already has: the game gets each character once,
// and a Backspace for each one taken back.

// What the game has of the field's text.
let typed = '';

function typeCharacters(characters) {
  for (const character of characters) Module._qordaTypeCharacter(character.codePointAt(0));
}

function startTyping() {
  typing.value = '';
  typed = '';
}

function passOnTyping() {
  if (!Module.calledRun) return;
  const before = [...typed];
  const now = [...typing.value.replace(/\n/g, '\r')];
  let same = 0;
  while (same < before.length && same < now.length && before[same] === now[same]) same++;
  typeCharacters(String.fromCharCode(kBackspace).repeat(before.length - same));
  typeCharacters(now.slice(same));
  typed = typing.value;
  wakeGame();
  if (now.includes('\r')) startTyping();
}

// The browser brings up its keyboard only for a focus within a whole tap; a keyboard that was put away
// comes back at the next tap.
keyboardButton.addEventListener('click', () => {
  typing.blur();
  startTyping();
  typing.focus({preventScroll: true});
});
typing.addEventListener('input', passOnTyping);
// Keys with a key code reach the game through SDL's own handler, which keeps them out of the field; what the
// device's keyboard is still composing reaches it through the field alone.
for (const type of ['keydown', 'keyup']) {
  typing.addEventListener(type, (event) => {
    if (event.isComposing || event.keyCode === 229) event.stopPropagation();
    else if (event.key === 'Enter') startTyping();
  });
}
keys.querySelector('[aria-label="Enter"]').addEventListener('pointerdown', startTyping);
// A tap on the picture puts the device's keyboard away.
canvas.addEventListener('pointerdown', focusGame);
