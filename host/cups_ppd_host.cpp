// libcups 2.4 marks every ppd* call deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "host/cups_ppd_host.h"

#include <cups/array.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "host/custom_value.h"
#include "host/ppd_options.h"
#include "panel/ppd_text.h"

namespace zarvik::host {
namespace {

constexpr std::string_view kCustomPrefix = "Custom";
constexpr std::string_view kCustomValuePrefix = "Custom.";
constexpr char kCustomChoice[] = "Custom";

// libcups reads "Custom." in a choice whatever its case; the host reads the
// "Custom" of a custom key the same way.
bool startsWithWord(std::string_view text, std::string_view word) {
  return text.size() >= word.size() && sameKeyword(text.substr(0, word.size()), word);
}

std::string quote(std::string_view text) { return "\"" + oneLineText(text) + "\""; }

std::string rangeText(const ppd_cparam_t& param) {
  switch (param.type) {
    case PPD_CUSTOM_INT:
      return std::to_string(param.minimum.custom_int) + " to " + std::to_string(param.maximum.custom_int);
    case PPD_CUSTOM_POINTS:
      return formatReal(param.minimum.custom_points) + " to " + formatReal(param.maximum.custom_points) + " points";
    default:
      return formatReal(param.minimum.custom_real) + " to " + formatReal(param.maximum.custom_real);
  }
}

// A number as the float a parameter keeps, or nothing beyond a float's
// range. The range is checked on that float, not on the text's number:
// each end as the PPD writes it ("0.7") is then taken, and a value kept is
// never an infinity or a number the job would print outside the range.
std::optional<float> asFloat(double number) {
  if (!(std::fabs(number) <= std::numeric_limits<float>::max())) return std::nullopt;
  return static_cast<float>(number);
}

std::set<ppd_option_t*> conflictedOptions(ppd_file_t* ppd) {
  ppdConflicts(ppd);  // sets each option's conflicted flag
  std::set<ppd_option_t*> conflicted;
  forEachOption(ppd, [&](ppd_option_t& option) {
    if (option.conflicted) conflicted.insert(&option);
  });
  return conflicted;
}

}  // namespace

// Everything a change may touch: the marked choice of every option, the
// options in conflict, and the custom value being set.
struct CupsPpdHost::Snapshot {
  std::vector<std::pair<ppd_option_t*, ppd_choice_t*>> marks;
  std::set<ppd_option_t*> conflicted;
  ppd_cparam_t* param = nullptr;
  ppd_cpvalue_t paramValue{};
};

CupsPpdHost::CupsPpdHost(ScopedPpd ppd) : ppd_(std::move(ppd)) {
  if (ppd_) ppdMarkDefaults(ppd_.get());
}

CupsPpdHost::~CupsPpdHost() = default;

Expected<std::shared_ptr<CupsPpdHost>> CupsPpdHost::openFile(const std::filesystem::path& path) {
  using Result = Expected<std::shared_ptr<CupsPpdHost>>;
  ScopedPpd ppd(ppdOpenFile(path.c_str()));
  if (!ppd) {
    int line = 0;
    ppd_status_t status = ppdLastError(&line);
    std::string reason = ppdErrorString(status);
    if (status == PPD_FILE_OPEN_ERROR)
      return Result::failure("Cannot open the PPD file " + path.string() + ": " + reason + ".");
    return Result::failure("The PPD file " + path.string() + " is not valid: " + reason + " at line " +
                           std::to_string(line) + ".");
  }
  return std::make_shared<CupsPpdHost>(std::move(ppd));
}

bool CupsPpdHost::willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) {
  std::optional<std::string> refusal = change(key, choice);
  if (refusal) (void)refuse(std::move(*refusal));
  return !refusal;
}

Status CupsPpdHost::mark(std::string_view keyword, std::string_view choice) {
  std::optional<std::string> refusal = markOption(keyword, choice);
  if (refusal) return refuse(std::move(*refusal));
  return Status::success();
}

std::optional<std::string> CupsPpdHost::markOption(std::string_view keyword, std::string_view choice) {
  if (!ppd_) return "The printer has no PPD.";
  ppd_option_t* option = findOption(ppd_.get(), keyword);
  if (option == nullptr) return "The printer has no option " + quote(keyword) + ".";
  if (startsWithWord(choice, kCustomValuePrefix)) return markCustomValue(option, choice.substr(kCustomValuePrefix.size()));
  return markChoice(option, choice);
}

