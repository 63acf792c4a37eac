#pragma once
#include <windows.h>

// The library's own module: its dialogs and strings come from here, whoever calls.
HINSTANCE VelcoreModule();
