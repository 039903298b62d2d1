// Construction, identity, view and help of the panel.
#include "panel/zarvik_pde.h"

#include "panel/ppd_lookup.h"
#include "panel/ppd_text.h"
#include "panel/system_log.h"

namespace zarvik {

std::shared_ptr<ZarvikPDE> ZarvikPDE::initWithCallback(std::shared_ptr<PDEPluginCallback> callback) {
  std::shared_ptr<ZarvikPDE> panel(new ZarvikPDE());
  panel->pdePluginCallbackObject = std::move(callback);
  panel->pdeBundle = bundleForClass(kPanelClassName);

  const auto& host = panel->pdePluginCallbackObject;
  if (host && host->respondsToWillChangePPDOptionKeyValue()) {
    panel->ppd = host->ppdFile();
    if (panel->ppd) {
      ppd_option_t** handles[] = {
          &panel->jobTypeOption,         &panel->centerEngravingOption, &panel->rasterPowerOption,
          &panel->rasterSpeedOption,     &panel->engraveDirOption,      &panel->ditheringOption,
          &panel->vectorSpeedOption,     &panel->vectorPowerOption,     &panel->vectorFreqOption,
          &panel->vectorSortingOption,   &panel->vectorSpeedCompOption, &panel->vectorPowerCompOption,
          &panel->resolutionOption};
      static_assert(std::size(handles) == kRequiredOptions.size());
      for (std::size_t i = 0; i < kRequiredOptions.size(); ++i) {
        *handles[i] = ppd::findOption(panel->ppd, std::string(kRequiredOptions[i]));
      }
    }
  } else {
    NSLog("This version of the Zarvik PDE does not run properly on 10.4 or earlier!");
  }

  bool bound = panel->jobTypeOption && panel->centerEngravingOption && panel->rasterPowerOption &&
               panel->rasterSpeedOption && panel->engraveDirOption && panel->ditheringOption &&
               panel->vectorSpeedOption && panel->vectorPowerOption && panel->vectorFreqOption &&
               panel->vectorSortingOption && panel->vectorSpeedCompOption &&
               panel->vectorPowerCompOption && panel->resolutionOption;
  if (!bound) {
    // Let go of the host and the bundle at once; the panel dies with the
    // last reference, here.
    panel->pdePluginCallbackObject.reset();
    panel->pdeBundle.reset();
    return nullptr;
  }

  panel->setDefaults();
  panel->getNonPPDSettingsFromPrintSettings();
  panel->helpBooksRegistered =
      panel->pdeBundle && NSHelpManager::sharedHelpManager().registerBooksInBundle(*panel->pdeBundle);
  if (!panel->helpBooksRegistered) NSLog("Zarvik PDE got an error registering its help book!");
  return panel;
}

NSView* ZarvikPDE::panelView() {
  if (!zarvikView && pdeBundle) {
    // The result is not looked at: what counts is whether a view arrived.
    (void)pdeBundle->loadNibNamed(kNibName, *this);
    if (zarvikView) applyPpdRangesToControls();
  }
  return zarvikView.get();
}

std::string ZarvikPDE::panelName() {
  if (!thePDEName) {
    thePDEName = pdeBundle ? pdeBundle->localizedStringForKey(kPanelTitleKey, std::nullopt, std::nullopt)
                           : std::string(kPanelTitleKey);
  }
  return *thePDEName;
}

std::string ZarvikPDE::panelKind() const { return std::string(kPanelKind); }

std::vector<std::string> ZarvikPDE::supportedPPDOptionKeys() const {
  return {kJobType,        kCenterEngraving,   kRasterSpeed,      kRasterPower, kEngravingDirection,
          kDithering,      kVectorSpeed,       kVectorPower,      kVectorFreq,  kVectorSort,
          kVectorSpeedComp, kVectorPowerComp,  kResolution,       kCustomVectorPower,
          kAutoFocus,      kDirectPrint,       kVectorGrid,       kMaterialThickness};
}

bool ZarvikPDE::shouldShowHelp() {
  std::optional<std::string> book =
      pdeBundle ? pdeBundle->objectForInfoDictionaryKey(kHelpBookNameKey) : std::nullopt;
  if (!book || !helpBooksRegistered) return true;
  NSHelpManager::sharedHelpManager().openHelpAnchor(kHelpAnchor, *book);
  return false;
}

void ZarvikPDE::willShow() {
  initializePopup();
  updateUI();
}

bool ZarvikPDE::shouldHide() { return true; }

std::string ZarvikPDE::printSettingsKey(std::string_view suffix) {
  std::string key(kPanelKind);
  key += suffix;
  return key;
}

// Loading the view.

void ZarvikPDE::setView(std::unique_ptr<NSView> view) { zarvikView = std::move(view); }

namespace {

template <class Control>
struct OutletRow {
  std::string_view name;
  Outlet<Control> ZarvikPDE::*outlet;
};

constexpr OutletRow<NSPopUpButton> kPopUpOutlets[] = {
    {"jobTypePopup", &ZarvikPDE::jobTypePopup},
    {"centerEngravingPopup", &ZarvikPDE::centerEngravingPopup},
    {"ditheringPopup", &ZarvikPDE::ditheringPopup},
    {"engravingDirectionPopup", &ZarvikPDE::engravingDirectionPopup},
    {"vSortingPopup", &ZarvikPDE::vSortingPopup},
};

constexpr OutletRow<NSButton> kCheckBoxOutlets[] = {
    {"directPrintCheckBox", &ZarvikPDE::directPrintCheckBox},
    {"autoFocusCheckBox", &ZarvikPDE::autoFocusCheckBox},
    {"vectorGridCheckBox", &ZarvikPDE::vectorGridCheckBox},
    {"vSpeedCompCheckBox", &ZarvikPDE::vSpeedCompCheckBox},
    {"vPowerCompCheckBox", &ZarvikPDE::vPowerCompCheckBox},
};

constexpr OutletRow<NSSlider> kSliderOutlets[] = {
    {"rPowerSlider", &ZarvikPDE::rPowerSlider}, {"rSpeedSlider", &ZarvikPDE::rSpeedSlider},
    {"vSpeedSlider", &ZarvikPDE::vSpeedSlider}, {"vPowerSlider", &ZarvikPDE::vPowerSlider},
    {"vFreqSlider", &ZarvikPDE::vFreqSlider},   {"resolutionSlider", &ZarvikPDE::resolutionSlider},
};

constexpr OutletRow<NSTextField> kTextFieldOutlets[] = {
    {"materialTextBox", &ZarvikPDE::materialTextBox}, {"materialText", &ZarvikPDE::materialText},
    {"rPowerTextBox", &ZarvikPDE::rPowerTextBox},     {"rSpeedTextBox", &ZarvikPDE::rSpeedTextBox},
    {"vSpeedTextBox", &ZarvikPDE::vSpeedTextBox},     {"vPowerTextBox", &ZarvikPDE::vPowerTextBox},
    {"vFreqTextBox", &ZarvikPDE::vFreqTextBox},       {"resolutionTextBox", &ZarvikPDE::resolutionTextBox},
};

template <class Control, std::size_t N>
bool connect(ZarvikPDE& panel, const OutletRow<Control> (&rows)[N], std::string_view name, Control* control) {
  for (const auto& row : rows) {
    if (row.name == name) {
      panel.*row.outlet = control;
      return true;
    }
  }
  return false;
}

template <class Control, std::size_t N>
void disconnectAll(ZarvikPDE& panel, const OutletRow<Control> (&rows)[N]) {
  for (const auto& row : rows) panel.*row.outlet = nullptr;
}

}  // namespace

ZarvikPDE::~ZarvikPDE() {
  // Every outlet points into the view; drop them all before the view goes.
  disconnectAll(*this, kPopUpOutlets);
  disconnectAll(*this, kCheckBoxOutlets);
  disconnectAll(*this, kSliderOutlets);
  disconnectAll(*this, kTextFieldOutlets);
  // The view goes while every other field is still alive: a toolkit may
  // still deliver a control's action while it takes its widgets down.
  zarvikView.reset();
}

bool ZarvikPDE::connectOutlet(std::string_view name, OutletTarget control) {
  return std::visit(
      [&](auto* target) {
        using Control = std::remove_pointer_t<decltype(target)>;
        if constexpr (std::is_same_v<Control, NSPopUpButton>) return connect(*this, kPopUpOutlets, name, target);
        if constexpr (std::is_same_v<Control, NSButton>) return connect(*this, kCheckBoxOutlets, name, target);
        if constexpr (std::is_same_v<Control, NSSlider>) return connect(*this, kSliderOutlets, name, target);
        if constexpr (std::is_same_v<Control, NSTextField>) return connect(*this, kTextFieldOutlets, name, target);
      },
      control);
}

std::optional<ControlAction> ZarvikPDE::actionNamed(std::string_view name) {
  const ControlActionRow* row = controlActionNamed(name);
  if (row == nullptr) return std::nullopt;
  switch (row->handler) {
    case ActionHandler::kPopup:
      return ControlAction{std::function<void(NSPopUpButton&)>(
          [this, row](NSPopUpButton& sender) { performAction(*row, sender); })};
    case ActionHandler::kCheckbox:
      return ControlAction{
          std::function<void(StateSource&)>([this, row](StateSource& sender) { performAction(*row, sender); })};
    case ActionHandler::kSlider:
    case ActionHandler::kTextBox:
      return ControlAction{std::function<void(FloatValueSource&)>(
          [this, row](FloatValueSource& sender) { performAction(*row, sender); })};
  }
  return std::nullopt;
}

}  // namespace zarvik
