// A panel bound to a real PPD through the recording host, with the real
// bundle of the build tree: the view loaded from ZarvikPDE.ui into Qt
// widgets, the localisation tables and the help book.
#pragma once

#include <gtest/gtest.h>

#include <QLocale>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "panel/zarvik_pde.h"
#include "platform/qt/qt_bundle.h"
#include "platform/qt/qt_help_manager.h"
#include "support/log_capture.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

namespace zarvik::testing {

// The bundle directory the build made.
inline QString builtBundlePath() { return QStringLiteral(ZARVIK_PDE_BUNDLE_DIR); }

class QtPanelTest : public ::testing::Test {
 protected:
  QtPanelTest() : previousLocale_(QLocale()), previousHelp_(NSHelpManager::setShared(&help)) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  ~QtPanelTest() override {
    panel.reset();
    registerBundleForClass(kPanelClassName, nullptr);
    NSHelpManager::setShared(previousHelp_);
    QLocale::setDefault(previousLocale_);
  }

  // The sample PPD with its defaults marked, as a host opens it.
  void SetUp() override {
    ppdFile = openPpd(samplePpdPath());
    markDefaults(ppdFile.get());
  }

  // Registers the bundle at `path` for the panel's class, with the tables
  // of `locale`.
  void useBundle(const QString& path, const QLocale& locale) {
    bundle = qt::QtBundle::open(path, locale);
    if (!bundle) throw std::runtime_error("the bundle cannot be opened");
    registerBundleForClass(kPanelClassName, bundle);
  }

  // Builds the panel through its real constructor on `ppd` (the sample PPD
  // unless given), with the built bundle unless the test chose another.
  ZarvikPDE& makePanel(ppd_file_t* ppd = nullptr) {
    if (!bundle) useBundle(builtBundlePath(), QLocale());
    host = std::make_shared<RecordingHost>(ppd ? ppd : ppdFile.get());
    if (configureHost) configureHost(*host);
    panel = ZarvikPDE::initWithCallback(host);
    if (!panel) throw std::runtime_error("no panel was built");
    return *panel;
  }

  // Loads the view, restores the panel and shows it in a window of its
  // own, in the order of a print dialog: the restore sets the on/off boxes,
  // which the refresh leaves alone, so the view must be there first.
  QWidget& showPanel() {
    if (panel->panelView() == nullptr) throw std::runtime_error("the panel has no view");
    panel->restoreValuesAndReturnError(nullptr);
    return loadView();
  }

  // Loads the view and shows it: panelView, willShow.
  QWidget& loadView() {
    NSView* view = panel->panelView();
    if (view == nullptr) throw std::runtime_error("the panel has no view");
    panel->willShow();
    auto* root = static_cast<QWidget*>(view->nativeView());
    root->show();
    if (!QTest::qWaitForWindowExposed(root)) throw std::runtime_error("the panel's window is not shown");
    return *root;
  }

  QWidget& root() const { return *static_cast<QWidget*>(panel->panelView()->nativeView()); }

  // The view's widget `name`; throws when there is none of that class.
  template <class Widget>
  Widget& find(const char* name) const {
    auto* widget = root().findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) throw std::runtime_error(std::string("the view has no ") + name);
    return *widget;
  }

  // The host requests made since the last call, as "key=choice".
  std::vector<std::string> newRequests() {
    std::vector<std::string> all = host->requests();
    std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(seen_), all.end());
    seen_ = all.size();
    return fresh;
  }

  // Scripts the host before the panel is built.
  std::function<void(RecordingHost&)> configureHost;
  LogCapture log;
  qt::QtHelpManager help;
  std::shared_ptr<qt::QtBundle> bundle;
  ScopedPpd ppdFile;
  std::shared_ptr<RecordingHost> host;
  std::shared_ptr<ZarvikPDE> panel;

 private:
  QLocale previousLocale_;
  NSHelpManager* previousHelp_;
  std::size_t seen_ = 0;
};

}  // namespace zarvik::testing
