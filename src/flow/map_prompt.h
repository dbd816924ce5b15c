// Loading and saving a map under a name that the player types in the window: the menu's "Load map" and
// the editor's save. Both return kMapFileDone, kWindowClosed (during the prompt) or kMapFileNotOpened.
#pragma once

#include "state/map_file.h"

// With prompt, asks for the name below the text at the text cursor and, once loaded, puts it in name;
// without, loads the map named in name.
int loadStatusMatrix(bool prompt, char name[kNameBufferSize]);
// Asks for the name on the info line, suggesting the one in name, and puts it there once saved.
int saveStatusMatrix(char name[kNameBufferSize]);
