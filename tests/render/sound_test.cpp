// The sound of a unit's fall, heard through SDL's disk audio driver, which writes what the game plays to
// a file; and a game without sound, whose driver does not exist.
#include "render/sound.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "flow/program.h"
#include "render/window.h"
#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

// A match of two humans on a board where player 1's Cavalry, selected, destroys the Shield below it
// (player 2 keeps another unit, so the match goes on).
constexpr const char* kUnits = "0,0,c,1,10,5\n1,0,s,2,10,1\n9,16,s,2,10,8\n";
constexpr SDL_Keycode kListenBefore = -1;  // wait, then check that only silence was played so far
constexpr SDL_Keycode kListenAfter = -2;   // wait while the sound plays
constexpr SDL_Keycode kSession[] = {SDLK_2,      SDLK_RETURN, kListenBefore, SDLK_v, kListenAfter,
                                    SDLK_ESCAPE, SDLK_ESCAPE, SDLK_m,        SDLK_6};
constexpr int kListenMilliseconds = 400;

std::string gAudioFile;
size_t gStep = 0;
size_t gBytesBefore = 0;  // what the driver had written before the fall
std::vector<Sint16> gPlayed;

std::vector<Sint16> samplesOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<Sint16> samples(bytes.size() / sizeof(Sint16));
    std::copy_n(bytes.data(), samples.size() * sizeof(Sint16), reinterpret_cast<char*>(samples.data()));
    return samples;
}

void walkSession() {
    const SDL_Keycode step = takeSessionStep(kSession, std::size(kSession), gStep);
    if (step != kListenBefore && step != kListenAfter) return;
    SDL_Delay(kListenMilliseconds);
    if (gAudioFile.empty()) return;
    if (step == kListenBefore) gBytesBefore = fs::file_size(gAudioFile);
}

class SoundTest : public DataDirectoryTest {
   protected:
    void SetUp() override {
        DataDirectoryTest::SetUp();
        std::ofstream map(workDirectory / "map01.txt");
        for (int row = 0; row < 10; ++row) map << "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n";
        map << kUnits;
        gStep = 0;
        gBytesBefore = 0;
        gPlayed.clear();
        gBeforePoll = walkSession;
    }
    void TearDown() override {
        setEnvironment("SDL_AUDIODRIVER", "dummy");
        setEnvironment("SDL_DISKAUDIOFILE", nullptr);
        gAudioFile.clear();
        DataDirectoryTest::TearDown();
    }
    // Runs the session through the whole program and returns what it printed.
    std::string runSession() {
        startCapturingStdout();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(SDL_main(0, nullptr), 0);
        errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(gStep, std::size(kSession));
        return capturedStdout();
    }

    std::string errors;
};

TEST_F(SoundTest, SilenceUntilAUnitFallsThenAShortThudThatFadesInAndOut) {
    gAudioFile = (workDirectory / "played.raw").string();
    setEnvironment("SDL_AUDIODRIVER", "disk");
    setEnvironment("SDL_DISKAUDIOFILE", gAudioFile.c_str());
    EXPECT_EQ(runSession(), "\a");
    // Read once the driver has closed the file, which Windows keeps to the writer while it is open.
    gPlayed = samplesOf(gAudioFile);

    const size_t before = gBytesBefore / sizeof(Sint16);
    ASSERT_GT(before, 0u) << "the driver wrote nothing before the fall";
    ASSERT_GT(gPlayed.size(), before);
    EXPECT_TRUE(std::all_of(gPlayed.begin(), gPlayed.begin() + static_cast<long>(before), [](Sint16 sample) {
        return sample == 0;
    })) << "something was heard before the fall";
    const auto isHeard = [](Sint16 sample) { return sample != 0; };
    const auto first = std::find_if(gPlayed.begin() + static_cast<long>(before), gPlayed.end(), isHeard);
    ASSERT_NE(first, gPlayed.end()) << "nothing was heard after the fall";
    const auto last = std::find_if(gPlayed.rbegin(), gPlayed.rend(), isHeard).base();
    const double milliseconds = 1000.0 * static_cast<double>(last - first) / 48000.0;
    EXPECT_GE(milliseconds, 100.0);
    EXPECT_LE(milliseconds, 200.0);
    int peak = 0;
    for (auto sample = first; sample != last; ++sample)
        peak = std::max(peak, std::abs(static_cast<int>(*sample)));
    EXPECT_GT(peak, 32767 / 5) << "too quiet";
    EXPECT_LT(peak, 32767 / 2) << "too loud";
    // Fades at both ends: the first and last millisecond stay far below the peak.
    EXPECT_LT(std::abs(static_cast<int>(*first)), peak / 10);
    EXPECT_LT(std::abs(static_cast<int>(*(last - 1))), peak / 10);
}

TEST_F(SoundTest, WithoutAnAudioOutputTheGamePlaysSilentlyAndPrintsOnlyTheBeep) {
    setEnvironment("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_EQ(runSession(), "\a");
    EXPECT_LE(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

}  // namespace
