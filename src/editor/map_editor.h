#pragma once

#include "state/map_file.h"

// What editMap returns when the user chose not to save; otherwise kWindowClosed or the save's result.
constexpr int kMapNotSaved = 2;

// The in-window map editor.
int editMap(char name[kNameBufferSize]);

// Reads an editor entry "row,column,type,player,actionPoint,healthPoint" field by field and returns the
// number of fields converted (0 to 6), stopping at the first field that does not convert. Numbers may
// have leading white space and a sign; a number that does not fit in an int does not convert. The type is
// the character right after the second comma, whatever it is. Fields that were not converted are left
// as they were.
int parseEditorEntry(const char* entry, int& row, int& column, char& type, int& player, int& actionPoint,
                     int& healthPoint);
