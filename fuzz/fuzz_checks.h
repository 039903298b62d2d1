// What the fuzz targets share: a broken invariant stops the run (the fuzzer
// keeps the input as a finding), a plain line, a PPD; the tests' log capture.
#pragma once

#include <cups/ppd.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "panel/ppd_text.h"
#include "support/log_capture.h"

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

// The PPD libcups reads from `text` through a descriptor, its defaults marked.
inline std::unique_ptr<ppd_file_t, decltype(&ppdClose)> openPpd(std::string_view text) {
  int fd = memfd_create("ppd", 0);
  bool written = write(fd, text.data(), text.size()) == ssize_t(text.size()) && lseek(fd, 0, SEEK_SET) == 0;
  std::unique_ptr<ppd_file_t, decltype(&ppdClose)> ppd(written ? ppdOpenFd(fd) : nullptr, ppdClose);
  close(fd);
  if (ppd) ppdMarkDefaults(ppd.get());
  return ppd;
}

}  // namespace zarvik::fuzz
