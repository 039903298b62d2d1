// Filling the pop-up buttons from the PPD's choices.
#include "panel/ppd_lookup.h"
#include "panel/ppd_text.h"
#include "panel/zarvik_pde.h"

namespace zarvik {

void ZarvikPDE::initializePopup() {
  // Without a view there is nothing to fill; the pop-ups are filled on the
  // first show that finds them.
  if (popUpIsInited || !zarvikView) return;

  const std::pair<Outlet<NSPopUpButton>*, ppd_option_t*> popups[] = {
      {&jobTypePopup, jobTypeOption},
      {&centerEngravingPopup, centerEngravingOption},
      {&ditheringPopup, ditheringOption},
      {&engravingDirectionPopup, engraveDirOption},
      {&vSortingPopup, vectorSortingOption},
  };
  for (auto& [popup, option] : popups) (*popup)->removeAllItems();
  for (auto& [popup, option] : popups) {
    NSInteger index = 0;
    for (const ppd_choice_t& choice : ppd::choicesOf(option)) {
      (*popup)->addItemWithTitle(displayText(choice.text));
      if (NSMenuItem* item = (*popup)->menu().itemAtIndex(index)) {
        item->setRepresentedObject(keywordString(choice.choice));
      }
      ++index;
    }
  }
  popUpIsInited = true;
}

}  // namespace zarvik
