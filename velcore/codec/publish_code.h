#pragma once
// The code a player takes to the maker's on-line hall of fame: a game number and a score turned
// into digits with a check sum in front, XORed with the record key and written in Base64.
#include <cstddef>
#include <cstdint>

#include "ui/utf16.h"

// Longest code: 26 digits ("0000", an 11-character game number, an 11-character score) give
// 36 Base64 characters; one more for the NUL.
constexpr size_t kPublishCodeCapacity = 37;

// Writes the NUL-terminated code; returns its length.
size_t PublishCode(int32_t gameId, int32_t score, Utf16Char (&code)[kPublishCodeCapacity]);

// Standard Base64 (RFC 4648, padded, no line breaks) of length bytes into text, NUL-terminated;
// returns the text's length, or 0 when it does not fit into capacity characters with the NUL.
size_t Base64Encode(const uint8_t* data, size_t length, char* text, size_t capacity);
