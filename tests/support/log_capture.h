// Captures the panel's log lines for a test's lifetime.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "panel/system_log.h"

namespace zarvik::testing {

class LogCapture final : public LogSink {
 public:
  LogCapture() : previous_(setLogSink(this)) {}
  ~LogCapture() override { setLogSink(previous_); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  void write(std::string_view entry) override { lines.emplace_back(entry); }
  void clear() { lines.clear(); }
  bool contains(std::string_view line) const { return std::ranges::find(lines, line) != lines.end(); }

  std::vector<std::string> lines;

 private:
  LogSink* previous_;
};

}  // namespace zarvik::testing
