#include "platform/appkit/appkit_bundle.h"

#include <objc/runtime.h>

#include <string>

#include "panel/system_log.h"
#include "platform/appkit/appkit_text.h"
#include "platform/appkit/appkit_view.h"

namespace {

// The outlet that holds the view's root.
NSString* const kRootOutlet = @"zarvikView";

// "setJobTypePopup:" -> "jobTypePopup"; nil for any other selector.
NSString* outletOfSetter(SEL selector) {
  NSString* name = NSStringFromSelector(selector);
  NSUInteger length = [name length];
  if (length < 5 || ![name hasPrefix:@"set"] || ![name hasSuffix:@":"]) return nil;
  NSString* key = [name substringWithRange:NSMakeRange(3, length - 4)];
  return [[[key substringToIndex:1] lowercaseString] stringByAppendingString:[key substringFromIndex:1]];
}

void setOutlet(id self, SEL selector, id value) {
  [self setValue:value forUndefinedKey:outletOfSetter(selector)];
}

}  // namespace

@implementation ZarvikNibOwner

- (id)init {
  if ((self = [super init])) outlets_ = [[NSMutableDictionary alloc] init];
  return self;
}

- (void)dealloc {
  [outlets_ release];
  [super dealloc];
}

- (NSDictionary*)outlets {
  return outlets_;
}

// Key-value coding sets an outlet without a setter here (Apple's loader).
- (void)setValue:(id)value forUndefinedKey:(NSString*)key {
  if (value != nil) {
    [outlets_ setObject:value forKey:key];
  } else {
    [outlets_ removeObjectForKey:key];
  }
}

// GNUstep's loader calls the outlet's setter, or sets an instance variable
// of the outlet's name: every setter is answered, for any outlet name.
+ (BOOL)resolveInstanceMethod:(SEL)selector {
  if (outletOfSetter(selector) != nil) {
    // Through void (*)(), the one function type g++ casts to any other
    // without a warning.
    class_addMethod(self, selector, reinterpret_cast<IMP>(reinterpret_cast<void (*)()>(setOutlet)), "v@:@");
    return YES;
  }
  return [super resolveInstanceMethod:selector];
}

@end

