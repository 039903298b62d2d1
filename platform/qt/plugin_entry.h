// The one symbol the plug-in module exports. A host finds it with dlsym
// after loading Contents/MacOS/<CFBundleExecutable> and calls it once per
// principal class it creates.
#pragma once

#include <cstddef>

#include "plugin/pde_protocol.h"

namespace zarvik {

// The entry point's name and type.
inline constexpr char kPrincipalClassEntryPoint[] = "zarvik_pde_principal_class";
using PrincipalClassFactory = PDEPlugIn* (*)(const char* principalClassName, const char* bundlePath);

// The hook that routes the module's log lines, and its type.
inline constexpr char kRouteLogEntryPoint[] = "zarvik_pde_route_log";
using LogWriter = void (*)(const char* entry, std::size_t length, void* context);
using RouteLog = void (*)(LogWriter writer, void* context);

}  // namespace zarvik

// Creates the principal class named `principalClassName` (the bundle's
// NSPrincipalClass, "ZarvikPDEPlugIn") for the bundle directory
// `bundlePath`, and makes that bundle the one the panel's class is found in.
// Answers a new object that the caller owns and deletes, or nullptr for
// another class name or a bundle whose Info.plist cannot be read. Needs a
// QApplication before any panel view is loaded.
extern "C" zarvik::PDEPlugIn* zarvik_pde_principal_class(const char* principalClassName, const char* bundlePath);

// Sends every line the module logs to `writer` as well as to the system
// log; a null writer sends them to the system log alone.
extern "C" void zarvik_pde_route_log(zarvik::LogWriter writer, void* context);
