#include "flow/map_prompt.h"

#include <cstring>

#include "platform/platform.h"
#include "render/input.h"
#include "render/text.h"
#include "render/texts.h"

namespace {

// Keys pressed before the prompt appeared are not part of the name.
void dropPendingEvents() {
    SDL_Event event;
    while (pollEvent(event)) continue;
}

// Reads a name typed in the window into name, zeroed first; characters beyond the longest name are
// ignored. 0 when a Return key finished it, kWindowClosed when the window was closed.
int readMapName(char name[kNameBufferSize]) {
    std::memset(name, 0, kNameBufferSize);
    int count = 0;
    if (readTypedText(name, kMaxNameLength + 1, count) == kWindowClosed) return kWindowClosed;
    if (count > 0 && name[count - 1] == '\n') name[count - 1] = 0;
    return 0;
}

// The map's name becomes the typed one once the map was loaded or saved under it.
int takeNameIfDone(int result, const char typed[kNameBufferSize], char name[kNameBufferSize]) {
    if (result == kMapFileDone) std::memcpy(name, typed, kNameBufferSize);
    return result;
}

}  // namespace

int loadStatusMatrix(bool prompt, char name[kNameBufferSize]) {
    if (!prompt) return loadMapByName(name);
    dropPendingEvents();
    renderText(kInfoLineX, kLoadPrompt);
    char typed[kNameBufferSize];
    if (readMapName(typed) == kWindowClosed) return kWindowClosed;
    return takeNameIfDone(loadMapByName(typed), typed, name);
}

int saveStatusMatrix(char name[kNameBufferSize]) {
    dropPendingEvents();
    renderText(kInfoLineX, kSavePromptStart);
    renderText(kInfoLineX, name);
    renderText(kInfoLineX, kSavePromptEnd);
    char typed[kNameBufferSize];
    if (readMapName(typed) == kWindowClosed) return kWindowClosed;
    const int result = takeNameIfDone(saveMapByName(typed), typed, name);
    if (result == kMapFileDone) keepSavedMaps();
    return result;
}
