// Help on AppKit: a bundle's help book, the bundle in its resources that
// CFBundleHelpBookFolder names, known by its CFBundleHelpBookName. Where the
// system's NSHelpManager registers books and opens anchors (Apple's), it
// does both; GNUstep's has neither, so there the book's index page in the
// bundle's language is opened with NSWorkspace.
#pragma once

#include "platform/appkit/appkit_import.h"

#include <map>
#include <string>

namespace zarvik::appkit {

inline constexpr char kHelpBookFolderKey[] = "CFBundleHelpBookFolder";

class AppKitHelpManager final : public zarvik::NSHelpManager {
 public:
  ~AppKitHelpManager() override;
  // True when `bundle` is an AppKitBundle whose help book the system
  // registered, or, without that, whose book holds an index.html for one of
  // the bundle's languages.
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
