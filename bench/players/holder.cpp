// holder: holds its line at the edge of the enemy's reach and strikes whatever comes into its own,
// walking only as far as the blow needs. A side that never comes is fetched.
#include "sparring.h"

namespace {

void holdOrStrike(int row, int column, Stance stance) {
    bool struck = false;
    for (Strike blow; nearestStrike(row, column, blow); struck = true) {
        walkTo(row, column, blow.fromRow, blow.fromColumn, blow.steps);
        strike(row, column, blow.targetRow, blow.targetColumn);
    }
    if (!struck) takeStance(row, column, stance);
}

}  // namespace

int main() {
    playTurns(holdOrStrike);
    return 0;
}
