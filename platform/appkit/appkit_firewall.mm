#include "platform/appkit/appkit_firewall.h"

#include <exception>

#include "panel/system_log.h"
#include "platform/appkit/appkit_import.h"
#include "platform/appkit/appkit_text.h"

namespace zarvik::appkit {

bool firewall(const char* method, const std::function<void()>& body) {
  // The C++ handlers are outside: on Apple's runtime and GNUstep's, catch
  // (...) would also take an Objective-C exception, which is better named.
  try {
    @try {
      body();
      return true;
    } @catch (NSException* exception) {
      NSLog("Zarvik PDE stopped %s at the exception %@: %@", method, fromNSString([exception name]),
            fromNSString([exception reason]));
    }
  } catch (const std::exception& exception) {
    NSLog("Zarvik PDE stopped %s at the exception %s", method, exception.what());
  } catch (...) {
    NSLog("Zarvik PDE stopped %s at an exception", method);
  }
  return false;
}

}  // namespace zarvik::appkit
