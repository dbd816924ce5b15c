// The game's console: standard output and standard error, file descriptors 1 and 2. While the audio
// output is opened, the audio libraries' own diagnostics are kept off standard error; the map makers'
// tool keeps the beeps of falling units off its standard output.
#pragma once

// Leads the descriptor nowhere until restoreDescriptor; returns a copy to restore it from, or -1.
int silenceDescriptor(int descriptor);
void restoreDescriptor(int descriptor, int saved);
