#pragma once

#include "state/map_file.h"

// The in-window map editor. 1 the window was closed; 2 not saved; otherwise the result of the save.
int editMap(char name[kNameBufferSize]);
