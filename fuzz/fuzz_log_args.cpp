// Hostile text through every kind of log argument: it comes out escaped, in
// one entry, and never changes the message around it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "panel/ppd_text.h"
#include "panel/system_log.h"

namespace {

class LastEntry final : public zarvik::LogSink {
 public:
  void write(std::string_view entry) override {
    text = entry;
    ++count;
  }
  std::string text;
  int count = 0;
};

void check(bool ok) {
  if (!ok) std::abort();
}

// True when `escaped` has no control character, no byte of an invalid UTF-8
// sequence, and only escapes that stand for a byte.
bool cleanForLog(const std::string& escaped) {
  for (std::size_t i = 0; i < escaped.size();) {
    unsigned char c = static_cast<unsigned char>(escaped[i]);
    if (c < 0x20 || c == 0x7F) return false;
    std::size_t length = zarvik::validUtf8SequenceLength(std::string_view(escaped).substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string escaped = zarvik::escapeForLog(text);
  check(cleanForLog(escaped));

  LastEntry sink;
  zarvik::LogSink* previous = zarvik::setLogSink(&sink);
  zarvik::NSLog("Unable to get %@", text);
  check(sink.count == 1 && sink.text == "Unable to get " + escaped);
  zarvik::NSLog("The type is incorrect for: %s - %s: %d.", text.c_str(), text.c_str(), 6);
  std::string cText = zarvik::escapeForLog(text.c_str());
  check(sink.count == 2 && sink.text == "The type is incorrect for: " + cText + " - " + cText + ": 6.");
  zarvik::NSLog("The current resolution choice is: %@\nText: %@", text, text);
  check(sink.count == 3 && sink.text == "The current resolution choice is: " + escaped + "\nText: " + escaped);
  zarvik::NSLog("Saved %@ to %@", text, std::string("key"));
  check(sink.text == "Saved " + escaped + " to key");
  zarvik::setLogSink(previous);
  return 0;
}
