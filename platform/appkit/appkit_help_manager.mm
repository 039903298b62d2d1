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
  if (!book || book->empty()) return false;
  ::NSHelpManager* system = [::NSHelpManager sharedHelpManager];
  if ([system respondsToSelector:@selector(registerBooksInBundle:)]) {
    return [system registerBooksInBundle:onDisk->bundle()];
  }
  // The book is a folder in each language's .lproj; GNUstep looks for a
  // folder's localised copies inside the folder, so the folder is found
  // first, as any localised resource.
  NSString* folder = [onDisk->bundle() pathForResource:toNSString(*book) ofType:nil];
  NSString* page = [folder stringByAppendingPathComponent:@"index.html"];
  if (page == nil || ![[NSFileManager defaultManager] fileExistsAtPath:page]) return false;
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
