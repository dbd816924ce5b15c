// The browser's side of ai/program_process.h: a page cannot start programs.
#include <cstdio>

#include "ai/program_process.h"

bool canStartPrograms() {
    return false;
}

bool startProgramProcess(int, const char*, char* why, int whySize) {
    std::snprintf(why, static_cast<unsigned>(whySize), "the browser version starts no programs");
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
