// The font generator refuses malformed glyph files loudly and writes nothing for them. (That it
// reproduces data/font.bmp from the committed glyphs.txt is checked by image_check, see CMakeLists.txt.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& file) {
    std::ifstream input(file, std::ios::binary);
    std::stringstream content;
    content << input.rdbuf();
    return content.str();
}

const std::string& committedGlyphs() {
    static const std::string text = readText(fs::path(QORDA_SOURCE_DIR) / "tools/fontgen/glyphs.txt");
    return text;
}

// The offset of the first pixel row of the glyph with the given label line.
size_t firstRowOf(const std::string& text, const std::string& labelLine) {
    const size_t label = text.find(labelLine + "\n");
    EXPECT_NE(label, std::string::npos) << labelLine;
    return label + labelLine.size() + 1;
}

// The glyph file with the first rowCount pixel rows of a glyph replaced by rows (lines without the last
// line feed).
std::string withRowsOf(const std::string& labelLine, int rowCount, const std::string& rows) {
    std::string text = committedGlyphs();
    const size_t start = firstRowOf(text, labelLine);
    size_t end = start;
    for (int row = 0; row < rowCount; ++row) end = text.find('\n', end) + 1;
    return text.replace(start, end - 1 - start, rows);
}
std::string withFirstRowOf(const std::string& labelLine, const std::string& row) {
    return withRowsOf(labelLine, 1, row);
}

std::string withoutFirstRowOf(const std::string& labelLine) {
    std::string text = committedGlyphs();
    const size_t start = firstRowOf(text, labelLine);
    return text.erase(start, text.find('\n', start) - start + 1);
}

// The glyph file without its last glyph (the underscore), and with an extra glyph after it.
std::string withoutLastGlyph() {
    const std::string& text = committedGlyphs();
    return text.substr(0, text.rfind("glyph "));
}
std::string withExtraGlyph(const std::string& label) {
    const std::string& text = committedGlyphs();
    return text + "\nglyph " + label + "\n" + text.substr(firstRowOf(text, "glyph A"), 9 * 8);
}

struct GeneratorRun {
    int status;
    std::string errors;
    bool wroteOutput;
};

class FontGenerator : public ::testing::Test {
   protected:
    void SetUp() override { directory = makeTemporaryDirectory("fontgen"); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    GeneratorRun generate(const std::string& glyphs) {
        std::ofstream(directory / "glyphs.txt", std::ios::binary) << glyphs;
        return generateFrom(directory / "glyphs.txt");
    }
    GeneratorRun generateFrom(const fs::path& glyphsFile) {
        const fs::path output = directory / "font.bmp";
        const fs::path errors = directory / "errors.txt";
        const std::string command = std::string(FONTGEN_PATH) + " " + glyphsFile.string() + " " +
                                    output.string() + " 2> " + errors.string();
        const int status = std::system(command.c_str());
        return {status, readText(errors), fs::exists(output)};
    }

    fs::path directory;
};

TEST_F(FontGenerator, WritesTheAtlasFromTheCommittedGlyphs) {
    const GeneratorRun run = generate(committedGlyphs());
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.wroteOutput);
    EXPECT_EQ(run.errors, "");
}

TEST_F(FontGenerator, RefusesMalformedGlyphFiles) {
    struct Case {
        const char* what;
        std::string glyphs;
        const char* message;
    };
    const Case cases[] = {
        {"79 glyphs", withoutLastGlyph(), "79 glyphs instead of 80"},
        {"81 glyphs", withExtraGlyph("#"), "81 glyphs instead of 80"},
        {"a short row", withFirstRowOf("glyph A", ".###..."), "row of 7 pixels instead of 8"},
        {"a long row", withFirstRowOf("glyph A", ".###o...."), "row of 9 pixels instead of 8"},
        {"an unknown pixel", withFirstRowOf("glyph A", ".###x..."), "only '.', '#' and 'o' may draw a glyph"},
        {"a glyph of 7 rows", withoutFirstRowOf("glyph A"), "glyph \"A\" has 7 rows instead of 8"},
        {"the last glyph of 7 rows", withoutFirstRowOf("glyph _  (underscore, code 95)"),
         "glyph \"_  (underscore, code 95)\" has 7 rows instead of 8"},
        {"a glyph of 9 rows", withFirstRowOf("glyph A", "........\n.###o..."),
         "glyph \"A\" has more than 8 rows"},
        {"a label twice", withExtraGlyph("A"), "glyph \"A\" appears twice"},
        {"a glyph without light pixels",
         withRowsOf("glyph 1", 8,
                    "........\n........\n........\n........\n"
                    "........\n........\n........\n........"),
         "glyph \"1\" has no light pixel"},
        {"rows before any label", "........\n" + committedGlyphs(),
         "pixel row before the first \"glyph\" line"},
        {"an empty file", "", "0 glyphs instead of 80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GeneratorRun run = generate(c.glyphs);
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_FALSE(run.wroteOutput);
    }
}

TEST_F(FontGenerator, NamesTheLineOfTheFault) {
    const std::string text = withFirstRowOf("glyph A", ".###...");
    const size_t badRow = firstRowOf(text, "glyph A");
    const long line = std::count(text.begin(), text.begin() + static_cast<long>(badRow), '\n') + 1;
    const GeneratorRun run = generate(text);
    EXPECT_NE(run.errors.find("glyphs.txt:" + std::to_string(line) + ": "), std::string::npos) << run.errors;
}

TEST_F(FontGenerator, RefusesAMissingGlyphFile) {
    const GeneratorRun run = generateFrom(directory / "missing.txt");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find("cannot read"), std::string::npos) << run.errors;
    EXPECT_FALSE(run.wroteOutput);
}

}  // namespace
