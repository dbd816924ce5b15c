// Windows's side of the platform: how a map file is replaced on disk. (The POSIX side is tried through
// the map files' own tests, which need POSIX's users, links and processes.)
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMap = "0,1,\n2,3,\n4,5,c,1,7,5\n";

bool writeMap(std::FILE* file) {
    return std::fputs(kMap, file) >= 0;
}

bool failHalfway(std::FILE* file) {
    std::fputs("0,1,\n", file);
    return false;
}

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

DWORD attributesOf(const fs::path& file) {
    return GetFileAttributesW(file.c_str());
}

class ReplaceFileTest : public ::testing::Test {
   protected:
    void SetUp() override {
        folder = makeTemporaryDirectory("replace") / fs::path(u8"Spiele f\u00fcr Zo\u00eb");
    }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(folder.parent_path(), ignored)) {
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(folder.parent_path(), ignored);
    }
    fs::path folder;
};

}  // namespace

// Each case: what is there before, what the save writes, and what it comes to. A save writes the bytes as
// they are (lines end with LF), keeps the old file's attributes, leaves a read-only file as it was, and
// never leaves a temporary file behind, in a folder whose name goes beyond ASCII.
TEST_F(ReplaceFileTest, AMapFileIsReplacedWholeOrNotAtAll) {
    struct Case {
        const char* what;
        const char* old;  // nullptr: no file yet
        DWORD attributes;  // of the old file; 0 for none
        bool (*write)(std::FILE*);
        bool replaced;
    };
    const Case cases[] = {
        {"a new file", nullptr, 0, writeMap, true},
        {"an old file", "old", 0, writeMap, true},
        {"a hidden file stays hidden", "old", FILE_ATTRIBUTE_HIDDEN, writeMap, true},
        {"a read-only file", "old", FILE_ATTRIBUTE_READONLY, writeMap, false},
        {"a write that fails on the way", "old", 0, failHalfway, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directories(folder);
        const fs::path map = folder / "map.txt";
        if (c.old != nullptr) {
            std::ofstream(map, std::ios::binary) << c.old;
            ASSERT_TRUE(SetFileAttributesW(map.c_str(), c.attributes == 0 ? FILE_ATTRIBUTE_NORMAL : c.attributes));
        }
        EXPECT_EQ(replaceFile(reinterpret_cast<const char*>(map.u8string().c_str()), c.write), c.replaced);
        EXPECT_EQ(contentOf(map), c.replaced ? kMap : c.old != nullptr ? c.old : "");
        if (c.old != nullptr) {
            EXPECT_EQ(attributesOf(map) & ~(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL), c.attributes);
        }
        const bool fileThere = c.old != nullptr || c.replaced;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), fileThere ? 1 : 0);
        SetFileAttributesW(map.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(folder);
    }
}
