// The strong computer on small boards where planning the turn plainly beats acting one unit at a time,
// and on one where both must see the same kill: the side to move plays its turn as each computer, the
// other side, when asked, answers with the standard computer, and the units left on each side are
// compared. The boards are map files in strong_boards/.
#include "ai/strong_turn.h"

#include <string>

#include "ai/ai_turn.h"
#include "ai/opponent.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"
#include "support/game_test.h"

namespace {

class StrongTurnTest : public GameTest {};

struct UnitsLeft {
    int mine;
    int theirs;
    bool operator==(const UnitsLeft&) const = default;
};

// Plays the side's turn as the opponent, then, with an answer, the other side's turn as the standard
// computer; a key is ready for a victory notice.
UnitsLeft play(const std::string& board, int player, AiOpponent opponent, bool answer) {
    EXPECT_TRUE(loadMapFile((std::string(QORDA_SOURCE_DIR) + "/tests/ai/strong_boards/" + board).c_str()));
    const int enemy = aiEnemyOf(player);
    script({keyEvent(SDLK_SPACE)});
    const int result = aiPerformOpponentTurn(opponent, player);
    if (answer && !isWinnerCode(result)) {
        addEndOfTurnActionPoint(player);
        aiPerformTurn(enemy);
    }
    clearScript();
    EXPECT_EQ(boardInvariantViolation(), "");
    return {gNumberOfUnit[player], gNumberOfUnit[enemy]};
}

TEST_F(StrongTurnTest, ThePlannedTurnDoesPlainlyBetter) {
    const struct {
        const char* board;
        int player;
        bool answer;
        UnitsLeft strong;
        UnitsLeft standard;
    } cases[] = {
        // A Shield with one health point holds the only gap in a wall, an Archer behind it. Shot by the
        // Archer, it opens the way for the Cavalry, which still has the action points to reach the Archer
        // and destroy it; the Cavalry that strikes the Shield itself is left one attack short.
        {"opening_shot.txt", 2, false, {2, 0}, {2, 1}},
        // An Archer seven steps from a fresh Cavalry: walking toward it, it ends where the Cavalry destroys
        // it in its next turn; the strong computer keeps it out of reach.
        {"out_of_reach.txt", 1, true, {1, 1}, {0, 1}},
        // A raiding Cavalry with one health point deep among the computer's units, the rest of its side
        // far away: destroying it leaves the computer's units farther from any enemy, which must not
        // outweigh the kill.
        {"wounded_raider.txt", 2, false, {8, 7}, {8, 7}},
    };
    startCapturingStdout();  // the beeps of destroyed units
    for (const auto& c : cases) {
        EXPECT_EQ(play(c.board, c.player, kAiStrong, c.answer), c.strong) << c.board;
        EXPECT_EQ(play(c.board, c.player, kAiStandard, c.answer), c.standard) << c.board;
    }
    capturedStdout();
}

// Against a side that never acts, the strong computer goes in and destroys every unit, where before it
// waited at the edge of the enemy's reach until the turns ran out: lines of every kind of unit with rocks
// between them, Archers alone, and Shields against Cavalry and an Archer, from either side.
TEST_F(StrongTurnTest, ItDestroysASideThatWaits) {
    const struct {
        const char* board;
        int player;
    } cases[] = {
        {"waiting_lines.txt", 1},
        {"waiting_lines.txt", 2},
        {"archers_apart.txt", 1},
        {"shields_against_riders.txt", 2},
    };
    constexpr int kTurns = 100;
    startCapturingStdout();
    for (const auto& c : cases) {
        ASSERT_TRUE(
            loadMapFile((std::string(QORDA_SOURCE_DIR) + "/tests/ai/strong_boards/" + c.board).c_str()));
        aiStartStrongMatch(c.player);
        int result = 0;
        for (int turn = 0; turn < kTurns && result == 0; ++turn) {
            const int player = 1 + turn % 2;
            if (player == c.player) result = aiPerformStrongTurn(player);
            addEndOfTurnActionPoint(player);
        }
        EXPECT_EQ(gNumberOfUnit[aiEnemyOf(c.player)], 0) << c.board << " as player " << c.player;
        EXPECT_EQ(boardInvariantViolation(), "");
    }
    capturedStdout();
}

}  // namespace
