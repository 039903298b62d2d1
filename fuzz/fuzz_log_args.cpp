// Input: any text. Must hold: through every kind of log argument it comes out
// on one plain line, one entry per message, the message around it unchanged.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zarvik;
  const std::string text(reinterpret_cast<const char*>(data), size);
  testing::LogCapture log;
  NSLog("Unable to get %@ %s %@ %@ %d%%.", text, text.c_str(), std::string_view(text),
        std::optional<std::string>(text), 6);
  fuzz::check(log.lines.size() == 1 && fuzz::plainLine(log.lines[0]) && log.lines[0].starts_with("Unable to get ") &&
                  log.lines[0].ends_with(" 6%."),
              "one plain entry, the message around it unchanged");
  return 0;
}
