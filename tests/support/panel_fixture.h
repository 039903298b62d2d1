// A panel bound to a real PPD through the recording host, with the
// in-memory bundle, toolkit and help manager in place of the platform.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "panel/zarvik_pde.h"
#include "support/log_capture.h"
#include "support/memory_toolkit.h"
#include "support/ppd_files.h"
#include "support/recording_host.h"

namespace zarvik::testing {

// Registers `bundle` as the panel's bundle for the object's lifetime.
class ScopedPanelBundle {
 public:
  explicit ScopedPanelBundle(std::shared_ptr<NSBundle> bundle) {
    registerBundleForClass(kPanelClassName, std::move(bundle));
  }
  ~ScopedPanelBundle() { registerBundleForClass(kPanelClassName, nullptr); }
};

class PanelTest : public ::testing::Test {
 protected:
  // Opens the sample PPD; tests may open another one before makePanel().
  void SetUp() override { ppdFile = openPpd(samplePpdPath()); }

  // Builds the panel through its real constructor; fails the test if none.
  ZarvikPDE& makePanel() {
    host = std::make_shared<RecordingHost>(ppdFile.get());
    configureHost(*host);
    panel = ZarvikPDE::initWithCallback(host);
    if (!panel) {
      ADD_FAILURE() << "no panel was built";
      throw std::runtime_error("no panel");
    }
    return *panel;
  }

  // Loads the view and shows the panel, as a host does before showing it.
  MemoryView& showPanel() {
    panel->panelView();
    panel->willShow();
    return *bundle->loadedView;
  }

  // Starts a step with nothing recorded yet: the host's requests and
  // print-settings writes, the view's journal and the log.
  void forget() {
    host->calls.clear();
    host->settings.writes.clear();
    if (bundle->loadedView) bundle->loadedView->journal.clear();
    log.clear();
  }

  // Override to script the host before the panel is built.
  virtual void configureHost(RecordingHost&) {}

  std::string key(std::string_view suffix) const { return ZarvikPDE::printSettingsKey(suffix); }

  LogCapture log;
  MemoryHelpManager help;
  std::shared_ptr<MemoryBundle> bundle = std::make_shared<MemoryBundle>();
  ScopedPanelBundle registration{bundle};
  ScopedPpd ppdFile;
  std::shared_ptr<RecordingHost> host;
  std::shared_ptr<ZarvikPDE> panel;
};

}  // namespace zarvik::testing
