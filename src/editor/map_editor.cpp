#include "editor/map_editor.h"

int editMap(char*) { return 2; }
