// ZarvikPDE: the "Zarvik Settings" panel of the print dialog.
//
// One object holds the panel's whole state: the host's callback object, the
// printer's PPD and its options, a field for every control and every job
// parameter. Every change a person makes is first offered to the host; the
// field changes only when the host accepts. The seven numeric parameters are
// also kept in the print settings, from which the panel reads them back
// whenever it is built or restored.
//
// All calls arrive on the host's main thread, one at a time.
#pragma once

#include <cups/ppd.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "panel/bundle.h"
#include "panel/option_table.h"
#include "panel/toolkit.h"
#include "panel/value_text.h"
#include "plugin/pde_host.h"
#include "plugin/pde_protocol.h"

namespace zarvik {

class ZarvikPDE final : public PDEPanel, private NibOwner {
 public:
  // Binds a panel to the host's printer; nullptr when the host is too old,
  // gives no PPD, or the PPD lacks one of the thirteen required options.
  static std::shared_ptr<ZarvikPDE> initWithCallback(std::shared_ptr<PDEPluginCallback> callback);
  ~ZarvikPDE() override;

  ZarvikPDE(const ZarvikPDE&) = delete;
  ZarvikPDE& operator=(const ZarvikPDE&) = delete;

  // Identity, view and help.
  NSView* panelView() override;
  std::string panelName() override;
  std::string panelKind() const override;
  std::vector<std::string> supportedPPDOptionKeys() const override;
  bool shouldShowHelp() override;
  void willShow() override;
  bool shouldHide() override;

  // Synchronisation with the print job.
  bool restoreValuesAndReturnError(NSError* error) override;
  bool saveValuesAndReturnError(NSError* error) override;
  void PPDOptionKeyValueDidChange(const std::optional<std::string>& option,
                                  const std::optional<std::string>& choice) override;
  std::optional<std::map<std::string, std::string>> summaryInfo() override;

  // Choice marking: records the current keyword of a pick-one option.
  void setNewUserChoice(const std::optional<std::string>& choice, NSInteger choiceType);

  // Custom numeric values. A write asks the host to mark the option "Custom"
  // and then the custom key with the value text; it stores the value in the
  // mirror field only when the host accepted both.
  [[nodiscard]] bool setPPDCustomIntOpt(std::string_view optionKey, std::string_view customKey,
                                        std::int32_t value, NSInteger& internalValue);
  [[nodiscard]] bool setPPDCustomFloatOpt(std::string_view optionKey, std::string_view customKey,
                                          float value, float& internalValue);
  // The custom parameter's current value in the PPD, or -1 / -1.0.
  std::int32_t getPPDCustomIntOpt(const char* optionKey, const char* customKey);
  float getPPDCustomFloatOpt(const char* optionKey, const char* customKey);
  // The number the PPD holds for a numeric option: its custom value when
  // "Custom" is marked, else the marked choice's keyword read as a number;
  // nothing when neither gives one.
  std::optional<double> ppdHeldValue(std::string_view optionKey) const;

  // Defaults and the print settings.
  void setDefaults();
  void getNonPPDSettingsFromPrintSettings();
  void writeNonPPDSettingToPrintSettings(const std::string& key, const std::string& value);

  // Controls.
  void initializePopup();
  void updateUI();

  // Value-change handlers.
  // `oldChoice` is a copy: the host may call back into the panel before it
  // answers, and the choice to go back to must not change meanwhile.
  void popupValueChange(NSPopUpButton& sender, std::string_view senderKey, NSInteger choiceType,
                        std::optional<std::string> oldChoice);
  void checkboxValueChange(const StateSource& sender, std::string_view senderKey, NSInteger& internalValue);
  void sliderValueChange(const FloatValueSource& sender, std::string_view optionKey, std::string_view customKey,
                         NSInteger& internalValue, const std::string& saveKey);
  void textBoxValueChange(const FloatValueSource& sender, std::string_view optionKey,
                          std::string_view customKey, float& internalValue, const std::string& saveKey);

  // Control actions, one per setting a person can change.
  void requestNewJobType(NSPopUpButton& sender);
  void requestNewCenterEngraving(NSPopUpButton& sender);
  void requestNewDirectPrint(StateSource& sender);
  void requestNewAutoFocus(StateSource& sender);
  void requestNewVectorGrid(StateSource& sender);
  void requestNewMaterialThickness(FloatValueSource& sender);
  void requestNewRSpeed(FloatValueSource& sender);
  void requestNewRPower(FloatValueSource& sender);
  void requestNewEngraveDir(NSPopUpButton& sender);
  void requestNewDithering(NSPopUpButton& sender);
  void requestNewVSpeed(FloatValueSource& sender);
  void requestNewVPower(FloatValueSource& sender);
  void requestNewVFreq(FloatValueSource& sender);
  void requestNewVSorting(NSPopUpButton& sender);
  void requestNewVSpeedComp(StateSource& sender);
  void requestNewVPowerComp(StateSource& sender);
  void requestNewResolution(FloatValueSource& sender);

  // The print-settings key of a suffix such as ".rasterSpeed".
  static std::string printSettingsKey(std::string_view suffix);
  // The slider position of a resolution: its step, or the 600 dpi step for
  // a resolution between steps.
  NSInteger resolutionStepIndex(NSInteger dotsPerInch) const;

  // The panel's state. The fields are the panel's own: they are public so
  // that a host's tests and diagnostics can read them, and only the panel's
  // operations write them.

