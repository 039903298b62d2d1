#include "platform/qt/qt_bundle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUiLoader>
#include <QWidget>

#include "panel/system_log.h"
#include "platform/qt/qt_view.h"

namespace zarvik::qt {
namespace {

// The base name of the compiled tables: ZarvikPDE_de.qm, ZarvikPDE_en.qm.
constexpr char kTablesBaseName[] = "ZarvikPDE";
constexpr char kInfoPlist[] = "Contents/Info.plist";
constexpr char kResources[] = "Contents/Resources";
constexpr char kDevelopmentRegionKey[] = "CFBundleDevelopmentRegion";

// The keys the panel looks up in the default table, named here so that
// lupdate keeps them in the translation sources.
[[maybe_unused]] constexpr const char* kLookedUpKeys[] = {
    QT_TRANSLATE_NOOP("Localizable", "Zarvik Settings"),
};

std::string utf8(const QString& text) { return text.toStdString(); }

QString languageOf(const QTranslator& translator) {
  return QLocale::languageToCode(QLocale(translator.language()).language());
}

// Makes an adapter for every named control under `root`, binds the action
// its kActionProperty names and connects it to the owner's outlet of its
// name; `view` keeps the adapters that serve either. What does not fit is
// logged and left out.
void connectControls(QWidget& root, QtView& view, NibOwner& owner) {
  for (QWidget* widget : root.findChildren<QWidget*>()) {
    const QString objectName = widget->objectName();
    // Qt names the parts it makes inside a widget "qt_..."; they are not
    // the view's.
    if (objectName.isEmpty() || objectName.startsWith("qt_")) continue;
    const std::string outlet = utf8(objectName);
    const std::string className = widget->metaObject()->className();
    const QVariant actionProperty = widget->property(kActionProperty);
    const std::string actionName = utf8(actionProperty.toString());

    std::unique_ptr<QtControl> control = makeControl(widget);
    if (!control) {
      if (actionProperty.isValid()) {
        NSLog("Zarvik PDE view: %@ %@ cannot send the action %@", className, outlet, actionName);
      }
      continue;
    }
    bool sendsAction = false;
    if (actionProperty.isValid()) {
      std::optional<ControlAction> action = owner.actionNamed(actionName);
      if (!action) {
        NSLog("Zarvik PDE view: %@ names the action %@, which its owner does not have", outlet, actionName);
      } else if (!control->setAction(*action)) {
        NSLog("Zarvik PDE view: %@ %@ cannot send the action %@", className, outlet, actionName);
      } else {
        sendsAction = true;
      }
    }
    bool connected = owner.connectOutlet(outlet, control->outletTarget());
    // Every control a person works is an outlet; a caption is one only if
    // the owner has an outlet of its name.
    if (!connected && control->takesInput()) {
      NSLog("Zarvik PDE view: %@ %@ fits no outlet of its owner", className, outlet);
    }
    if (connected || sendsAction) view.adopt(std::move(control));
  }
}

}  // namespace

std::shared_ptr<QtBundle> QtBundle::open(const QString& path, const QLocale& locale) {
  std::string error;
  std::optional<InfoDictionary> info = readInfoDictionary(utf8(QDir(path).filePath(kInfoPlist)), error);
  if (!info) {
    NSLog("Zarvik PDE cannot read its bundle: %@", error);
    return nullptr;
  }
  return std::make_shared<QtBundle>(path, std::move(*info), locale);
}

QtBundle::QtBundle(QString path, InfoDictionary info, const QLocale& locale)
    : path_(std::move(path)), info_(std::move(info)) {
  if (translator_.load(locale, kTablesBaseName, "_", resourcesPath())) {
    language_ = languageOf(translator_);
  } else if (translator_.load(QLatin1String(kTablesBaseName) + '_' + developmentRegion(), resourcesPath())) {
    language_ = developmentRegion();
  }
}

// The translator leaves the application by itself when it is destroyed.
QtBundle::~QtBundle() = default;

QString QtBundle::resourcesPath() const { return QDir(path_).filePath(kResources); }

QString QtBundle::developmentRegion() const {
  auto found = info_.find(kDevelopmentRegionKey);
  return found == info_.end() ? QString("en") : QString::fromStdString(found->second);
}

QString QtBundle::pathForLocalizedResource(const QString& relative) const {
  const QDir resources(resourcesPath());
  for (const QString& language : {language_, developmentRegion()}) {
    if (language.isEmpty()) continue;
    QString candidate = resources.filePath(language + ".lproj/" + relative);
    if (QFileInfo::exists(candidate)) return candidate;
  }
  return QString();
}

std::string QtBundle::localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                            std::optional<std::string_view> table) const {
  const std::string context(table.value_or(kDefaultTable));
  const std::string source(key);
  QString translated = translator_.translate(context.c_str(), source.c_str());
  if (!translated.isEmpty()) return utf8(translated);
  return std::string(value.value_or(key));
}

std::optional<std::string> QtBundle::objectForInfoDictionaryKey(std::string_view key) const {
  auto found = info_.find(key);
  if (found == info_.end()) return std::nullopt;
  return found->second;
}

bool QtBundle::loadNibNamed(std::string_view name, NibOwner& owner) {
  const QString fileName = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + ".ui";
  const QString file = QDir(resourcesPath()).filePath(fileName);
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    NSLog("Zarvik PDE cannot load the view %@ without a widget application", utf8(file));
    return false;
  }
  QFile description(file);
  if (!description.open(QIODevice::ReadOnly)) {
    NSLog("Zarvik PDE cannot load the view %@: %@", utf8(file), utf8(description.errorString()));
    return false;
  }
  // The loader translates the view's texts through the application's
  // translators, and again whenever the language changes; the table stays
  // installed for as long as the bundle lives.
  if (!translatorInstalled_ && !translator_.isEmpty()) {
    translatorInstalled_ = QCoreApplication::installTranslator(&translator_);
  }
  // The view is made of Qt's own widgets only. Built with the library
  // paths, the loader would load every Designer widget plug-in there, and
  // with them Qt Quick and QML, to find none of them used.
  const QStringList libraryPaths = QCoreApplication::libraryPaths();
  QCoreApplication::setLibraryPaths({});
  QUiLoader loader;
  QCoreApplication::setLibraryPaths(libraryPaths);
  loader.setLanguageChangeEnabled(true);
  loader.setWorkingDirectory(QDir(resourcesPath()));
  QWidget* root = loader.load(&description, nullptr);
  if (root == nullptr) {
    NSLog("Zarvik PDE cannot load the view %@: %@", utf8(file), utf8(loader.errorString()));
    return false;
  }

  auto view = std::make_unique<QtView>(root);
  connectControls(*root, *view, owner);
  owner.setView(std::move(view));
  return true;
}

}  // namespace zarvik::qt
