// What differs from one system to another, and nothing else: the terminal, the folder the game runs in,
// the wait for the player, the audio output, how a file is replaced on disk and how a player program runs.
// It sits below every other folder of the game and knows none of them. Each system has a file of its own,
// and a build takes one: platform_posix.cpp (the desktop on POSIX systems), platform_windows.cpp (Windows)
// or platform_web.cpp (the browser); what two of them share is in platform_desktop.cpp (both desktops) and
// platform_no_programs.cpp (the systems that start no player programs). Paths, commands and texts are UTF-8.
#pragma once

#include <SDL.h>

#include <cstdio>

// ---- The terminal

// Called once, first thing in the program, before anything is printed: gives standard output and standard
// error the terminal that started the program, where the system does not do that by itself.
void attachToTerminal();

// Leads stream (stdout or stderr) nowhere until restoreStream, once what it holds is written out. Returns
// what restoreStream needs, or -1 when the stream stays as it was.
int silenceStream(std::FILE* stream);
// Drops what the stream holds and leads it where it went before silenceStream; nothing when saved is -1.
void restoreStream(std::FILE* stream, int saved);

// ---- Where the game runs

// Called once at start-up, before any file is read: makes the working directory the folder the game
// reads its pictures and maps from and saves its maps to, where the system's way of installing a program
// does not do that by itself. Where nothing says otherwise the game stays where it was started.
void enterGameFolder();

// ---- The window and the sound

// Waits until an event arrives or milliseconds have passed, whichever comes first; the event stays queued.
// In the browser, where every event ends the wait at once, the time is a longer bound of its own.
void waitForEvent(int milliseconds);

// Makes the maps saved since the last call outlast the program. On the desktop they are files already; the
// browser keeps them in its own storage and returns once they are stored there.
void keepSavedMaps();

// A match begins (true) or ends (false). The browser's page asks before it restarts the game in the middle
// of one; on the desktop nothing needs to know.
void matchUnderway(bool underway);

// The game's window is gone, at the end of the program. The browser's page then says that the game has
// ended, as a closed window does on the desktop.
void windowClosed();

// The game's audio output is open, and the game has just queued a sound on it. A browser's output costs
// processor while it runs, even in silence, so there it runs only while a sound plays.
void startAudioOutput(SDL_AudioDeviceID device);
void soundQueued(SDL_AudioDeviceID device);

// ---- Files

// Writes the file fileName anew with what writeContent writes into it (false when a write failed), so that
// a failure on the way never destroys the previous file: the content goes into a new file beside it, which
// then takes its place. To the user it is still a plain write: it writes through symbolic links, keeps the
// old file's owner and permissions, fails where the user may not write the file, and writes the file in
// place where no new file can be made beside it or stand for the old one. The bytes reach the file as they
// are written, line ends untranslated, so that a map is the same file on every system. True only when every
// byte reached the disk and the file holds the new content.
bool replaceFile(const char* fileName, bool (*writeContent)(std::FILE* file));

// ---- Player programs: processes kept by slot, the player they play (1 or 2)

// nullptr where this build can start programs; otherwise why not, in words that follow "qorda: " on the
// command line's complaint.
const char* whyProgramsCannotStart();

// What a write to a program or a read from it came to.
enum ProgramIo : int {
    kProgramIoDone = 0,
    kProgramIoTimedOut = 1,
    kProgramIoClosed = 2,  // the program closed its end of the pipe, or ended
};

// Starts command through the system's shell (/bin/sh -c on POSIX) in the working directory, in a group of
// processes of its own that a stop ends as a whole. Its standard input and output are pipes to us that
// never block us, and its standard error is ours; a write into a pipe that the program closed costs us a
// failed write, never our life. False when it cannot be started; why then says why.
bool startProgramProcess(int slot, const char* command, char* why, int whySize);
// Writes length bytes of text to the program's standard input, within milliseconds.
int writeToProgramProcess(int slot, const char* text, int length, int milliseconds);
// Reads what the program wrote, up to capacity bytes, waiting at most milliseconds for the first of them;
// count is set to how many came.
int readFromProgramProcess(int slot, char* buffer, int capacity, int milliseconds, int& count);
// How the program ended, in words, if it ends within milliseconds ("ended with exit status 3"); else
// nullptr. The process stays known until it is stopped, so that no other process takes its place.
const char* programProcessEnding(int slot, int milliseconds);
// Closes the program's pipes, waits up to milliseconds for it to end, then ends its whole group.
void stopProgramProcess(int slot, int milliseconds);
