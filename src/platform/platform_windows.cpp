// Windows (with platform_desktop.cpp and platform_no_programs.cpp). The game is a window program, so it has
// no console of its own and reaches the terminal that started it by attaching to that terminal's console.
// Paths are UTF-8 in the game and wide strings for Windows. Player programs are not started here: the
// command line refuses them.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/platform.h"

namespace {

std::wstring wide(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), length);
    text.pop_back();  // the terminating zero
    return text;
}

// Whether a standard handle already leads somewhere the caller chose: a file or a pipe.
bool redirected(DWORD standardHandle) {
    const HANDLE handle = GetStdHandle(standardHandle);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

bool sameContent(const std::filesystem::path& one, const std::filesystem::path& other) {
    std::ifstream first(one, std::ios::binary);
    std::ifstream second(other, std::ios::binary);
    if (!first || !second) return false;
    return std::equal(std::istreambuf_iterator<char>(first), {}, std::istreambuf_iterator<char>(second), {});
}

// Fills the player's folder from the installed data, as the Linux launcher does: the pictures follow the
// installed game, while a map that is already there is never replaced, so saved maps survive updates.
void fillPlayersFolder(const std::filesystem::path& installed, const std::filesystem::path& players) {
    std::error_code error;
    std::filesystem::create_directories(players, error);
    for (const auto& entry : std::filesystem::directory_iterator(installed, error)) {
        const std::filesystem::path target = players / entry.path().filename();
        const bool map = entry.path().extension() == ".txt";
        if (!map && sameContent(entry.path(), target)) continue;
        CopyFileW(entry.path().c_str(), target.c_str(), map);  // a map that is there already stays
    }
}

// The new file beside target, made with a name of its own; empty when the directory takes none.
std::wstring createTemporaryFile(const std::wstring& target) {
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"qor", 0, name) == 0) return {};
    return name;
}

// Writes content into a file in binary mode, so that it holds the same bytes as on any other system (lines
// end with LF), and makes it reach the disk.
bool writeFile(const std::wstring& name, bool (*writeContent)(std::FILE*)) {
    std::FILE* file = _wfopen(name.c_str(), L"wb");
    if (file == nullptr) return false;
    bool written = writeContent(file) && std::fflush(file) == 0 &&
                   FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
    return std::fclose(file) == 0 && written;
}

}  // namespace

void attachToTerminal() {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!redirected(STD_OUTPUT_HANDLE)) std::freopen("CONOUT$", "w", stdout);
    if (!redirected(STD_ERROR_HANDLE)) std::freopen("CONOUT$", "w", stderr);
}

void enterGameFolder() {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return;
    const std::filesystem::path folder = std::filesystem::path(program).parent_path();
    std::error_code error;
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData != nullptr && std::filesystem::exists(folder / "data" / "tiles.png", error)) {
        const std::filesystem::path players = std::filesystem::path(appData) / "Qorda";
        fillPlayersFolder(folder / "data", players);
        std::filesystem::current_path(players, error);
    } else if (std::filesystem::exists(folder / "tiles.png", error)) {
        std::filesystem::current_path(folder, error);
    }
}

int silenceStream(std::FILE* stream) {
    std::fflush(stream);
    const int saved = _dup(_fileno(stream));
    if (saved < 0) return -1;
    const int nowhere = _open("NUL", _O_WRONLY);
    if (nowhere < 0 || _dup2(nowhere, _fileno(stream)) != 0) {
        if (nowhere >= 0) _close(nowhere);
        _close(saved);
        return -1;
    }
    _close(nowhere);
    return saved;
}

void restoreStream(std::FILE* stream, int saved) {
    if (saved < 0) return;
    std::fflush(stream);
    _dup2(saved, _fileno(stream));
    _close(saved);
}

// A read-only map file stays as it is. Otherwise the new content goes into a file beside it, which then
// replaces it at once and takes over its attributes, and where the folder takes no new file, the file is
// written in place.
bool replaceFile(const char* fileName, bool (*writeContent)(std::FILE*)) {
    const std::wstring target = wide(fileName);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
    const std::wstring temporary = createTemporaryFile(target);
    if (temporary.empty()) return writeFile(target, writeContent);
    bool replaced = writeFile(temporary, writeContent);
    if (replaced && exists) {
        replaced = ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                nullptr, nullptr) != 0;
        // ReplaceFile keeps the old file's attributes; they are set again for the systems whose ReplaceFile
        // forgets them.
        if (replaced) SetFileAttributesW(target.c_str(), attributes);
    } else if (replaced) {
        replaced = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!replaced) DeleteFileW(temporary.c_str());
    return replaced;
}

const char* whyProgramsCannotStart() {
    return "the Windows version cannot start";
}
