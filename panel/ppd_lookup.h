// The panel's lookups in the printer's PPD. libcups 2.4 marks every ppd*
// call deprecated; they are made here and nowhere else in the panel.
// Every lookup accepts a missing PPD or record and then finds nothing.
#pragma once

#include <cups/ppd.h>

#include <span>
#include <string>

namespace zarvik::ppd {

ppd_option_t* findOption(ppd_file_t* ppd, const std::string& keyword);
ppd_choice_t* findChoice(ppd_option_t* option, const std::string& keyword);
ppd_choice_t* findMarkedChoice(ppd_file_t* ppd, const std::string& keyword);
ppd_coption_t* findCustomOption(ppd_file_t* ppd, const std::string& keyword);
ppd_cparam_t* findCustomParam(ppd_coption_t* option, const std::string& name);
// The first parameter of a custom option, the one that carries a single value.
ppd_cparam_t* firstCustomParam(ppd_coption_t* option);

// The option's choices as libcups holds them; empty when the record says
// it has none or its count cannot be trusted.
std::span<ppd_choice_t> choicesOf(const ppd_option_t* option);

}  // namespace zarvik::ppd
