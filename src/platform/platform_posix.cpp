// The desktop on POSIX systems (with platform_desktop.cpp): file replacement through mkstemp and rename, and
// player programs started with posix_spawn of /bin/sh, their non-blocking pipes watched with poll and their
// process group ended with one kill.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/platform.h"

extern char** environ;

// ---- The terminal

// A POSIX program inherits the descriptors of the terminal that started it.
void attachToTerminal() {}

// The launcher, or whoever starts the game, chooses its folder.
void enterGameFolder() {}

int silenceStream(std::FILE* stream) {
    std::fflush(stream);
    const int descriptor = fileno(stream);
    const int saved = dup(descriptor);
    const int nowhere = open("/dev/null", O_WRONLY);
    if (saved >= 0 && nowhere >= 0) dup2(nowhere, descriptor);
    if (nowhere >= 0) close(nowhere);
    return saved;
}

void restoreStream(std::FILE* stream, int saved) {
    if (saved < 0) return;
    std::fflush(stream);
    dup2(saved, fileno(stream));
    close(saved);
}

// ---- Files

namespace {

// A replacement is written into a file of this name, with the Xs made unique, in the target's directory.
// It is short, so that it fits wherever the target's own name fits.
constexpr char kTemporaryName[] = ".qorda-XXXXXX";
// As many symbolic links as the system follows on the way to a file.
constexpr int kMaxLinksFollowed = 40;

// The permissions that a newly created file gets: read and write for everyone, less the umask.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The file that a plain write to fileName writes: fileName itself, or the file that its symbolic links
// lead to (the last may lead to nothing yet: a plain write creates it). False where the system would not
// follow the links either (too many, or too long).
bool followLinks(const char* fileName, char target[PATH_MAX]) {
    if (std::snprintf(target, PATH_MAX, "%s", fileName) >= PATH_MAX) return false;
    for (int links = 0; links <= kMaxLinksFollowed; ++links) {
        char destination[PATH_MAX];
        const ssize_t length = readlink(target, destination, sizeof destination);
        if (length < 0) return true;  // not a link, or nothing there
        if (length == sizeof destination) return false;
        destination[length] = 0;
        // A relative destination starts in the link's own directory.
        const char* slash = std::strrchr(target, '/');
        const int kept = destination[0] == '/' || slash == nullptr ? 0 : static_cast<int>(slash - target) + 1;
        char followed[PATH_MAX];
        if (std::snprintf(followed, sizeof followed, "%.*s%s", kept, target, destination) >= PATH_MAX) {
            return false;
        }
        std::memcpy(target, followed, sizeof followed);
    }
    return false;
}

// Whether a plain write could open the file: the user may write it, the file system allows it. Opening
// it for writing, without truncating, asks the system itself and changes nothing.
bool mayWrite(const char* target) {
    const int descriptor = open(target, O_WRONLY | O_NOCTTY);
    if (descriptor < 0) return false;
    ::close(descriptor);
    return true;
}

// A new file with a short name in the directory of target, so that it fits wherever target's name
// fits; its name goes into temporaryName. -1 when it cannot be made (errno says why).
int createTemporaryFile(const char* target, char temporaryName[PATH_MAX]) {
    const char* slash = std::strrchr(target, '/');
    const int directory = slash == nullptr ? 0 : static_cast<int>(slash - target) + 1;
    if (std::snprintf(temporaryName, PATH_MAX, "%.*s%s", directory, target, kTemporaryName) >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return mkstemp(temporaryName);
}

// Whether the new file could not be made because the directory does not allow it (or its name) rather
// than for want of room, say, where writing in place could destroy the previous file as well.
bool directoryRefusedNewFile() {
    return errno == EACCES || errno == EPERM || errno == ENAMETOOLONG;
}

// Gives the new file what the old one had (owner, group, permission bits), or a new file's permissions
// when there was none. False when the owner or group cannot be kept.
bool takeOverAttributes(int descriptor, const struct stat* old) {
    if (old == nullptr) return fchmod(descriptor, newFileMode()) == 0;
    struct stat created;
    if (fstat(descriptor, &created) != 0) return false;
    if ((created.st_uid != old->st_uid || created.st_gid != old->st_gid) &&
        fchown(descriptor, old->st_uid, old->st_gid) != 0) {
        return false;
    }
    return fchmod(descriptor, old->st_mode & 07777) == 0;
}

// Writes the content into the file itself, as a plain write does.
bool writeInPlace(const char* target, bool (*writeContent)(std::FILE*)) {
    std::FILE* file = std::fopen(target, "w");
    if (file == nullptr) return false;
    const bool written = writeContent(file);
    return std::fclose(file) == 0 && written;
}

}  // namespace

// A new file could not stand for the old one where that is no regular file (a device), has several names,
// or belongs to another owner that the new file cannot be given: such a file is written in place.
bool replaceFile(const char* fileName, bool (*writeContent)(std::FILE*)) {
    char target[PATH_MAX];
    if (!followLinks(fileName, target)) return false;
    struct stat old;
    const bool exists = stat(target, &old) == 0;
    if (exists && S_ISREG(old.st_mode) && !mayWrite(target)) return false;
    if (exists && (!S_ISREG(old.st_mode) || old.st_nlink > 1)) return writeInPlace(target, writeContent);
    char temporaryName[PATH_MAX];
    const int descriptor = createTemporaryFile(target, temporaryName);
    if (descriptor < 0) return directoryRefusedNewFile() && writeInPlace(target, writeContent);
    const bool attributesKept = takeOverAttributes(descriptor, exists ? &old : nullptr);
    std::FILE* file = attributesKept ? fdopen(descriptor, "w") : nullptr;
    if (file == nullptr) {
        ::close(descriptor);
        std::remove(temporaryName);
        return !attributesKept && writeInPlace(target, writeContent);
    }
    bool written = writeContent(file) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    written = written && std::rename(temporaryName, target) == 0;
    if (!written) std::remove(temporaryName);
    return written;
}

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
