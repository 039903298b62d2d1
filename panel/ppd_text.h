// Text out of libcups records. Keywords and texts in PPD records are
// fixed-size character arrays that a hostile PPD may fill to the last byte;
// every conversion here is bounded by the array's size.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace zarvik {

// The bytes of a NUL-terminated string held in an array of `capacity` bytes,
// kept as they are (keywords are what gets marked, so they stay byte for
// byte). A missing string is empty.
std::string_view boundedString(const char* chars, std::size_t capacity);

template <std::size_t N>
std::string keywordString(const char (&chars)[N]) {
  return std::string(boundedString(chars, N));
}

// Length of the valid UTF-8 sequence that starts `bytes` (1 for ASCII), or
// 0 when it does not start with one: overlong forms, surrogates and code
// points above U+10FFFF are not valid.
std::size_t validUtf8SequenceLength(std::string_view bytes);

// Text for a person: UTF-8, with every byte that is not part of a valid
// UTF-8 sequence replaced by U+FFFD, so nothing is dropped.
std::string decodeUtf8Lossy(std::string_view bytes);

// Text for a one-line message (a warning, a status line): as
// decodeUtf8Lossy, and control characters, which would break or forge the
// line, as U+FFFD too.
std::string oneLineText(std::string_view bytes);

template <std::size_t N>
std::string displayText(const char (&chars)[N]) {
  return decodeUtf8Lossy(boundedString(chars, N));
}

// A text that libcups allocates (custom parameter texts are arrays too, but
// some fields are pointers); nullptr gives an empty string.
inline std::string displayText(const char* chars) {
  return chars ? decodeUtf8Lossy(chars) : std::string();
}

}  // namespace zarvik