namespace zarvik::appkit {
namespace {

std::string classNameOf(id object) { return fromNSString(NSStringFromClass([object class])); }

// Every view under `root`, depth first.
void collectSubviews(::NSView* root, NSMutableArray* views) {
  NSArray* subviews = [root subviews];
  for (NSUInteger i = 0; i < [subviews count]; ++i) {
    ::NSView* view = [subviews objectAtIndex:i];
    [views addObject:view];
    collectSubviews(view, views);
  }
}

// `text` in the bundle's language, from the table `table`.
NSString* translated(::NSBundle* bundle, NSString* text, NSString* table) {
  if ([text length] == 0) return text;
  return [bundle localizedStringForKey:text value:text table:table];
}

// The view's texts in the bundle's language: a box's title, a check box's
// title, a caption's text and every tool tip, looked up by their English
// text in the table named as the nib. Pop-up buttons get their items from
// the panel, number fields their numbers.
void translateTexts(::NSBundle* bundle, NSArray* views, NSString* table) {
  for (NSUInteger i = 0; i < [views count]; ++i) {
    id view = [views objectAtIndex:i];
    if ([view isKindOfClass:[::NSBox class]]) {
      [view setTitle:translated(bundle, [view title], table)];
    } else if ([view isKindOfClass:[::NSButton class]] && ![view isKindOfClass:[::NSPopUpButton class]]) {
      [view setTitle:translated(bundle, [view title], table)];
    } else if ([view isKindOfClass:[::NSTextField class]] && ![view isEditable]) {
      [view setStringValue:translated(bundle, [view stringValue], table)];
    }
    if ([view toolTip] != nil) [view setToolTip:translated(bundle, [view toolTip], table)];
  }
}

// The name of the panel's action a control sends to the nib's owner: its
// selector without the colon; empty when it sends the owner none.
std::string ownerActionOf(::NSControl* control, id owner) {
  if ([control target] != owner || [control action] == NULL) return std::string();
  std::string selector = fromNSString(NSStringFromSelector([control action]));
  if (!selector.empty() && selector.back() == ':') selector.pop_back();
  return selector;
}

// Makes an adapter for every control under the root, binds the action it
// sends the nib's owner and connects it to the panel's outlet of its name;
// `view` keeps the adapters that serve either. What does not fit is logged
// and left out. No control keeps the nib's owner, which goes after loading,
// as its target.
void connectControls(NSArray* views, ZarvikNibOwner* nibOwner, AppKitView& view, NibOwner& owner) {
  NSDictionary* outlets = [nibOwner outlets];
  for (NSUInteger i = 0; i < [views count]; ++i) {
    id subview = [views objectAtIndex:i];
    if (![subview isKindOfClass:[::NSControl class]]) continue;
    ::NSControl* control = subview;
    const std::string actionName = ownerActionOf(control, nibOwner);
    if ([control target] == nibOwner) [control setTarget:nil];
    NSArray* names = [outlets allKeysForObject:control];
    const std::string outlet = [names count] > 0 ? fromNSString([names objectAtIndex:0]) : std::string();
    const std::string className = classNameOf(control);

    std::unique_ptr<AppKitControl> adapter = makeControl(control);
    if (!adapter) {
      if (!actionName.empty()) {
        NSLog("Zarvik PDE view: %@ %@ cannot send the action %@", className, outlet, actionName);
      }
      continue;
    }
    bool sendsAction = false;
    if (!actionName.empty()) {
      std::optional<ControlAction> action = owner.actionNamed(actionName);
      if (!action) {
        NSLog("Zarvik PDE view: %@ names the action %@, which its owner does not have", outlet, actionName);
      } else if (!adapter->setAction(*action)) {
        NSLog("Zarvik PDE view: %@ %@ cannot send the action %@", className, outlet, actionName);
      } else {
        sendsAction = true;
      }
    }
    bool connected = !outlet.empty() && owner.connectOutlet(outlet, adapter->outletTarget());
    // Every control a person works is an outlet; a caption is one only if
    // the owner has an outlet of its name.
    if (!connected && adapter->takesInput()) {
      NSLog("Zarvik PDE view: %@ %@ fits no outlet of its owner", className, outlet);
    }
    if (connected || sendsAction) view.adopt(std::move(adapter));
  }
}

}  // namespace

AppKitBundle::AppKitBundle(::NSBundle* bundle) : bundle_([bundle retain]) {}

AppKitBundle::~AppKitBundle() { [bundle_ release]; }

std::string AppKitBundle::localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                                std::optional<std::string_view> table) const {
  NSString* found = [bundle_ localizedStringForKey:toNSString(key)
                                             value:(value ? toNSString(*value) : nil)
                                             table:toNSString(table.value_or(kDefaultTable))];
  return fromNSString(found);
}

bool AppKitBundle::loadNibNamed(std::string_view name, NibOwner& owner) {
  bool loaded = false;
  ENTER_POOL
  NSString* nibName = toNSString(name);
  ::NSNib* nib = [[[::NSNib alloc] initWithNibNamed:nibName bundle:bundle_] autorelease];
  ZarvikNibOwner* nibOwner = [[[ZarvikNibOwner alloc] init] autorelease];
  NSArray* topLevelObjects = nil;
  if (nib == nil || ![nib instantiateWithOwner:nibOwner topLevelObjects:&topLevelObjects]) {
    NSLog("Zarvik PDE cannot load the view %@ from %@", name, fromNSString([bundle_ bundlePath]));
  } else if (![[[nibOwner outlets] objectForKey:kRootOutlet] isKindOfClass:[::NSView class]]) {
    NSLog("Zarvik PDE view %@ connects no view to its outlet %@", name, fromNSString(kRootOutlet));
  } else {
    ::NSView* root = [[nibOwner outlets] objectForKey:kRootOutlet];
    NSMutableArray* views = [NSMutableArray array];
    collectSubviews(root, views);
    translateTexts(bundle_, views, nibName);
    auto view = std::make_unique<AppKitView>(root, [nibOwner outlets]);
    connectControls(views, nibOwner, *view, owner);
    owner.setView(std::move(view));
    loaded = true;
  }
#ifdef GNUSTEP
  // GNUstep (gui 0.29) hands the top-level objects over retained once more,
  // as its older loading call did; Apple's array is their only owner.
  for (NSUInteger i = 0; i < [topLevelObjects count]; ++i) [[topLevelObjects objectAtIndex:i] release];
#endif
  LEAVE_POOL
  return loaded;
}

std::optional<std::string> AppKitBundle::objectForInfoDictionaryKey(std::string_view key) const {
  id object = [bundle_ objectForInfoDictionaryKey:toNSString(key)];
  if (![object isKindOfClass:[NSString class]]) return std::nullopt;
  return fromNSString(object);
}

}  // namespace zarvik::appkit
