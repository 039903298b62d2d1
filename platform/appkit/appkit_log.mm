#include "platform/appkit/appkit_log.h"

#include "platform/appkit/appkit_text.h"

namespace zarvik::appkit {

void FoundationLogSink::write(std::string_view entry) {
  // The entry is already formatted and escaped: it goes in as an argument,
  // never as the format.
  ::NSLog(@"%@", toNSString(entry));
}

}  // namespace zarvik::appkit
