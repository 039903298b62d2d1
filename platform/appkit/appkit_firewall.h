// Where AppKit or the host application calls into the plug-in: no exception
// of either language may go back out into code that does not expect one.
#pragma once

#include <functional>

namespace zarvik::appkit {

// Runs `body`. An Objective-C or C++ exception that leaves it is logged with
// the name of the `method` the host called and goes no further.
// An exception unwinds the core's frames as any return does, so the core
// keeps what it had changed before the throw and no more: the host is asked
// before a field changes.
void firewall(const char* method, const std::function<void()>& body);

}  // namespace zarvik::appkit
