#include "platform/appkit/appkit_text.h"

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

}  // namespace zarvik::appkit