  // Host, identity and view.
  std::shared_ptr<PDEPluginCallback> pdePluginCallbackObject;
  std::optional<std::string> thePDEName;

  // Control outlets, connected when the view is loaded.
  Outlet<NSPopUpButton> jobTypePopup;
  Outlet<NSPopUpButton> centerEngravingPopup;
  Outlet<NSButton> directPrintCheckBox;
  Outlet<NSButton> autoFocusCheckBox;
  Outlet<NSTextField> materialTextBox;
  Outlet<NSButton> vectorGridCheckBox;
  Outlet<NSTextField> materialText;
  Outlet<NSTextField> rPowerTextBox;
  Outlet<NSTextField> rSpeedTextBox;
  Outlet<NSPopUpButton> ditheringPopup;
  Outlet<NSPopUpButton> engravingDirectionPopup;
  Outlet<NSSlider> rPowerSlider;
  Outlet<NSSlider> rSpeedSlider;
  Outlet<NSSlider> vSpeedSlider;
  Outlet<NSSlider> vPowerSlider;
  Outlet<NSSlider> vFreqSlider;
  Outlet<NSTextField> vSpeedTextBox;
  Outlet<NSTextField> vPowerTextBox;
  Outlet<NSTextField> vFreqTextBox;
  Outlet<NSPopUpButton> vSortingPopup;
  Outlet<NSButton> vSpeedCompCheckBox;
  Outlet<NSButton> vPowerCompCheckBox;
  Outlet<NSTextField> resolutionTextBox;
  Outlet<NSSlider> resolutionSlider;
  std::unique_ptr<NSView> zarvikView;

  // State.
  bool popUpIsInited = false;
  std::optional<std::string> jobTypeChoice;
  std::optional<std::string> centerEngravingChoice;
  std::optional<std::string> engraveDirChoice;
  std::optional<std::string> ditheringChoice;
  std::optional<std::string> vectorSortingChoice;
  ppd_file_t* ppd = nullptr;  // borrowed from the host, as are the options
  ppd_option_t* jobTypeOption = nullptr;
  ppd_option_t* centerEngravingOption = nullptr;
  ppd_option_t* rasterPowerOption = nullptr;
  ppd_option_t* rasterSpeedOption = nullptr;
  ppd_option_t* engraveDirOption = nullptr;
  ppd_option_t* ditheringOption = nullptr;
  ppd_option_t* vectorSpeedOption = nullptr;
  ppd_option_t* vectorPowerOption = nullptr;
  ppd_option_t* vectorFreqOption = nullptr;
  ppd_option_t* vectorSortingOption = nullptr;
  ppd_option_t* vectorSpeedCompOption = nullptr;
  ppd_option_t* vectorPowerCompOption = nullptr;
  ppd_option_t* resolutionOption = nullptr;
  std::shared_ptr<NSBundle> pdeBundle;
  NSInteger rPower = 50;
  NSInteger rSpeed = 50;
  NSInteger vPower = 50;
  NSInteger vSpeed = 50;
  NSInteger vFreq = 50;
  NSInteger vSpeedComp = 0;
  NSInteger vPowerComp = 1;
  NSInteger oDirectPrint = 0;
  NSInteger oAutoFocus = 0;
  NSInteger oVectorGrid = 0;
  float oMaterialThickness = 0.0f;
  NSInteger resolution = 600;
  const std::array<std::string, 7> resolutionSliderValues{"75", "150", "200", "300", "400", "600", "1200"};
  NSInteger resolutionIndex = 0;

 private:
  ZarvikPDE() = default;

  // NibOwner: the view description hands over the view and the controls.
  void setView(std::unique_ptr<NSView> view) override;
  bool connectOutlet(std::string_view name, OutletTarget control) override;
  std::optional<ControlAction> actionNamed(std::string_view name) override;

  // How the two requests of a custom value ended.
  enum class CustomWrite { kAccepted, kOptionRefused, kValueRefused };
  // Asks the host to mark the option "Custom", then the custom key with
  // the value text. When the value is refused the option is marked back to
  // the choice it had, so it never stays on "Custom" with a value nobody
  // gave.
  CustomWrite offerCustomValue(std::string_view optionKey, std::string_view customKey,
                               const std::string& valueText);
  // The PPD option of a numeric setting: the handle held for it, else
  // looked up.
  ppd_option_t* numericOption(std::string_view optionKey) const;
  // After a refused value: marks `previous` again, or, when nothing was
  // marked or the host refuses it, a plain choice of the option.
  void restoreAPlainChoice(std::string_view optionKey, const std::optional<std::string>& previous);
  // The same for a person's change, logging a refusal; true when accepted.
  bool offerLoggingRefusals(std::string_view optionKey, std::string_view customKey, const std::string& valueText);

  // Steps shared by the actions and the restore.
  void performAction(const ControlActionRow& row, NSPopUpButton& sender);
  void performAction(const ControlActionRow& row, StateSource& sender);
  void performAction(const ControlActionRow& row, FloatValueSource& sender);
  void applyAutoFocusToControls(bool autoFocusOn);
  // Limits the numeric controls to the ranges the PPD's custom parameters
  // accept, so the panel cannot offer a value the printer refuses.
  void applyPpdRangesToControls();
  // The box of an on/off option that the refresh does not set, or nullptr.
  Outlet<NSButton>* onOffBox(std::string_view optionKey);

  // Whether the help books were registered at construction; without them
  // the panel cannot open its book and leaves help to the host.
  bool helpBooksRegistered = false;
};

}  // namespace zarvik
