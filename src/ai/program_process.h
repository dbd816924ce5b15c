// The process of a player program: the one part of a program opponent that depends on the system. The
// program runs through /bin/sh -c in a process group of its own, its standard input and output are pipes
// to us and its standard error is ours. program_process_posix.cpp is the desktop's side; the browser
// starts no programs (program_process_web.cpp). Processes are kept by slot, the player they play.
#pragma once

// Whether this build can start programs at all.
bool canStartPrograms();

// What a write to a program or a read from it came to.
enum ProgramIo : int {
    kProgramIoDone = 0,
    kProgramIoTimedOut = 1,
    kProgramIoClosed = 2,  // the program closed its end of the pipe, or ended
};

// Starts command in the working directory. False when it cannot be started; why then says why.
bool startProgramProcess(int slot, const char* command, char* why, int whySize);
// Writes length bytes of text to the program's standard input, within milliseconds.
int writeToProgramProcess(int slot, const char* text, int length, int milliseconds);
// Reads what the program wrote, up to capacity bytes, waiting at most milliseconds for the first of them;
// count is set to how many came.
int readFromProgramProcess(int slot, char* buffer, int capacity, int milliseconds, int& count);
// How the program ended, in words, if it ends within milliseconds ("ended with exit status 3"); else
// nullptr. The process stays known until it is stopped.
const char* programProcessEnding(int slot, int milliseconds);
// Closes the program's pipes, waits up to milliseconds for it to end, then ends its whole process group.
void stopProgramProcess(int slot, int milliseconds);
