// The main menu: its six entries, the current map and whether the board in memory is that map as saved.
#pragma once

// Loads the map startMapName (nullptr for the default map) and runs the menu until Exit or a closed window.
void runMainMenu(const char* startMapName = nullptr);
