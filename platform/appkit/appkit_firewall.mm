#include "platform/appkit/appkit_firewall.h"

#include <exception>

#include "panel/system_log.h"
#include "platform/appkit/appkit_import.h"
#include "platform/appkit/appkit_text.h"

namespace zarvik::appkit {

void firewall(const char* method, const std::function<void()>& body) {
  try {
#ifdef __clang__
    // Apple's runtime (and clang's with GNUstep) throws Objective-C
    // exceptions that @catch takes, with their name and reason.
    @try {
      body();
    } @catch (NSException* exception) {
      NSLog("Zarvik PDE stopped %s at the exception %@: %@", method, fromNSString([exception name]),
            fromNSString([exception reason]));
    }
#else
    // g++'s @catch in Objective-C++ crashes on an exception of GNUstep's
    // runtime; as a foreign exception it passes C++ frames, and catch (...)
    // below takes it.
    body();
#endif
  } catch (const std::exception& exception) {
    NSLog("Zarvik PDE stopped %s at the exception %s", method, exception.what());
  } catch (...) {
    // With g++, an Objective-C exception too; libstdc++ cannot tell it
    // apart from inside (its exception-type query crashes on one).
    NSLog("Zarvik PDE stopped %s at an exception that is no std::exception", method);
  }
}

}  // namespace zarvik::appkit
