// The current keyword of each pick-one option.
#include "panel/system_log.h"
#include "panel/zarvik_pde.h"

namespace zarvik {

void ZarvikPDE::setNewUserChoice(const std::optional<std::string>& choice, NSInteger choiceType) {
  NSLog("A new user choice has been selected\nThe choice is: %@\n The type is: %ld", choice, choiceType);
  std::optional<std::string>* field = nullptr;
  switch (static_cast<unsigned long>(choiceType)) {
    case ChoiceTypeJobType: field = &jobTypeChoice; break;
    case ChoiceTypeCenterEngraving: field = &centerEngravingChoice; break;
    case ChoiceTypeDithering: field = &ditheringChoice; break;
    case ChoiceTypeEngravingDirection: field = &engraveDirChoice; break;
    case ChoiceTypeVectorSort: field = &vectorSortingChoice; break;
    default:
      NSLog("Zarvik PDE got an unhandled type in setNewUserChoice! %d", static_cast<int>(choiceType));
      return;
  }
  // Copy first: `choice` may be the field itself.
  std::optional<std::string> value = choice;
  *field = std::move(value);
}

}  // namespace zarvik
