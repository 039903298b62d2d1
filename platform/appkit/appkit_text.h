// Text between the panel's std::string (UTF-8 bytes) and Foundation's
// NSString, and the text a number field shows.
#pragma once

#include "platform/appkit/appkit_import.h"

#include <string>
#include <string_view>

namespace zarvik::appkit {

// An autoreleased string of `text`; bytes that are not UTF-8 (a PPD that
// says one encoding and holds another) are read as ISO Latin 1, so no text
// becomes nil.
NSString* toNSString(std::string_view text);

// The UTF-8 bytes of `text`; nil gives "".
std::string fromNSString(NSString* text);

}  // namespace zarvik::appkit
