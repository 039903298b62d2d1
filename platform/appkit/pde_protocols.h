// The print dialog's Objective-C side as the plug-in meets it: the
// principal class, the panels it hands out, and the host's callback object.
//
// From macOS 13 a dialog creates a principal class that conforms to
// PDEPlugIn with alloc and initWithBundle:, its one initialiser, which
// returns the instance (before, it was made with init and then sent
// initWithBundle: for a BOOL: a class built for one way is broken under the
// other, hence the deployment target of 13). It then asks the instance for
// the panels of a dialog type with PDEPanelsForType:withHostInfo:, passing
// its callback object.
//
// On Apple the protocols are the SDK's own. Elsewhere they are declared
// here in the same shape, so the GNUstep build and its test host meet the
// class as a Mac does.
#pragma once

#include "platform/appkit/appkit_import.h"

#include <cups/ppd.h>

#ifdef __APPLE__
#include <ApplicationServices/ApplicationServices.h>
#include <PrintCore/PDEPluginInterface.h>
#else

@protocol PDEPlugInCallbackProtocol;

@protocol PDEPlugIn <NSObject>
// The instance, or nil when it cannot serve `theBundle`.
- (instancetype)initWithBundle:(NSBundle*)theBundle;
// The panels for dialogs of `pdeType`: an empty array for another type, nil
// when a panel of this type could not be made.
- (NSArray*)PDEPanelsForType:(NSString*)pdeType withHostInfo:(id<PDEPlugInCallbackProtocol>)host;
@end

@protocol PDEPanel <NSObject>
- (void)willShow;
- (BOOL)shouldHide;
- (BOOL)saveValuesAndReturnError:(NSError**)error;
- (BOOL)restoreValuesAndReturnError:(NSError**)error;
- (NSView*)panelView;
- (NSString*)panelName;
- (NSString*)panelKind;
@optional
- (NSArray*)supportedPPDOptionKeys;
// The host changed `option` to `choice` itself.
- (void)PPDOptionKeyValueDidChange:(NSString*)option ppdChoice:(NSString*)choice;
// Title to text, or nil.
- (NSDictionary*)summaryInfo;
- (BOOL)shouldShowHelp;
@end

@protocol PDEPlugInCallbackProtocol <NSObject>
@optional
// The printer's open PPD, owned by the host; NULL when it has none.
- (ppd_file_t*)ppdFile;
// Asks the host to mark `choice` for `option` (an option keyword, or a
// custom key with a value text); YES when it accepted and marked it.
- (BOOL)willChangePPDOptionKeyValue:(NSString*)option ppdChoice:(NSString*)choice;
// Without Apple's printing system the host hands over the print settings
// as the core's boundary: owned by the host, NULL when it has none.
- (zarvik::PMPrintSettings*)printSettings;
@end

#endif
