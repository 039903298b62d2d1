#include "platform/qt/qt_help_manager.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "panel/option_table.h"
#include "platform/qt/qt_bundle.h"

namespace zarvik::qt {

bool QtHelpManager::registerBooksInBundle(const NSBundle& bundle) {
  const auto* onDisk = dynamic_cast<const QtBundle*>(&bundle);
  if (onDisk == nullptr) return false;
  std::optional<std::string> book = onDisk->objectForInfoDictionaryKey(kHelpBookNameKey);
  std::optional<std::string> folder = onDisk->objectForInfoDictionaryKey("CFBundleHelpBookFolder");
  if (!book || book->empty() || !folder || folder->empty()) return false;
  // The book is a bundle of its own with a folder per language.
  const QDir pages(QDir(onDisk->resourcesPath()).filePath(QString::fromStdString(*folder) + "/Contents/Resources"));
  QString indexPage;
  for (const QString& language : {onDisk->language(), QString("en")}) {
    QString candidate = pages.filePath(language + ".lproj/index.html");
    if (indexPage.isEmpty() && !language.isEmpty() && QFileInfo::exists(candidate)) indexPage = candidate;
  }
  if (indexPage.isEmpty()) return false;
  indexPages_.insert_or_assign(*book, indexPage);
  return true;
}

std::optional<QUrl> QtHelpManager::urlForAnchor(std::string_view anchor, std::string_view book) const {
  auto found = indexPages_.find(book);
  if (found == indexPages_.end()) return std::nullopt;
  QUrl url = QUrl::fromLocalFile(found->second);
  url.setFragment(QString::fromUtf8(anchor.data(), static_cast<qsizetype>(anchor.size())));
  return url;
}

void QtHelpManager::openHelpAnchor(std::string_view anchor, std::string_view book) {
  if (std::optional<QUrl> url = urlForAnchor(anchor, book)) QDesktopServices::openUrl(*url);
}

}  // namespace zarvik::qt
