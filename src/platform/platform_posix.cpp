// The desktop on POSIX systems: SDL's own wait, files in the working directory, an audio output that runs
// from start-up on, and player programs started with posix_spawn of /bin/sh, their non-blocking pipes
// watched with poll and their process group ended with one kill.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/platform.h"

extern char** environ;

// ---- The window and the sound

void waitForEvent(int milliseconds) {
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

void keepSavedMaps() {}

void windowClosed() {}

void startAudioOutput(SDL_AudioDeviceID device) {
    SDL_PauseAudioDevice(device, 0);
}

void soundQueued(SDL_AudioDeviceID) {}

// ---- Player programs

namespace {

using Clock = std::chrono::steady_clock;

// input: our end of the program's standard input; output: our end of its standard output.
struct ProgramProcess {
    pid_t pid;
    int input;
    int output;
};
ProgramProcess processes[3] = {{0, -1, -1}, {0, -1, -1}, {0, -1, -1}};
char ending[64];

// How often a stop looks whether the program has ended.
constexpr int kEndingCheckMilliseconds = 10;

Clock::time_point deadlineIn(int milliseconds) {
    return Clock::now() + std::chrono::milliseconds(milliseconds);
}

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until descriptor is ready for events (or broken) before the deadline.
bool waitUntilReady(int descriptor, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd watched = {descriptor, events, 0};
        const int ready = poll(&watched, 1, millisecondsUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

void closeDescriptor(int& descriptor) {
    if (descriptor >= 0) close(descriptor);
    descriptor = -1;
}

// The program's end, without taking its exit status: its process id stays reserved until the stop, so
// that the kill of its group can never reach another's.
bool hasEnded(pid_t pid, siginfo_t& info) {
    info = {};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

bool makePipe(int ends[2]) {
    return pipe2(ends, O_CLOEXEC) == 0;
}

// The program gets the pipes as its standard input and output, a process group of its own, no blocked
// signals and the default action of SIGPIPE, which we ignore.
int spawnShell(pid_t& pid, const char* command, int input, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    char shell[] = "sh";
    char option[] = "-c";
    char* arguments[] = {shell, option, const_cast<char*>(command), nullptr};
    const int error = posix_spawn(&pid, "/bin/sh", &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

}  // namespace

const char* whyProgramsCannotStart() {
    return nullptr;
}

bool startProgramProcess(int slot, const char* command, char* why, int whySize) {
    // A program that ends while we write to it must cost us a failed write, not our life.
    signal(SIGPIPE, SIG_IGN);
    int input[2], output[2];
    int error = 0;
    if (!makePipe(input)) {
        error = errno;
    } else if (!makePipe(output)) {
        error = errno;
        close(input[0]);
        close(input[1]);
    }
    pid_t pid = 0;
    if (error == 0) {
        error = spawnShell(pid, command, input[0], output[1]);
        close(input[0]);
        close(output[1]);
        if (error != 0) {
            close(input[1]);
            close(output[0]);
        }
    }
    if (error != 0) {
        std::snprintf(why, static_cast<unsigned>(whySize), "%s", std::strerror(error));
        return false;
    }
    fcntl(input[1], F_SETFL, O_NONBLOCK);
    fcntl(output[0], F_SETFL, O_NONBLOCK);
    processes[slot] = {pid, input[1], output[0]};
    return true;
}

int writeToProgramProcess(int slot, const char* text, int length, int milliseconds) {
    const Clock::time_point deadline = deadlineIn(milliseconds);
    const int descriptor = processes[slot].input;
    while (length > 0) {
        if (descriptor < 0) return kProgramIoClosed;
        const ssize_t written = write(descriptor, text, static_cast<size_t>(length));
        if (written > 0) {
            text += written;
            length -= static_cast<int>(written);
        } else if (errno == EPIPE) {
            return kProgramIoClosed;
        } else if (errno != EINTR && !waitUntilReady(descriptor, POLLOUT, deadline)) {
            return kProgramIoTimedOut;
        }
    }
    return kProgramIoDone;
}

int readFromProgramProcess(int slot, char* buffer, int capacity, int milliseconds, int& count) {
    const Clock::time_point deadline = deadlineIn(milliseconds);
    const int descriptor = processes[slot].output;
    count = 0;
    for (;;) {
        if (descriptor < 0) return kProgramIoClosed;
        const ssize_t read = ::read(descriptor, buffer, static_cast<size_t>(capacity));
        if (read > 0) {
            count = static_cast<int>(read);
            return kProgramIoDone;
        }
        if (read == 0) return kProgramIoClosed;
        if (errno != EINTR && errno != EAGAIN) return kProgramIoClosed;
        if (errno == EAGAIN && !waitUntilReady(descriptor, POLLIN, deadline)) return kProgramIoTimedOut;
    }
}

const char* programProcessEnding(int slot, int milliseconds) {
    const pid_t pid = processes[slot].pid;
    if (pid <= 0) return nullptr;
    const Clock::time_point deadline = deadlineIn(milliseconds);
    siginfo_t info;
    while (!hasEnded(pid, info)) {
        if (millisecondsUntil(deadline) == 0) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(kEndingCheckMilliseconds));
    }
    if (info.si_code == CLD_EXITED) {
        std::snprintf(ending, sizeof ending, "ended with exit status %d", info.si_status);
    } else {
        std::snprintf(ending, sizeof ending, "was ended by signal %d (%s)", info.si_status,
                      strsignal(info.si_status));
    }
    return ending;
}

void stopProgramProcess(int slot, int milliseconds) {
    ProgramProcess& process = processes[slot];
    closeDescriptor(process.input);
    closeDescriptor(process.output);
    if (process.pid <= 0) return;
    programProcessEnding(slot, milliseconds);
    kill(-process.pid, SIGKILL);
    waitpid(process.pid, nullptr, 0);
    process.pid = 0;
}
