// The browser (Emscripten). The page's script (web/page.js) does the work that only the page can do: it
// wakes the game at the page's events, keeps the saved maps in the browser's storage, and suspends and
// resumes the audio output; the keys that it shows on a touch screen (web/touch.js) reach the game through
// the functions of "The page's keys" below. A page starts no programs.
#include <emscripten.h>
#include <sys/stat.h>

#include <climits>
#include <cstdio>

#include "platform/platform.h"

namespace {

// Returns when one of the page's input or window events was handled by SDL, or after milliseconds. SDL's
// own wait would look at its queue every millisecond, which a browser turns into a timer each time.
EM_ASYNC_JS(void, waitForPageEvent, (int milliseconds), { await Module.qordaWaitForEvent(milliseconds); });
// Copies the maps saved in the game's folder into the browser's storage and returns once they are stored.
EM_ASYNC_JS(void, storeSavedMaps, (), { await Module.qordaStoreSavedMaps(); });
EM_JS(void, showGameEnded, (), { Module.qordaEnded(); });
EM_JS(void, showMatchUnderway, (bool underway), { Module.qordaMatchUnderway(underway); });
EM_JS(void, runAudioOutput, (bool running), { Module.qordaRunAudioOutput(running); });

// Every event that SDL reports in the browser comes from one of the page's events, and each of those ends the
// wait at once, so the game's polling interval is only a bound here; waking 20 times a second to find
// nothing costs a browser several per cent of a core, waking once a second next to nothing.
constexpr int kPageWaitMilliseconds = 1000;

// The output runs this long after the last sound was queued, so that the browser has played all of it.
constexpr Uint32 kSoundTailMilliseconds = 1000;

SDL_AudioDeviceID gDevice = 0;
Uint32 gLastSoundTicks = 0;

// Suspends the audio output once it has nothing left to play.
void quietenAudioOutput() {
    if (gDevice == 0 || SDL_GetQueuedAudioSize(gDevice) > 0) return;
    if (SDL_GetTicks() - gLastSoundTicks < kSoundTailMilliseconds) return;
    runAudioOutput(false);
}

// A key of the page, queued as SDL queues a key of the keyboard.
void pushKey(Uint32 type, SDL_Keycode key, Uint16 modifiers) {
    SDL_Event event{};
    event.key.type = type;
    event.key.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym = {SDL_GetScancodeFromKey(key), key, modifiers, 0};
    SDL_PushEvent(&event);
}

// Typed text as SDL queues it, only while the game reads text.
void pushText(int character) {
    if (!SDL_IsTextInputActive()) return;
    SDL_Event event{};
    event.text.type = SDL_TEXTINPUT;
    event.text.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
    // In UTF-8, as SDL gives typed text: the lead byte carries the length, each following one 6 bits.
    const auto code = static_cast<unsigned>(character);
    const int following = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    char* text = event.text.text;
    text[0] =
        static_cast<char>(following == 0 ? code : (0xFF00u >> (following + 1)) | (code >> (6 * following)));
    for (int i = 1; i <= following; ++i) {
        text[i] = static_cast<char>(0x80u | ((code >> (6 * (following - i))) & 0x3Fu));
    }
    SDL_PushEvent(&event);
}

// Emscripten's C library starts with a umask that takes every permission away, which would leave each map
// that the game saves unreadable to the game itself; the browser's files get the usual mask before the game
// starts.
__attribute__((constructor)) void useUsualFileMask() {
    umask(022);
}

}  // namespace

// ---- The terminal

// The page shows what the game writes on its console (web/page.js); there is no terminal to reach.
void attachToTerminal() {}

// The page puts the game's files where it starts.
void enterGameFolder() {}

// SDL's audio in the browser writes nothing to standard error: there is nothing to keep quiet.
int silenceStream(std::FILE*) {
    return -1;
}

void restoreStream(std::FILE*, int) {}

// ---- The window and the sound

void waitForEvent(int milliseconds) {
    quietenAudioOutput();
    // An event that came while the game slept (the computer's pauses) is already queued: no wait then.
    SDL_PumpEvents();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) return;
    waitForPageEvent(milliseconds > 0 ? kPageWaitMilliseconds : 0);
}

void keepSavedMaps() {
    storeSavedMaps();
}

void matchUnderway(bool underway) {
    showMatchUnderway(underway);
}

void windowClosed() {
    showGameEnded();
}

void startAudioOutput(SDL_AudioDeviceID device) {
    gDevice = device;
    gLastSoundTicks = SDL_GetTicks();
    SDL_PauseAudioDevice(device, 0);
}

void soundQueued(SDL_AudioDeviceID device) {
    gLastSoundTicks = SDL_GetTicks();
    if (device == gDevice) runAudioOutput(true);
}

// ---- Files

// The files are in memory, with no links, owners or disk among them: a new file beside the old one that
// then takes its place is all there is to it. Its name does not end in ".txt", so the page never stores it.
bool replaceFile(const char* fileName, bool (*writeContent)(std::FILE*)) {
    char temporaryName[PATH_MAX];
    if (std::snprintf(temporaryName, sizeof temporaryName, "%s~", fileName) >= PATH_MAX) return false;
    std::FILE* file = std::fopen(temporaryName, "w");
    if (file == nullptr) return false;
    bool written = writeContent(file);
    written = std::fclose(file) == 0 && written && std::rename(temporaryName, fileName) == 0;
    if (!written) std::remove(temporaryName);
    return written;
}

// ---- The page's keys (web/touch.js): its keys and what is typed on the device's own keyboard reach the
// game as the keyboard's keys do; the page wakes the game after each.

// A key pressed or released, named by its SDL key code.
extern "C" EMSCRIPTEN_KEEPALIVE void qordaKeyDown(int key) {
    pushKey(SDL_KEYDOWN, key, KMOD_NONE);
}

extern "C" EMSCRIPTEN_KEEPALIVE void qordaKeyUp(int key) {
    pushKey(SDL_KEYUP, key, KMOD_NONE);
}

// A character typed (a Unicode code point), as its key's press, its text and its release: a capital letter
// is its letter's key with Shift, and a control character is its key alone (backspace, return, escape,
// whose SDL key codes are their characters).
extern "C" EMSCRIPTEN_KEEPALIVE void qordaTypeCharacter(int character) {
    const bool capital = character >= 'A' && character <= 'Z';
    const SDL_Keycode key = capital ? character - 'A' + 'a' : character;
    const Uint16 modifiers = capital ? KMOD_LSHIFT : KMOD_NONE;
    pushKey(SDL_KEYDOWN, key, modifiers);
    if (character >= ' ' && character != SDLK_DELETE) pushText(character);
    pushKey(SDL_KEYUP, key, modifiers);
}

// ---- Player programs

const char* whyProgramsCannotStart() {
    return "the browser version cannot start";
}
