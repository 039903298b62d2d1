// Input: any text. Must hold: through every kind of log argument it comes out
// escaped, one entry per message, the message around it unchanged.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zarvik;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string escaped = escapeForLog(text), cEscaped = escapeForLog(text.c_str());
  testing::LogCapture log;
  NSLog("Unable to get %@", text);
  NSLog("For: %s - %@: %d %ld%%\nText: %@ %@", text.c_str(), std::string_view(text), 6, 7L,
        std::optional<std::string>(text), std::optional<std::string>());
  const std::vector<std::string> expected = {
      "Unable to get " + escaped, "For: " + cEscaped + " - " + escaped + ": 6 7%\nText: " + escaped + " (null)"};
  fuzz::check(fuzz::plainLine("(" + escaped + ")") && log.lines == expected, "escaped, one entry per message");
  return 0;
}
