#pragma once
#include <windows.h>

// The wave resource played when rows go: "#110" when the level rose with them, else "#112".
const wchar_t* RowSoundName(bool levelRaised);

// Plays the row sound from the program's resources without waiting; with sound off, nothing.
void PlayRowSound(HINSTANCE instance, bool soundOn, bool levelRaised);
