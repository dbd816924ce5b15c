#include <gtest/gtest.h>

#include <cstdlib>

#include "render/window.h"
#include "support/game_test.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Without the poll sentinel, an event pushed by the script before a nested loop drains the queue is
    // seen by that drain, as a key pressed during that polling interval would be.
    setenv("SDL_POLL_SENTINEL", "0", 1);
    gWaitPercent = 0;  // polling passes and the computer's pauses run without sleeping
    gBeforePoll = feedScriptedEvents;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
