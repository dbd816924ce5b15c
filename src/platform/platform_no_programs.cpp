// Player programs where none are started (in the browser and on Windows): the command line refuses them
// with the words of whyProgramsCannotStart, and nothing else asks for one.
#include <cstdio>

#include "platform/platform.h"

bool startProgramProcess(int, const char*, char* why, int whySize) {
    std::snprintf(why, static_cast<unsigned>(whySize), "this version starts no programs");
    return false;
}

int writeToProgramProcess(int, const char*, int, int) {
    return kProgramIoClosed;
}

int readFromProgramProcess(int, char*, int, int, int& count) {
    count = 0;
    return kProgramIoClosed;
}

const char* programProcessEnding(int, int) {
    return nullptr;
}

void stopProgramProcess(int, int) {}
