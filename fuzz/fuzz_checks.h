// What the fuzz targets share: a broken invariant stops the run (the fuzzer
// keeps the input as a finding), a plain line; the tests' log capture and PPD files.
#pragma once

#include <algorithm>
#include <cstdio>

#include "panel/ppd_text.h"
#include "support/log_capture.h"
#include "support/ppd_files.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // libcups 2.4 says so of every ppd* call

namespace zarvik::fuzz {

inline void check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "invariant broken: %s\n", what), std::abort();
}

// One line a person can read: not empty, UTF-8, no control character.
inline bool plainLine(std::string_view line) {
  auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  return !line.empty() && decodeUtf8Lossy(line) == line && std::ranges::none_of(line, control);
}

}  // namespace zarvik::fuzz
