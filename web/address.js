// What the page's address asks of the game: which computer plays against the player (?opponent=strong or
// standard), and a map that came in a link (#map=NAME/DATA: the map's name, then its file deflated in the
// zlib format and written in base64url without padding). The page (page.js) starts the game with the same
// options as the desktop's command line: --opponent KIND, and --map NAME for a map that came in a link.
'use strict';

const kOpponents = ['standard', 'strong'];
const kDefaultOpponent = 'standard';

const kMapLinkStart = 'map=';
const kMapLinkNamePattern = /^[A-Za-z0-9_-]{1,64}$/;
const kBase64UrlPattern = /^[A-Za-z0-9_-]*$/;
const kMaxMapLinkLength = 16000;  // characters after '#', "map=" included
const kMaxLinkedMapBytes = 64 * 1024;

// Shows one line for the player in the page's bar.
function tellPlayer(text) {
  const notice = document.getElementById('notice');
  notice.textContent = text;
  notice.hidden = false;
}

// ---- The opponent

// The computer that the address asks for; a wrong value is quoted to the player, and the standard computer
// plays.
function chosenOpponent() {
  const asked = new URLSearchParams(location.search).get('opponent');
  if (asked === null || kOpponents.includes(asked)) return asked || kDefaultOpponent;
  tellPlayer(`There is no computer called "${asked}": you play against the ${kDefaultOpponent} one.`);
  return kDefaultOpponent;
}

// The bar's choice of computer. It takes effect when the game starts again, which the page does at once;
// while a match is on, the player is asked first, since the match would be lost.
function offerOpponents(current, matchUnderway) {
  const choice = document.getElementById('opponent');
  choice.value = current;
  choice.addEventListener('change', () => {
    const wanted = choice.value;
    if (matchUnderway() && !confirm(`Play against the ${wanted} computer? The game starts again and this ` +
                                    'match is lost.')) {
      choice.value = current;
      focusGame();
      return;
    }
    const address = new URL(location.href);
    address.searchParams.set('opponent', wanted);
    address.hash = '';
    location.assign(address);
  });
}

// ---- Maps in links

function bytesToBase64Url(bytes) {
  let text = '';
  for (const byte of bytes) text += String.fromCharCode(byte);
  return btoa(text).replaceAll('+', '-').replaceAll('/', '_').replace(/=+$/, '');
}

// The bytes of base64url text without padding, or null when it is not that.
function base64UrlToBytes(text) {
  if (!kBase64UrlPattern.test(text) || text.length % 4 === 1) return null;
  const binary = atob(text.replaceAll('-', '+').replaceAll('_', '/'));
  return Uint8Array.from(binary, (character) => character.charCodeAt(0));
}

async function transformed(bytes, transform, limit = Infinity) {
  const reader = new Blob([bytes]).stream().pipeThrough(transform).getReader();
  const chunks = [];
  let length = 0;
  for (;;) {
    const {done, value} = await reader.read();
    if (done) break;
    length += value.length;
    if (length > limit) {
      reader.cancel();
      return null;
    }
    chunks.push(value);
  }
  const whole = new Uint8Array(length);
  let at = 0;
  for (const chunk of chunks) {
    whole.set(chunk, at);
    at += chunk.length;
  }
  return whole;
}

// The address that brings a saved map to whoever opens it, or null when the map cannot travel in one: a name
// beyond the links' rule, or a file too large.
async function linkOfMap(name, bytes) {
  if (!kMapLinkNamePattern.test(name) || bytes.length > kMaxLinkedMapBytes) return null;
  const data = bytesToBase64Url(await transformed(bytes, new CompressionStream('deflate')));
  const fragment = `${kMapLinkStart}${name}/${data}`;
  if (fragment.length > kMaxMapLinkLength) return null;
  const address = new URL(location.href);
  address.hash = fragment;
  return address.href;
}

class BadMapLink extends Error {}

// The map that the address brings, as {name, bytes}; null when it brings none. A link that breaks the rules
// throws a BadMapLink that says why.
async function mapOfLink() {
  const fragment = location.hash.slice(1);
  if (!fragment.startsWith(kMapLinkStart)) return null;
  if (fragment.length > kMaxMapLinkLength) {
    throw new BadMapLink(`it is longer than ${kMaxMapLinkLength.toLocaleString('en')} characters`);
  }
  const content = fragment.slice(kMapLinkStart.length);
  const slash = content.indexOf('/');
  const name = slash < 0 ? content : content.slice(0, slash);
  if (slash < 0 || !kMapLinkNamePattern.test(name)) {
    throw new BadMapLink('its name is not 1 to 64 letters, digits, - or _');
  }
  const deflated = base64UrlToBytes(content.slice(slash + 1));
  if (deflated === null) throw new BadMapLink('its data is not base64url');
  let bytes;
  try {
    bytes = await transformed(deflated, new DecompressionStream('deflate'), kMaxLinkedMapBytes);
  } catch (error) {
    throw new BadMapLink('its data is damaged');
  }
  if (bytes === null) throw new BadMapLink(`its map is larger than ${kMaxLinkedMapBytes / 1024} KiB`);
  return {name, bytes};
}

// The address without the link's map, so that a later start is an ordinary one.
function forgetMapLink() {
  if (location.hash === '') return;
  history.replaceState(history.state, '', location.pathname + location.search);
}
