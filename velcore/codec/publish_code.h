#pragma once
// The code a player takes to the maker's on-line hall of fame: a game number and a score turned
// into digits with a check sum in front, XORed with the record key and written in Base64.
#include <cstddef>
#include <cstdint>

#include "ui/utf16.h"

// The hall of fame reads the game number as two digits: a wider one would run into the score
// (game 123 with score 4 and game 12 with score 34 gave one code).
constexpr int32_t kLowestPublishedGameId = 0;
constexpr int32_t kHighestPublishedGameId = 99;
constexpr bool IsPublishedGameId(int32_t gameId) {
  return gameId >= kLowestPublishedGameId && gameId <= kHighestPublishedGameId;
}

// Longest code: 17 digits ("0000", a two-digit game number, an 11-character score) give
// 24 Base64 characters; one more for the NUL.
constexpr size_t kPublishCodeCapacity = 25;

// Writes the NUL-terminated code; returns its length. A game number outside the published
// range has no code: the text is empty and the length 0.
size_t PublishCode(int32_t gameId, int32_t score, Utf16Char (&code)[kPublishCodeCapacity]);

// Standard Base64 (RFC 4648, padded, no line breaks) of length bytes into text, NUL-terminated;
// returns the text's length, or 0 when it does not fit into capacity characters with the NUL.
size_t Base64Encode(const uint8_t* data, size_t length, char* text, size_t capacity);
