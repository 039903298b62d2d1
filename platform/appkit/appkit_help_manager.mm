#include "platform/appkit/appkit_help_manager.h"

#include "panel/option_table.h"
#include "platform/appkit/appkit_bundle.h"
#include "platform/appkit/appkit_text.h"

// Apple's help manager answers these; GNUstep's does not, so they are asked
// for at run time.
@interface NSHelpManager (ZarvikHelpBooks)
- (BOOL)registerBooksInBundle:(NSBundle*)bundle;
- (void)openHelpAnchor:(NSString*)anchor inBook:(NSString*)book;
@end

namespace zarvik::appkit {

AppKitHelpManager::~AppKitHelpManager() {
  for (auto& [book, page] : indexPages_) [page release];
}

bool AppKitHelpManager::registerBooksInBundle(const zarvik::NSBundle& bundle) {
  const auto* onDisk = dynamic_cast<const AppKitBundle*>(&bundle);
  if (onDisk == nullptr) return false;
  std::optional<std::string> book = onDisk->objectForInfoDictionaryKey(kHelpBookNameKey);
  std::optional<std::string> folder = onDisk->objectForInfoDictionaryKey(kHelpBookFolderKey);
  if (!book || book->empty() || !folder || folder->empty()) return false;
  ::NSHelpManager* system = [::NSHelpManager sharedHelpManager];
  if ([system respondsToSelector:@selector(registerBooksInBundle:)]) {
    return [system registerBooksInBundle:onDisk->bundle()];
  }
  // The book's index page in the first of the bundle's languages that has
  // one, as Help Viewer picks it.
  ::NSBundle* plugIn = onDisk->bundle();
  NSString* pages = [[plugIn pathForResource:toNSString(*folder) ofType:nil]
      stringByAppendingPathComponent:@"Contents/Resources"];
  NSMutableArray* languages = [NSMutableArray arrayWithArray:[plugIn preferredLocalizations]];
  if (NSString* region = [plugIn objectForInfoDictionaryKey:@"CFBundleDevelopmentRegion"]) [languages addObject:region];
  NSString* page = nil;
  for (NSUInteger i = 0; pages != nil && page == nil && i < [languages count]; ++i) {
    NSString* candidate = [pages stringByAppendingPathComponent:[NSString stringWithFormat:@"%@.lproj/index.html",
                                                                   [languages objectAtIndex:i]]];
    if ([[NSFileManager defaultManager] fileExistsAtPath:candidate]) page = candidate;
  }
  if (page == nil) return false;
  auto [entry, added] = indexPages_.try_emplace(*book, nil);
  [entry->second release];
  entry->second = [page retain];
  (void)added;
  return true;
}

NSURL* AppKitHelpManager::urlForAnchor(std::string_view anchor, std::string_view book) const {
  auto found = indexPages_.find(book);
  if (found == indexPages_.end()) return nil;
  NSString* address = [[[NSURL fileURLWithPath:found->second] absoluteString]
      stringByAppendingFormat:@"#%@", toNSString(anchor)];
  return [NSURL URLWithString:address];
}

void AppKitHelpManager::openHelpAnchor(std::string_view anchor, std::string_view book) {
  ::NSHelpManager* system = [::NSHelpManager sharedHelpManager];
  if ([system respondsToSelector:@selector(openHelpAnchor:inBook:)]) {
    [system openHelpAnchor:toNSString(anchor) inBook:toNSString(book)];
  } else if (NSURL* url = urlForAnchor(anchor, book)) {
    [[::NSWorkspace sharedWorkspace] openURL:url];
  }
}

}  // namespace zarvik::appkit
