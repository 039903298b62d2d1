#include "zarvik-print/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace zarvik::print {

void installTranslations(const QLocale& locale) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return;
  // The tables are built into the program (see CMakeLists.txt), Qt's beside Qt.
  auto* own = new QTranslator(application);
  if (own->load(locale, "zarvik-print", "_", ":/zarvik-print/translations")) {
    QCoreApplication::installTranslator(own);
  } else {
    delete own;
  }
  auto* qt = new QTranslator(application);
  if (qt->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qt);
  } else {
    delete qt;
  }
}

}  // namespace zarvik::print
