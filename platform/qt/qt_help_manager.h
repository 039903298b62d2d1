// Help on Qt: a bundle's help book is the bundle in its resources that
// CFBundleHelpBookFolder names, known by its CFBundleHelpBookName, with
// HTML pages per language; they open in the desktop's browser.
#pragma once

#include <QString>
#include <QUrl>
#include <map>
#include <optional>
#include <string>

#include "panel/bundle.h"

namespace zarvik::qt {

class QtHelpManager final : public NSHelpManager {
 public:
  // True when `bundle` is a bundle on disk (a QtBundle) whose help book
  // holds an index.html in the bundle's language or in English. A book registered again takes the new bundle's pages.
  bool registerBooksInBundle(const NSBundle& bundle) override;
  // Opens the registered book's index page at `anchor` with
  // QDesktopServices; does nothing for a book that was not registered.
  void openHelpAnchor(std::string_view anchor, std::string_view book) override;

  // The address openHelpAnchor opens, or nullopt for an unknown book.
  std::optional<QUrl> urlForAnchor(std::string_view anchor, std::string_view book) const;

 private:
  std::map<std::string, QString, std::less<>> indexPages_;
};

}  // namespace zarvik::qt
