#include "rules/range_attack.h"

#include <string>
#include <utility>
#include <vector>

#include "rules/rules.h"
#include "support/rules_picture.h"

namespace {

using Hex = std::pair<int, int>;

const char* const kTargetingPrompt =
    "Player 1: Attack enemy units with Enter or Space. Press Escape or Backspace when done.";

const SDL_Rect kBoardArea = {0, 0, kWindowWidth, kInfoLineY};

// The middle band of a hex cell: inside its hexagon and no other hex's.
SDL_Rect bandOf(const Hex& hex) {
    return {hexOriginX(hex.second) + kHexBandLeft, hexOriginY(hex.first, hex.second), kHexBandWidth,
            kHexBandHeight};
}

// How many pixels of the hex's middle band are redder now than in the picture taken before.
int reddenedPixels(const std::vector<Uint32>& before, const Hex& hex) {
    const SDL_Rect band = bandOf(hex);
    const std::vector<Uint32> now = readPicture(band);
    int count = 0;
    for (int dy = 0; dy < band.h; ++dy) {
        for (int dx = 0; dx < band.w; ++dx) {
            const Uint32 old = before[static_cast<size_t>((band.y + dy) * kWindowWidth + band.x + dx)];
            if ((now[static_cast<size_t>(dy * band.w + dx)] >> 16) > (old >> 16)) ++count;
        }
    }
    return count;
}

// Whether the hex shows its target highlight without the cursor. The check repaints the hex.
bool hexShowsHighlight(const Hex& hex) {
    const std::vector<Uint32> shown = hexPixels(hex.first, hex.second);
    redrawHex(hex.first, hex.second, 0);
    renderRangeTarget(hex.first, hex.second);
    return shown == hexPixels(hex.first, hex.second);
}

class RangeAttackTest : public RulesTest {
   protected:
    // Targets from the Archer with the scripted keys; the quit event after them leaves the marks drawn.
    int target(int row, int column, const std::vector<SDL_Keycode>& keys) {
        for (SDL_Keycode key : keys) script({keyEvent(key)});
        return performRangeAttack(row, column);
    }
};

TEST_F(RangeAttackTest, HighlightsTheTwelveHexesAtDistanceTwo) {
    struct Case {
        Hex archer;
        std::vector<Hex> ring;  // position 0 first, where the target starts
        std::vector<Hex> outside;
    };
    const Case cases[] = {
        {{4, 8},
         {{4, 10}, {3, 10}, {2, 9}, {2, 8}, {2, 7}, {3, 6}, {4, 6}, {5, 6}, {5, 7}, {6, 8}, {5, 9}, {5, 10}},
         {{4, 8}, {3, 8}, {4, 9}, {3, 9}, {1, 8}, {7, 8}, {4, 11}, {6, 7}}},
        // In an odd column the positions 2, 4, 8 and 10 lie one row lower.
        {{4, 7},
         {{4, 9}, {3, 9}, {3, 8}, {2, 7}, {3, 6}, {3, 5}, {4, 5}, {5, 5}, {6, 6}, {6, 7}, {6, 8}, {5, 9}},
         {{4, 7}, {2, 8}, {2, 6}, {5, 6}, {5, 8}, {4, 8}, {5, 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("Archer at " + std::to_string(c.archer.first) + ", " + std::to_string(c.archer.second));
        freshBoard();
        place(c.archer.first, c.archer.second, 'a', 1, 10, 5);
        const std::vector<Uint32> before = readPicture();

        EXPECT_EQ(target(c.archer.first, c.archer.second, {}), 1) << "quit leaves the marks drawn";

        const int bandPixels = kHexBandWidth * kHexBandHeight;
        for (const Hex& hex : c.ring) {
            EXPECT_GT(reddenedPixels(before, hex), bandPixels / 2) << hex.first << ", " << hex.second;
        }
        for (const Hex& hex : c.outside) {
            EXPECT_EQ(reddenedPixels(before, hex), 0) << hex.first << ", " << hex.second;
        }
        EXPECT_TRUE(cursorDrawnAt(c.ring[0].first, c.ring[0].second, 1));
        for (size_t position = 1; position < c.ring.size(); ++position) {
            EXPECT_TRUE(hexShowsHighlight(c.ring[position])) << "position " << position;
        }
        EXPECT_TRUE(infoLineReads(kTargetingPrompt));
    }
}

TEST_F(RangeAttackTest, TheTargetWalksAlongTheRingWithTwoKeysPerPosition) {
    struct Case {
        const char* name;
        Hex archer;
        Hex start;
        std::vector<SDL_Keycode> keys;
        Hex expected;
    };
    const std::vector<SDL_Keycode> forwardRound = {SDLK_g, SDLK_f, SDLK_f, SDLK_c, SDLK_c, SDLK_v,
                                                   SDLK_v, SDLK_b, SDLK_b, SDLK_h, SDLK_h, SDLK_g};
    const Case cases[] = {
        {"up from 0 to 1", {4, 8}, {4, 10}, {SDLK_g}, {3, 10}},
        {"down from 0 to 11", {4, 8}, {4, 10}, {SDLK_v}, {5, 10}},
        {"up-left at 0", {4, 8}, {4, 10}, {SDLK_f}, {4, 10}},
        {"up-right at 0", {4, 8}, {4, 10}, {SDLK_h}, {4, 10}},
        {"down-left at 0", {4, 8}, {4, 10}, {SDLK_c}, {4, 10}},
        {"down-right at 0", {4, 8}, {4, 10}, {SDLK_b}, {4, 10}},
        {"top-row 2 is no direction", {4, 8}, {4, 10}, {SDLK_2}, {4, 10}},
        {"forward to 6", {4, 8}, {4, 10}, {SDLK_g, SDLK_f, SDLK_f, SDLK_c, SDLK_c, SDLK_v}, {4, 6}},
        {"backward to 6", {4, 8}, {4, 10}, {SDLK_v, SDLK_c, SDLK_c, SDLK_f, SDLK_f, SDLK_g}, {4, 6}},
        {"forward to 8",
         {4, 8},
         {4, 10},
         {SDLK_g, SDLK_f, SDLK_f, SDLK_c, SDLK_c, SDLK_v, SDLK_v, SDLK_b},
         {5, 7}},
        {"round the ring", {4, 8}, {4, 10}, forwardRound, {4, 10}},
        {"odd column: forward to 2", {4, 7}, {4, 9}, {SDLK_g, SDLK_f}, {3, 8}},
        {"odd column: backward to 8", {4, 7}, {4, 9}, {SDLK_v, SDLK_c, SDLK_c, SDLK_f}, {6, 6}},
        {"odd column: forward to 10",
         {4, 7},
         {4, 9},
         {SDLK_g, SDLK_f, SDLK_f, SDLK_c, SDLK_c, SDLK_v, SDLK_v, SDLK_b, SDLK_b, SDLK_h},
         {6, 8}},
        {"odd column: round the ring", {4, 7}, {4, 9}, forwardRound, {4, 9}},
        {"corner: starts at 6", {0, 16}, {0, 14}, {}, {0, 14}},
        {"top edge: up from 0 skips 1 to 5", {0, 8}, {0, 10}, {SDLK_g}, {0, 6}},
        {"top edge: and back from 6 to 0", {0, 8}, {0, 10}, {SDLK_g, SDLK_g}, {0, 10}},
        {"corner: down from 0 skips 11 to 4", {9, 0}, {9, 2}, {SDLK_v}, {7, 0}},
        {"corner: and back from 3 to 0", {9, 0}, {9, 2}, {SDLK_v, SDLK_c}, {9, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshBoard();
        place(c.archer.first, c.archer.second, 'a', 1, 10, 5);

        EXPECT_EQ(target(c.archer.first, c.archer.second, c.keys), 1);

        EXPECT_TRUE(cursorDrawnAt(c.expected.first, c.expected.second, 1));
        if (c.expected != c.start) {
            EXPECT_TRUE(hexShowsHighlight(c.start)) << "the left start keeps its highlight";
        }
    }
}

TEST_F(RangeAttackTest, ShootsEnemiesOnlyAndMayShootAgain) {
    place(4, 8, 'a', 1, 6, 5);
    place(4, 10, 's', 2, 6, 2);  // behind rocks: nothing blocks a shot
    place(9, 16, 'c', 2, 6, 2);
    place(3, 10, 'c', 1, 6, 2);
    gMap[4][9] = 200;
    renderMap();

    // Up to the own Cavalry, Enter; down to the enemy, Enter twice; down to the empty hex, Enter; up again.
    startCapturingStdout();
    const int result =
        target(4, 8, {SDLK_g, SDLK_RETURN, SDLK_v, SDLK_RETURN, SDLK_SPACE, SDLK_v, SDLK_KP_ENTER, SDLK_g});
    EXPECT_EQ(capturedStdout(), "\a");

    EXPECT_EQ(result, 1);
    EXPECT_EQ(gUnitActionPoint[4][8], 0);
    EXPECT_EQ(gUnitHealthPoint[3][10], 2);
    EXPECT_EQ(gUnitOwner[4][10], 0);
    EXPECT_EQ(gNumberOfUnit[2], 1);
    EXPECT_TRUE(cursorDrawnAt(4, 10, 1)) << "the cursor came back to the emptied hex";
    EXPECT_TRUE(hexShowsHighlight({5, 10}));
    EXPECT_TRUE(infoLineReads(kTargetingPrompt));
}

TEST_F(RangeAttackTest, TooFewActionPointsShowTheMessageAndTargetingGoesOn) {
    place(4, 8, 'a', 1, 2, 5);
    place(4, 10, 's', 2, 6, 2);

    EXPECT_EQ(target(4, 8, {SDLK_RETURN, SDLK_v}), 1);

    EXPECT_EQ(gUnitHealthPoint[4][10], 2);
    EXPECT_EQ(gUnitActionPoint[4][8], 2);
    EXPECT_TRUE(cursorDrawnAt(5, 10, 1));
    EXPECT_TRUE(infoLineReads("Not enough action points to attack."));
}

TEST_F(RangeAttackTest, EscapeKeysClearTheRingAndTheArcherStaysSelected) {
    for (SDL_Keycode key : {SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_KP_BACKSPACE}) {
        SCOPED_TRACE(SDL_GetKeyName(key));
        freshBoard();
        place(4, 8, 'a', 1, 10, 5);
        place(2, 8, 'c', 2, 6, 2);
        place(5, 6, 's', 1, 6, 2);
        gMap[3][6] = 140;
        renderMap();
        selectUnitOnMap(4, 8);
        const std::vector<Uint32> before = readPicture(kBoardArea);

        EXPECT_EQ(target(4, 8, {SDLK_v, SDLK_c, key}), 0);

        EXPECT_EQ(scriptedPassesLeft(), 0);
        EXPECT_EQ(dryPolls(), 0);
        EXPECT_EQ(readPicture(kBoardArea), before) << "no highlight or cursor left";
        EXPECT_TRUE(hexShowsRepaint(4, 8, 1));
    }
}

TEST_F(RangeAttackTest, KillingTheLastEnemyReturnsTheWinnerCodeAndClearsTheRing) {
    place(4, 8, 'a', 2, 3, 5);
    place(2, 8, 'c', 1, 6, 1);
    selectUnitOnMap(4, 8);

    // Along the ring to position 3, straight up two rows, and shoot; a key closes the victory notice.
    startCapturingStdout();
    const int result = target(4, 8, {SDLK_g, SDLK_f, SDLK_f, SDLK_RETURN, SDLK_x, SDLK_ESCAPE});
    EXPECT_EQ(capturedStdout(), "\a");

    EXPECT_EQ(result, 12);
    EXPECT_EQ(gNumberOfUnit[1], 0);
    EXPECT_EQ(gUnitActionPoint[4][8], 0);
    const Hex ring[] = {{4, 10}, {3, 10}, {2, 9}, {2, 8}, {2, 7}, {3, 6},
                        {4, 6},  {5, 6},  {5, 7}, {6, 8}, {5, 9}, {5, 10}};
    for (const Hex& hex : ring) {
        EXPECT_TRUE(hexShowsRepaint(hex.first, hex.second, 0))
            << "no highlight or cursor left on " << hex.first << ", " << hex.second;
    }
    EXPECT_TRUE(hexShowsRepaint(4, 8, 1));
    EXPECT_TRUE(infoLineReads("Player 2 won the battle. Press any key to return to main menu."));
}

}  // namespace
