// libcups 2.4 marks every ppd* call deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "host/job_options.h"

#include <cups/array.h>

#include <optional>

#include "host/custom_value.h"
#include "host/ppd_options.h"
#include "panel/ppd_text.h"

namespace zarvik::host {
namespace {

constexpr char kCustomChoice[] = "Custom";

// The value of a numeric parameter as the job writes it; nullopt for text.
std::optional<std::string> numericValue(const ppd_cparam_t& param) {
  switch (param.type) {
    case PPD_CUSTOM_INT:
      return std::to_string(param.current.custom_int);
    case PPD_CUSTOM_REAL:
    case PPD_CUSTOM_CURVE:
    case PPD_CUSTOM_INVCURVE:
      return formatReal(param.current.custom_real);
    case PPD_CUSTOM_POINTS:
      return formatReal(param.current.custom_points);
    default:
      return std::nullopt;
  }
}

std::string textValue(const ppd_cparam_t& param) {
  switch (param.type) {
    case PPD_CUSTOM_STRING:
    case PPD_CUSTOM_PASSWORD:
    case PPD_CUSTOM_PASSCODE:
      return param.current.custom_string ? param.current.custom_string : "";
    default:
      return numericValue(param).value_or("");
  }
}

// A value inside "{name=value ...}": quoted when it has a space, a quote,
// a brace or a backslash, as cupsParseOptions reads it.
std::string optionListValue(const std::string& value) {
  if (!value.empty() && value.find_first_of(" \t\"'{}\\") == std::string::npos) return value;
  std::string out = "\"";
  for (char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::optional<std::string> customValue(ppd_file_t* ppd, ppd_option_t& option, std::string& whyNot) {
  ppd_coption_t* custom = ppdFindCustomOption(ppd, option.keyword);
  if (custom == nullptr) return std::string(kCustomChoice);  // a choice that is called "Custom"
  std::vector<ppd_cparam_t*> params;
  for (auto* p = static_cast<ppd_cparam_t*>(cupsArrayFirst(custom->params)); p != nullptr;
       p = static_cast<ppd_cparam_t*>(cupsArrayNext(custom->params))) {
    params.push_back(p);
  }
  std::string keyword = keywordString(option.keyword);
  if (params.empty()) {
    whyNot = keyword + " is marked Custom but has no custom parameter.";
    return std::nullopt;
  }
  if (keyword == "PageSize" || keyword == "PageRegion") {
    ppd_cparam_t* width = ppdFindCustomParam(custom, "Width");
    ppd_cparam_t* height = ppdFindCustomParam(custom, "Height");
    if (width != nullptr && height != nullptr && width->type == PPD_CUSTOM_POINTS &&
        height->type == PPD_CUSTOM_POINTS) {
      return "Custom." + formatReal(width->current.custom_points) + "x" + formatReal(height->current.custom_points);
    }
  }
  if (params.size() == 1) {
    if (std::optional<std::string> number = numericValue(*params.front())) return "Custom." + *number;
    return "Custom." + textValue(*params.front());
  }
  std::string list = "{";
  for (ppd_cparam_t* param : params) {
    if (list.size() > 1) list += " ";
    list += keywordString(param->name) + "=" + optionListValue(textValue(*param));
  }
  return list + "}";
}

}  // namespace

JobOptions jobOptionsFromMarks(ppd_file_t* ppd) {
  JobOptions job;
  forEachOption(ppd, [&](ppd_option_t& option) {
    ppd_choice_t* marked = ppdFindMarkedChoice(ppd, option.keyword);
    if (marked == nullptr) return;
    std::string keyword = keywordString(option.keyword);
    std::string choice = keywordString(marked->choice);
    if (choice != kCustomChoice) {
      job.options.insert_or_assign(keyword, choice);
      return;
    }
    std::string whyNot;
    if (std::optional<std::string> value = customValue(ppd, option, whyNot)) {
      job.options.insert_or_assign(keyword, *value);
    } else {
      job.skipped.push_back(whyNot);
    }
  });
  return job;
}

}  // namespace zarvik::host
