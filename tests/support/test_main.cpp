#include <gtest/gtest.h>

#include <cstdlib>

#include "render/window.h"
#include "support/game_test.h"

int main(int argc, char** argv) {
    setEnvironment("SDL_VIDEODRIVER", "dummy");
    setEnvironment("SDL_RENDER_DRIVER", "software");
    setEnvironment("SDL_AUDIODRIVER", "dummy");
    // Without the poll sentinel, an event pushed by the script before a nested loop drains the queue is
    // seen by that drain, as a key pressed during that polling interval would be.
    setEnvironment("SDL_POLL_SENTINEL", "0");
    gWaitPercent = 0;  // polling passes and the computer's pauses run without sleeping
    gBeforePoll = feedScriptedEvents;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
