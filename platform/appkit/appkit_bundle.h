// The plug-in's bundle on AppKit, over NSBundle: the bundle laid out as
//
//   ZarvikPDE.plugin/Contents/Info.plist         the information dictionary
//   ZarvikPDE.plugin/Contents/MacOS/ZarvikPDE    the loadable module
//   ZarvikPDE.plugin/Contents/Resources/         ZarvikPDE.nib (or .xib), the view
//                                                <lang>.lproj/Localizable.strings
//                                                <lang>.lproj/ZarvikPDE.strings, the view's texts
//                                                <lang>.lproj/<help book>/index.html
#pragma once

#include "platform/appkit/appkit_import.h"

#include <memory>

// The file's owner of the panel's nib while it loads: it takes every outlet
// by name, whatever the name, and lets the loader read them.
@interface ZarvikNibOwner : NSObject {
  NSMutableDictionary* outlets_;
}
- (NSDictionary*)outlets;
@end

namespace zarvik::appkit {

// The table that localizedStringForKey reads without a table name, and the
// name of the table of a view's texts: the nib's own name.
inline constexpr char kDefaultTable[] = "Localizable";

class AppKitBundle final : public zarvik::NSBundle {
 public:
  explicit AppKitBundle(::NSBundle* bundle);
  ~AppKitBundle() override;
  AppKitBundle(const AppKitBundle&) = delete;
  AppKitBundle& operator=(const AppKitBundle&) = delete;

  // Loads the nib `name` with NSNib, translates its texts through the table
  // of the same name, makes an adapter for every control, connects each
  // control the nib connects to an outlet of the file's owner to the
  // owner's outlet of that name, binds the action each control sends to the
  // file's owner to the owner's action of that name (the selector without
  // its colon), and hands the view of the outlet "zarvikView" to `owner`. A
  // control that fits no outlet, or names an action the owner lacks or that
  // takes another kind of control, is logged and left out; the rest of the
  // view still works.
  bool loadNibNamed(std::string_view name, NibOwner& owner) override;
  std::string localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                    std::optional<std::string_view> table) const override;
  std::optional<std::string> objectForInfoDictionaryKey(std::string_view key) const override;

  ::NSBundle* bundle() const { return bundle_; }

 private:
  ::NSBundle* bundle_;  // retained
};

}  // namespace zarvik::appkit
