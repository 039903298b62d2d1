#include "platform/appkit/appkit_text.h"

#include <charconv>

namespace zarvik::appkit {

NSString* toNSString(std::string_view text) {
  NSString* string = [[NSString alloc] initWithBytes:text.data() length:text.size() encoding:NSUTF8StringEncoding];
  if (string == nil) {
    string = [[NSString alloc] initWithBytes:text.data() length:text.size() encoding:NSISOLatin1StringEncoding];
  }
  return [string autorelease];
}

std::string fromNSString(NSString* text) {
  if (text == nil) return std::string();
  const char* bytes = [text UTF8String];
  return bytes ? std::string(bytes) : std::string();
}

std::string numberText(float value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (error != std::errc()) return std::string();
  return std::string(buffer, end);
}

}  // namespace zarvik::appkit
