#pragma once
// One UTF-16 code unit. On Windows it is wchar_t, so names and codes go straight to the controls;
// elsewhere wchar_t is 32 bits wide and char16_t takes its place.
#ifdef _WIN32
using Utf16Char = wchar_t;
#else
using Utf16Char = char16_t;
#endif
static_assert(sizeof(Utf16Char) == 2);