Status CupsPpdHost::refuse(std::string sentence) {
  lastRefusal_ = std::move(sentence);
  ++refusals_;
  return Status::failure(lastRefusal_);
}

std::optional<std::string> CupsPpdHost::change(std::string_view key, std::string_view choice) {
  if (!ppd_) return "The printer has no PPD.";
  if (ppd_option_t* option = findOption(ppd_.get(), key)) return markChoice(option, choice);
  if (startsWithWord(key, kCustomPrefix)) {
    if (ppd_option_t* option = findOption(ppd_.get(), key.substr(kCustomPrefix.size()))) {
      return markCustomValue(option, choice);
    }
  }
  return "The printer has no option " + quote(key) + ".";
}

std::optional<std::string> CupsPpdHost::markChoice(ppd_option_t* option, std::string_view choice) {
  ppd_choice_t* wanted = findChoice(option, choice);
  if (wanted == nullptr) {
    if (sameKeyword(choice, kCustomChoice)) return optionName(*option) + " takes no custom value.";
    return optionName(*option) + " has no choice " + quote(choice) + ".";
  }
  Snapshot before = snapshot();
  ppdMarkOption(ppd_.get(), option->keyword, wanted->choice);
  return keepUnlessConflicting(before, option, wanted->choice);
}

std::optional<std::string> CupsPpdHost::markCustomValue(ppd_option_t* option, std::string_view text) {
  ppd_coption_t* custom = ppdFindCustomOption(ppd_.get(), option->keyword);
  if (custom == nullptr || findChoice(option, kCustomChoice) == nullptr) {
    return optionName(*option) + " takes no custom value.";
  }
  if (cupsArrayCount(custom->params) != 1) {
    return optionName(*option) + " has several custom values; one text cannot set them.";
  }
  auto* param = static_cast<ppd_cparam_t*>(cupsArrayFirst(custom->params));
  const std::string name = optionName(*option);
  const std::string range = rangeText(*param);

  ppd_cpvalue_t value{};
  switch (param->type) {
    case PPD_CUSTOM_INT: {
      std::optional<long long> number = parseWholeNumber(text);
      if (!number) return name + " needs a whole number from " + range + ", not " + quote(text) + ".";
      if (*number < param->minimum.custom_int || *number > param->maximum.custom_int) {
        return name + " must be from " + range + "; " + std::string(text) + " is outside that range.";
      }
      value.custom_int = static_cast<int>(*number);
      break;
    }
    case PPD_CUSTOM_REAL:
    case PPD_CUSTOM_CURVE:
    case PPD_CUSTOM_INVCURVE: {
      std::optional<double> number = parseDecimal(text);
      if (!number) return name + " needs a decimal number from " + range + ", not " + quote(text) + ".";
      std::optional<float> kept = asFloat(*number);
      if (!kept || *kept < param->minimum.custom_real || *kept > param->maximum.custom_real) {
        return name + " must be from " + range + "; " + std::string(text) + " is outside that range.";
      }
      value.custom_real = *kept;
      break;
    }
    case PPD_CUSTOM_POINTS: {
      std::optional<double> points = parseLengthInPoints(text);
      if (!points) {
        return name + " needs a length from " + range + " (a number with pt, in, ft, cm, mm or m), not " + quote(text) +
               ".";
      }
      std::optional<float> kept = asFloat(*points);
      if (!kept || *kept < param->minimum.custom_points || *kept > param->maximum.custom_points) {
        return name + " must be from " + range + "; " + std::string(text) + " is outside that range.";
      }
      value.custom_points = *kept;
      break;
    }
    default:
      return name + " takes a text value, which this dialog does not set.";
  }

  Snapshot before = snapshot();
  before.param = param;
  before.paramValue = param->current;
  // Only numeric members are ever written here, so copying the union back
  // on a refusal frees nothing and leaks nothing.
  param->current = value;
  ppdMarkOption(ppd_.get(), option->keyword, kCustomChoice);
  return keepUnlessConflicting(before, option, kCustomChoice);
}

