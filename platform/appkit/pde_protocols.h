// The print dialog's Objective-C side as the plug-in meets it: the
// principal class, the panels it hands out, and the host's callback object.
//
// A host makes the principal class with alloc and init, hands it the
// plug-in's bundle with initWithBundle:, and asks it for the panels of a
// dialog type with PDEPanelsForType:withHostInfo:, passing its callback
// object.
#pragma once

#include "platform/appkit/appkit_import.h"

#include <cups/ppd.h>

#ifdef __APPLE__
#include <ApplicationServices/ApplicationServices.h>
#endif

@protocol PDEPlugIn <NSObject>
- (BOOL)initWithBundle:(NSBundle*)theBundle;
// The panels for dialogs of `pdeType`: an empty array for another type, nil
// when a panel of this type could not be made.
- (NSArray*)PDEPanelsForType:(NSString*)pdeType withHostInfo:(id)host;
@end

@protocol PDEPanel <NSObject>
- (NSString*)panelName;
- (NSString*)panelKind;
- (NSView*)panelView;
- (NSArray*)supportedPPDOptionKeys;
- (BOOL)shouldShowHelp;
- (void)willShow;
- (BOOL)shouldHide;
- (BOOL)restoreValuesAndReturnError:(NSError**)error;
- (BOOL)saveValuesAndReturnError:(NSError**)error;
// The host changed `option` to `choice` itself; either may be nil.
- (void)PPDOptionKeyValueDidChange:(NSString*)option ppdChoice:(NSString*)choice;
// Title to text, or nil.
- (NSDictionary*)summaryInfo;
@end

@protocol PDEPlugInCallbackProtocol <NSObject>
// Asks the host to mark `choice` for `option` (an option keyword, or a
// custom key with a value text); YES when it accepted and marked it.
- (BOOL)willChangePPDOptionKeyValue:(NSString*)option ppdChoice:(NSString*)choice;
// The printer's open PPD, owned by the host; NULL when it has none.
- (ppd_file_t*)ppdFile;
#ifdef __APPLE__
// The job's print settings, owned by the host.
- (PMPrintSettings)printSettings;
#else
// Without Apple's printing system the host hands over the print settings
// as the core's boundary: owned by the host, NULL when it has none.
- (zarvik::PMPrintSettings*)printSettings;
#endif
@end
