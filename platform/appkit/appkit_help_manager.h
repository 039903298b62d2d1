// Help on AppKit: a bundle's help book, named by its CFBundleHelpBookName
// entry. Where the system's NSHelpManager registers books and opens anchors
// (Apple's), it does both; GNUstep's has neither, so there the book's index
// page in the bundle's localised resources is opened with NSWorkspace.
#pragma once

#include "platform/appkit/appkit_import.h"

#include <map>
#include <string>

namespace zarvik::appkit {

class AppKitHelpManager final : public zarvik::NSHelpManager {
 public:
  ~AppKitHelpManager() override;
  // True when `bundle` is an AppKitBundle whose help book the system
  // registered, or, without that, whose book folder holds an index.html.
  bool registerBooksInBundle(const zarvik::NSBundle& bundle) override;
  // Does nothing for a book that was not registered.
  void openHelpAnchor(std::string_view anchor, std::string_view book) override;

  // The page openHelpAnchor opens where the system cannot open the anchor
  // itself, or nil.
  NSURL* urlForAnchor(std::string_view anchor, std::string_view book) const;

 private:
  std::map<std::string, NSString*, std::less<>> indexPages_;  // retained
};

}  // namespace zarvik::appkit
