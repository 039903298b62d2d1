// The panel's vocabulary: PPD option keywords, custom keys, print-settings
// keys, the codes of the five pick-one options, and the table that ties
// each control action to its option, field and key.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "panel/value_text.h"

namespace zarvik {

class ZarvikPDE;

// The panel kind; also the prefix of the panel's print-settings keys.
inline constexpr std::string_view kPanelKind = "org.zarvikpde.print.pde.zarvikKind";

// Bundle resources.
inline constexpr std::string_view kNibName = "ZarvikPDE";
inline constexpr std::string_view kPanelTitleKey = "Zarvik Settings";
inline constexpr std::string_view kHelpBookNameKey = "CFBundleHelpBookName";
inline constexpr std::string_view kHelpAnchor = "AppleTitle";
inline constexpr std::string_view kPanelClassName = "ZarvikPDE";

// PPD option keywords.
inline constexpr char kJobType[] = "JobType";
inline constexpr char kCenterEngraving[] = "CenterEngraving";
inline constexpr char kRasterPower[] = "rasterPower";
inline constexpr char kRasterSpeed[] = "rasterSpeed";
inline constexpr char kEngravingDirection[] = "EngravingDirection";
inline constexpr char kDithering[] = "dithering";
inline constexpr char kVectorSpeed[] = "vectorSpeed";
inline constexpr char kVectorPower[] = "vectorPower";
inline constexpr char kVectorFreq[] = "vectorFreq";
inline constexpr char kVectorSort[] = "vectorSort";
inline constexpr char kVectorSpeedComp[] = "vectorSpeedComp";
inline constexpr char kVectorPowerComp[] = "vectorPowerComp";
inline constexpr char kResolution[] = "cResolution";
inline constexpr char kAutoFocus[] = "autoFocus";
inline constexpr char kDirectPrint[] = "directPrint";
inline constexpr char kVectorGrid[] = "vectorGrid";
inline constexpr char kMaterialThickness[] = "materialThickness";

// Custom keys: "Custom" followed by the option keyword.
inline constexpr char kCustomRasterPower[] = "CustomrasterPower";
inline constexpr char kCustomRasterSpeed[] = "CustomrasterSpeed";
inline constexpr char kCustomVectorSpeed[] = "CustomvectorSpeed";
inline constexpr char kCustomVectorPower[] = "CustomvectorPower";
inline constexpr char kCustomVectorFreq[] = "CustomvectorFreq";
inline constexpr char kCustomResolution[] = "CustomcResolution";
inline constexpr char kCustomMaterialThickness[] = "CustommaterialThickness";

// Custom parameters that the panel reads back.
inline constexpr char kResolutionParam[] = "cRes";
inline constexpr char kVectorPowerParam[] = "vPower";

// Choice keywords the panel sends itself.
inline constexpr char kCustomChoice[] = "Custom";
inline constexpr char kEnabled[] = "enabled";
inline constexpr char kDisabled[] = "disabled";

// Print-settings key suffixes, after kPanelKind.
inline constexpr char kMaterialThicknessSuffix[] = ".materialThickness";
inline constexpr char kRasterSpeedSuffix[] = ".rasterSpeed";
inline constexpr char kRasterPowerSuffix[] = ".rasterPower";
inline constexpr char kVectorPowerSuffix[] = ".vectorPower";
inline constexpr char kVectorSpeedSuffix[] = ".vectorSpeed";
inline constexpr char kVectorFreqSuffix[] = ".vectorFreq";
inline constexpr char kResolutionSuffix[] = ".resolution";

// The thirteen options a PPD must have for a panel, in lookup order.
inline constexpr std::array<std::string_view, 13> kRequiredOptions = {
    kJobType,      kCenterEngraving, kRasterPower,      kRasterSpeed,     kEngravingDirection,
    kDithering,    kVectorSpeed,     kVectorPower,      kVectorFreq,      kVectorSort,
    kVectorSpeedComp, kVectorPowerComp, kResolution};

// The code of a pick-one option. Dithering is 2 and engraving direction 3.
enum ChoiceType : NSInteger {
  ChoiceTypeJobType = 0,
  ChoiceTypeCenterEngraving = 1,
  ChoiceTypeDithering = 2,
  ChoiceTypeEngravingDirection = 3,
  ChoiceTypeVectorSort = 4,
};

// Which value-change handler an action hands its control to.
enum class ActionHandler { kPopup, kCheckbox, kSlider, kTextBox };

// One control action: the controls of the view that send it, and the
// setting's option, custom key, field and print-settings key. Exactly one
// of the field pointers is set, matching the handler.
struct ControlActionRow {
  std::string_view action;
  // The outlets whose controls send this action; the second is empty when
  // one control does. The resolution field sends none: the resolution
  // action reads its sender as a slider position.
  std::array<std::string_view, 2> senders;
  ActionHandler handler;
  std::string_view optionKey;
  std::string_view customKey;
  std::optional<std::string> ZarvikPDE::*choiceField = nullptr;
  NSInteger ZarvikPDE::*integerField = nullptr;
  float ZarvikPDE::*floatField = nullptr;
  std::string_view settingsSuffix;
  NSInteger choiceType = -1;
};

// The seventeen actions, in the order the panel declares them.
std::span<const ControlActionRow> controlActions();
// The row of the named action; nullptr for an unknown name.
const ControlActionRow* controlActionNamed(std::string_view action);

}  // namespace zarvik
