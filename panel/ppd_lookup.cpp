#include "panel/ppd_lookup.h"

// libcups 2.4 deprecates the PPD API that the print dialog host hands us.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::ppd {

ppd_option_t* findOption(ppd_file_t* ppd, const std::string& keyword) {
  return ppd ? ppdFindOption(ppd, keyword.c_str()) : nullptr;
}

ppd_choice_t* findChoice(ppd_option_t* option, const std::string& keyword) {
  return option ? ppdFindChoice(option, keyword.c_str()) : nullptr;
}

ppd_choice_t* findMarkedChoice(ppd_file_t* ppd, const std::string& keyword) {
  return ppd ? ppdFindMarkedChoice(ppd, keyword.c_str()) : nullptr;
}

ppd_coption_t* findCustomOption(ppd_file_t* ppd, const std::string& keyword) {
  return ppd ? ppdFindCustomOption(ppd, keyword.c_str()) : nullptr;
}

ppd_cparam_t* findCustomParam(ppd_coption_t* option, const std::string& name) {
  return option ? ppdFindCustomParam(option, name.c_str()) : nullptr;
}

ppd_cparam_t* firstCustomParam(ppd_coption_t* option) {
  return option ? ppdFirstCustomParam(option) : nullptr;
}

std::span<ppd_choice_t> choicesOf(const ppd_option_t* option) {
  if (option == nullptr || option->choices == nullptr || option->num_choices <= 0) return {};
  return {option->choices, static_cast<std::size_t>(option->num_choices)};
}

}  // namespace zarvik::ppd
