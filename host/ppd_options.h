// Walks and lookups in an open PPD, and the names a person sees.
#pragma once

#include <cups/ppd.h>

#include <functional>
#include <string>
#include <string_view>

namespace zarvik::host {

// Calls `visit` for every option of every group and subgroup, in the PPD's
// order. Unlike ppdFirstOption/ppdNextOption it keeps no position inside
// the PPD, so lookups during the walk are safe.
void forEachOption(ppd_file_t* ppd, const std::function<void(ppd_option_t&)>& visit);

// Whether two keywords are the same to libcups: equal but for the case of
// ASCII letters.
bool sameKeyword(std::string_view a, std::string_view b);

// The option or choice whose keyword is `keyword`, whatever the case of its
// letters, as ppdFindOption, ppdFindChoice and ppdMarkOption find it, so the
// host marks what it checked; nullptr when there is none. A keyword is taken
// whole: one with a NUL byte, or one longer than libcups keeps, is nobody's.
ppd_option_t* findOption(ppd_file_t* ppd, std::string_view keyword);
ppd_choice_t* findChoice(ppd_option_t* option, std::string_view keyword);

// The option's or choice's text, or its keyword when it has none, as it
// goes into a one-line sentence: UTF-8, control characters (which a PPD
// can write as hex) shown as U+FFFD.
std::string optionName(const ppd_option_t& option);
std::string choiceName(const ppd_choice_t& choice);

}  // namespace zarvik::host
