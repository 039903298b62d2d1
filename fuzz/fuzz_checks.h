// What the fuzz targets share: a broken invariant stops the run (the fuzzer
// keeps the input as a finding), a plain line, the log's entries, a PPD.
#pragma once

#include <cups/ppd.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "panel/ppd_text.h"
#include "panel/system_log.h"

// libcups 2.4 marks every ppd* call deprecated; the targets need a few.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::fuzz {

inline void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// One line a person can read: not empty, UTF-8, no control character.
inline bool plainLine(std::string_view line) {
  for (std::size_t i = 0, length; i < line.size(); i += length) {
    length = validUtf8SequenceLength(line.substr(i));
    if (length == 0 || static_cast<unsigned char>(line[i]) < 0x20 || line[i] == 0x7F) return false;
  }
  return !line.empty();
}

// Takes the log's entries while it lives.
struct LogEntries final : LogSink {
  LogEntries() : previous(setLogSink(this)) {}
  ~LogEntries() override { setLogSink(previous); }
  void write(std::string_view entry) override { written.emplace_back(entry); }
  LogSink* previous;
  std::vector<std::string> written;
};

// The PPD libcups reads from `text`, its defaults marked.
inline std::unique_ptr<ppd_file_t, decltype(&ppdClose)> openPpd(std::string_view text) {
  std::unique_ptr<ppd_file_t, decltype(&ppdClose)> ppd(nullptr, ppdClose);
  int fd = memfd_create("ppd", 0);  // libcups reads from a descriptor
  if (write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && lseek(fd, 0, SEEK_SET) == 0) {
    ppd.reset(ppdOpenFd(fd));
  }
  close(fd);
  if (ppd) ppdMarkDefaults(ppd.get());
  return ppd;
}

}  // namespace zarvik::fuzz
