// AppKit for the adapter's sources, always after the core's toolkit.
//
// The toolkit declares an enum NSColor inside namespace zarvik. Once AppKit's
// class NSColor is declared, g++ takes a later unqualified NSColor in the
// core's headers for that class and fails, so the core's headers come first;
// in the adapter, AppKit's classes are written ::NSColor and the core's
// zarvik::NSColor.
#pragma once

#include "panel/bundle.h"
#include "panel/toolkit.h"
#include "panel/zarvik_pde.h"

#import <AppKit/AppKit.h>

// Autorelease pools as blocks: @autoreleasepool where the compiler has it
// (clang, on Apple and with GNUstep). g++ has only pool objects, which
// GNUstep's own ENTER_POOL and LEAVE_POOL make for it. A return inside the
// block would skip the pool's drain on g++: there is none.
#ifndef ENTER_POOL
#define ENTER_POOL @autoreleasepool {
#define LEAVE_POOL }
#endif
