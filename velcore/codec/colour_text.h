#pragma once
// Link colours as the browser keeps them in the registry: "red,green,blue" in decimal.
#include <cstdint>

#include "ui/utf16.h"

// On success colour is red + green * 256 + blue * 65536, each number's low 8 bits. Fails, and
// leaves colour alone, when there are fewer than two commas, nothing follows the second, or a
// number cannot be read (no digits, or red or green reading -1).
bool ParseColourText(const Utf16Char* text, uint32_t& colour);