std::optional<std::string> CupsPpdHost::keepUnlessConflicting(const Snapshot& before, ppd_option_t* option,
                                                              const char* choice) {
  std::set<ppd_option_t*> after = conflictedOptions(ppd_.get());
  bool added =
      std::any_of(after.begin(), after.end(), [&](ppd_option_t* each) { return before.conflicted.count(each) == 0; });
  if (!added) return std::nullopt;
  std::string sentence = describeConflict(option, choice);
  restore(before);
  return sentence;
}

std::string CupsPpdHost::describeConflict(ppd_option_t* option, const char* choice) {
  std::string wanted = optionName(*option);
  if (ppd_choice_t* c = findChoice(option, choice)) wanted += " " + quote(choiceName(*c));

  std::vector<std::string> others;
  cups_option_t* list = nullptr;
  int count = cupsGetConflicts(ppd_.get(), option->keyword, choice, &list);
  ScopedOptions conflicts(count, list);
  for (int i = 0; i < conflicts.count(); ++i) {
    const cups_option_t& other = conflicts.get()[i];
    ppd_option_t* otherOption = findOption(ppd_.get(), other.name);
    if (otherOption == nullptr || otherOption == option) continue;
    std::string text = optionName(*otherOption);
    if (ppd_choice_t* c = findChoice(otherOption, other.value)) text += " " + quote(choiceName(*c));
    others.push_back(std::move(text));
  }
  if (others.empty()) return wanted + " conflicts with the printer's other settings.";
  std::string sentence = wanted + " conflicts with ";
  for (std::size_t i = 0; i < others.size(); ++i) {
    if (i > 0) sentence += i + 1 == others.size() ? " and " : ", ";
    sentence += others[i];
  }
  return sentence + ".";
}

CupsPpdHost::Snapshot CupsPpdHost::snapshot() {
  Snapshot before;
  before.conflicted = conflictedOptions(ppd_.get());
  forEachOption(ppd_.get(), [&](ppd_option_t& each) {
    before.marks.emplace_back(&each, ppdFindMarkedChoice(ppd_.get(), each.keyword));
  });
  return before;
}

void CupsPpdHost::restore(const Snapshot& before) {
  if (before.param != nullptr) before.param->current = before.paramValue;
  // Marking one option may unmark another (PageSize and PageRegion), so a
  // second round settles what the first disturbed.
  for (int round = 0; round < 2; ++round) {
    for (const auto& [option, choice] : before.marks) {
      ppd_choice_t* now = ppdFindMarkedChoice(ppd_.get(), option->keyword);
      if (now == choice) continue;
      if (choice != nullptr) {
        ppdMarkOption(ppd_.get(), option->keyword, choice->choice);
      } else if (now != nullptr) {
        // libcups has no call that unmarks; ppdMarkDefaults does it this way.
        now->marked = 0;
        cupsArrayRemove(ppd_->marked, now);
      }
    }
  }
  ppdConflicts(ppd_.get());
}

CupsPpdHost::ApplyReport CupsPpdHost::applyOptions(const std::map<std::string, std::string>& options) {
  ApplyReport report;
  std::map<std::string, std::string> reasons;
  std::vector<std::pair<std::string, std::string>> pending;
  for (const auto& [keyword, choice] : options) {
    if (!ppd_ || findOption(ppd_.get(), keyword) == nullptr) {
      report.warnings.push_back("Skipped the stored option " + oneLineText(keyword) + "=" + oneLineText(choice) +
                                ": the printer has no such option.");
    } else {
      pending.emplace_back(keyword, choice);
    }
  }
  // A choice refused for a conflict may go in once another option has
  // changed; the rounds end when one brings nothing new.
  bool progress = true;
  while (progress && !pending.empty()) {
    progress = false;
    for (auto it = pending.begin(); it != pending.end();) {
      std::optional<std::string> refusal = markOption(it->first, it->second);
      if (!refusal) {
        report.applied.push_back(it->first);
        it = pending.erase(it);
        progress = true;
      } else {
        reasons[it->first] = std::move(*refusal);
        ++it;
      }
    }
  }
  for (const auto& [keyword, choice] : pending) {
    report.warnings.push_back("Skipped the stored option " + oneLineText(keyword) + "=" + oneLineText(choice) + ": " +
                              reasons[keyword]);
  }
  return report;
}

}  // namespace zarvik::host
