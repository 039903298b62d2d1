// The language zarvik-print speaks: its own texts and the host's (Qt
// Linguist tables built from zarvik-print/translations/*.ts), and Qt's own
// dialogs' where the system has Qt's tables.
#pragma once

#include <QLocale>

namespace zarvik::print {

// Installs the tables for `locale` in the running application; English, the
// texts' own language, needs none.
void installTranslations(const QLocale& locale);

}  // namespace zarvik::print
