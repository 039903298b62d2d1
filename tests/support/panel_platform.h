// The panel as a platform's print dialog builds, drives and shows it, for tests that must hold on every toolkit: the
// same checks run over the Qt view and the AppKit view.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "panel/zarvik_pde.h"
#include "plugin/pde_host.h"

namespace zarvik::testing {

// A loaded panel view as a person works it and sees it. Controls are named by their outlet names ("rSpeedSlider",
// "jobTypePopup", ...).
class ViewDriver {
 public:
  virtual ~ViewDriver() = default;

  // A person's input through the toolkit's own events. Each answers false when the control took none (it is disabled,
  // or not in the view).
  virtual bool pickItem(std::string_view popup, int index) = 0;
  virtual bool clickCheckBox(std::string_view box) = 0;
  // Drags the handle to `value` (the toolkit keeps it inside the range) and lets go.
  virtual bool moveSlider(std::string_view slider, double value) = 0;
  // Types `text` in place of the field's text; with `commit` the person presses Return, else the edit stays pending in
  // the field.
  virtual bool typeText(std::string_view field, std::string_view text, bool commit) = 0;

  // What the person sees.
  virtual int itemCount(std::string_view popup) const = 0;
  // The represented object of the item shown, or nothing when none is.
  virtual std::optional<std::string> shownKeyword(std::string_view popup) const = 0;
  virtual int state(std::string_view box) const = 0;
  virtual double sliderValue(std::string_view slider) const = 0;
  virtual double sliderMinimum(std::string_view slider) const = 0;
  virtual double sliderMaximum(std::string_view slider) const = 0;
  virtual std::string text(std::string_view field) const = 0;
  virtual bool isEnabled(std::string_view control) const = 0;
  // Whether the person typed in the field and has not finished the edit.
  virtual bool hasPendingEdit(std::string_view field) const = 0;
};

// One panel as the platform's host drives it. Every call goes through the platform's own path (the protocol's messages
// on AppKit, the C++ protocol on Qt).
class DrivenPanel {
 public:
  virtual ~DrivenPanel() = default;
  // The core object behind the platform's panel, whose fields are read.
  virtual const ZarvikPDE& core() const = 0;
  // Loads the view and puts it in a shown window; nullptr without a view.
  virtual ViewDriver* loadView() = 0;
  virtual void willShow() = 0;
  virtual void restore() = 0;
  virtual void optionDidChange(const std::string& option, const std::string& choice) = 0;
};

// Builds panels the way a platform's print dialog does: through the plug-in's principal class, from the bundle the
// build made.
class PanelPlatform {
 public:
  virtual ~PanelPlatform() = default;
  virtual std::string name() const = 0;
  // The panel for `host`'s printer, or nullptr when the plug-in gives none.
  virtual std::unique_ptr<DrivenPanel> build(std::shared_ptr<PDEPluginCallback> host) = 0;
};

}  // namespace zarvik::testing
