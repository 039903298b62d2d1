// The panel's log on AppKit: every entry through Foundation's NSLog, which
// writes it to the system's log on macOS and to standard error on GNUstep.
#pragma once

#include "panel/system_log.h"

namespace zarvik::appkit {

class FoundationLogSink final : public LogSink {
 public:
  void write(std::string_view entry) override;
};

}  // namespace zarvik::appkit
