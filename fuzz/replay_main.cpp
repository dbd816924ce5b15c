// Runs a fuzz target over files instead of under libFuzzer: every file named on the command line, and
// every file in every directory named there. The test builds register one such run per seed corpus, so
// that the seeds and every input that once broke the game are checked by the plain and the sanitizer
// test runs alike.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

namespace {

void replayFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    // The targets may change the working directory when they start, so the paths are taken first.
    std::vector<fs::path> files;
    for (int index = 1; index < argc; ++index) {
        const fs::path named = fs::absolute(argv[index]);
        if (fs::is_directory(named)) {
            std::vector<fs::path> inDirectory;
            for (const auto& entry : fs::directory_iterator(named)) {
                if (entry.is_regular_file()) inDirectory.push_back(entry.path());
            }
            std::sort(inDirectory.begin(), inDirectory.end());
            files.insert(files.end(), inDirectory.begin(), inDirectory.end());
        } else if (fs::is_regular_file(named)) {
            files.push_back(named);
        } else {
            std::fprintf(stderr, "no such input: %s\n", argv[index]);
            return 1;
        }
    }
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    for (const fs::path& file : files) replayFile(file);
    std::printf("replayed %zu inputs\n", files.size());
    return files.empty() ? 1 : 0;
}
