// The plug-in's bundle on disk, laid out as
//
//   ZarvikPDE.plugin/Contents/Info.plist          the information dictionary
//   ZarvikPDE.plugin/Contents/MacOS/ZarvikPDE     the loadable module
//   ZarvikPDE.plugin/Contents/Resources/          ZarvikPDE.ui, the view
//                                                 ZarvikPDE_<lang>.qm, the tables
//                                                 <lang>.lproj/<help book>/index.html
//
// The localisation tables are Qt Linguist translations: the view's texts
// under the view's class name, and the strings the panel looks up by key
// under the table name ("Localizable" by default).
#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>

#include "panel/bundle.h"
#include "platform/qt/property_list.h"

namespace zarvik::qt {

// The widget property that names the action a control of the view sends.
inline constexpr char kActionProperty[] = "zarvikAction";
// The table that localizedStringForKey reads without a table name.
inline constexpr char kDefaultTable[] = "Localizable";

class QtBundle final : public NSBundle {
 public:
  // The bundle at `path` (the .plugin directory), with the localisation
  // table for `locale`, or for the development region when the bundle has
  // none for it. nullptr, with a log line, when its Info.plist cannot be read.
  static std::shared_ptr<QtBundle> open(const QString& path, const QLocale& locale = QLocale());

  // Loads Contents/Resources/<name>.ui with its texts translated, makes an
  // adapter for every control, connects each control whose object name is
  // an outlet of `owner`, binds the action named by its kActionProperty
  // property, and hands the root view to `owner`. A control that fits no
  // outlet, or names an action the owner lacks or that takes another kind of
  // control, is logged and left out; the rest of the view still works.
  // Needs a QApplication.
  bool loadNibNamed(std::string_view name, NibOwner& owner) override;
  std::string localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                    std::optional<std::string_view> table) const override;
  std::optional<std::string> objectForInfoDictionaryKey(std::string_view key) const override;

  const QString& path() const { return path_; }
  QString resourcesPath() const;
  // The language of the localisation table in use, such as "de" or "en".
  const QString& language() const { return language_; }
  // Resources/<language>.lproj/<relative> when it exists, else the
  // development region's; an empty string when neither does.
  QString pathForLocalizedResource(const QString& relative) const;

  QtBundle(QString path, InfoDictionary info, const QLocale& locale);
  ~QtBundle() override;
  QtBundle(const QtBundle&) = delete;
  QtBundle& operator=(const QtBundle&) = delete;

 private:
  QString developmentRegion() const;

  QString path_;
  InfoDictionary info_;
  QTranslator translator_;
  QString language_;
  bool translatorInstalled_ = false;
};

}  // namespace zarvik::qt
