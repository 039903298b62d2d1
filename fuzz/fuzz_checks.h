// What the fuzz targets share: how a broken invariant stops the run (the
// fuzzer keeps the input as a finding) and what a plain line is.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "panel/ppd_text.h"

namespace zarvik::fuzz {

inline void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// One line a person can read: not empty, UTF-8, no control character.
inline bool plainLine(std::string_view sentence) {
  for (std::size_t i = 0; i < sentence.size();) {
    auto byte = static_cast<unsigned char>(sentence[i]);
    if (byte < 0x20 || byte == 0x7F) return false;
    std::size_t length = validUtf8SequenceLength(sentence.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return !sentence.empty();
}

}  // namespace zarvik::fuzz
