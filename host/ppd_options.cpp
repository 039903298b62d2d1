// libcups 2.4 marks every ppd* call deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "host/ppd_options.h"

#include <algorithm>
#include <string>

#include "host/cups_handles.h"
#include "panel/ppd_text.h"

namespace zarvik::host {
namespace {

void visitGroup(ppd_group_t& group, const std::function<void(ppd_option_t&)>& visit) {
  for (int i = 0; i < group.num_options; ++i) visit(group.options[i]);
  for (int i = 0; i < group.num_subgroups; ++i) visitGroup(group.subgroups[i], visit);
}

}  // namespace

void PpdDeleter::operator()(ppd_file_t* ppd) const { ppdClose(ppd); }

void forEachOption(ppd_file_t* ppd, const std::function<void(ppd_option_t&)>& visit) {
  if (ppd == nullptr) return;
  for (int i = 0; i < ppd->num_groups; ++i) visitGroup(ppd->groups[i], visit);
}

bool sameKeyword(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

ppd_option_t* findOption(ppd_file_t* ppd, std::string_view keyword) {
  if (ppd == nullptr || keyword.empty() || keyword.find('\0') != std::string_view::npos) return nullptr;
  // libcups cuts the keyword it looks for to the length it keeps.
  ppd_option_t* option = ppdFindOption(ppd, std::string(keyword).c_str());
  if (option == nullptr || !sameKeyword(boundedString(option->keyword, sizeof option->keyword), keyword)) {
    return nullptr;
  }
  return option;
}

ppd_choice_t* findChoice(ppd_option_t* option, std::string_view keyword) {
  if (option == nullptr || keyword.empty() || keyword.find('\0') != std::string_view::npos) return nullptr;
  ppd_choice_t* choice = ppdFindChoice(option, std::string(keyword).c_str());
  if (choice == nullptr || !sameKeyword(boundedString(choice->choice, sizeof choice->choice), keyword)) return nullptr;
  return choice;
}

std::string optionName(const ppd_option_t& option) {
  std::string_view text = boundedString(option.text, sizeof option.text);
  return oneLineText(text.empty() ? boundedString(option.keyword, sizeof option.keyword) : text);
}

std::string choiceName(const ppd_choice_t& choice) {
  std::string_view text = boundedString(choice.text, sizeof choice.text);
  return oneLineText(text.empty() ? boundedString(choice.choice, sizeof choice.choice) : text);
}

}  // namespace zarvik::host
