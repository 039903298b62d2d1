// libcups 2.4 marks every ppd* call deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "host/cups_ppd_host.h"

#include <cups/array.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "host/custom_value.h"
#include "host/ppd_options.h"
#include "host/texts.h"
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

std::string rangeText(const ppd_cparam_t& param) {
  switch (param.type) {
    case PPD_CUSTOM_INT:
      return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 to %2"),
                      {std::to_string(param.minimum.custom_int), std::to_string(param.maximum.custom_int)});
    case PPD_CUSTOM_POINTS:
      return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 to %2 points"),
                      {formatReal(param.minimum.custom_points), formatReal(param.maximum.custom_points)});
    default:
      return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 to %2"),
                      {formatReal(param.minimum.custom_real), formatReal(param.maximum.custom_real)});
  }
}

// Whether the parameter's range holds a value at all: a PPD may write it
// backwards, or with a bound that is not a number.
bool rangeHoldsAValue(const ppd_cparam_t& param) {
  switch (param.type) {
    case PPD_CUSTOM_INT:
      return param.minimum.custom_int <= param.maximum.custom_int;
    case PPD_CUSTOM_POINTS:
      return param.minimum.custom_points <= param.maximum.custom_points;
    default:
      return param.minimum.custom_real <= param.maximum.custom_real;
  }
}

// What a file that libcups cannot read as a PPD is, when it is plainly not
// one: a kind of file a person may take for one, or any file that does not
// begin as every PPD file does. Nothing when it begins like a PPD file (or
// is compressed, which libcups reads too): libcups's reason then says more.
std::optional<std::string> notAPpdFile(const std::filesystem::path& path, const std::string& name) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::array<char, 16> start{};
  ssize_t n = ::read(fd, start.data(), start.size());
  ::close(fd);
  std::string_view bytes(start.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (bytes.starts_with("*PPD-Adobe") || bytes.starts_with("\x1F\x8B")) return std::nullopt;
  struct Kind {
    std::string_view magic;
    const char* name;
  };
  static const Kind kKinds[] = {
      {"%PDF-", QT_TRANSLATE_NOOP("zarvik-print", "a PDF document")},
      {"%!PS", QT_TRANSLATE_NOOP("zarvik-print", "a PostScript document")},
      {"\x89PNG", QT_TRANSLATE_NOOP("zarvik-print", "a PNG image")},
      {"\xFF\xD8\xFF", QT_TRANSLATE_NOOP("zarvik-print", "a JPEG image")},
      {"RaS", QT_TRANSLATE_NOOP("zarvik-print", "a CUPS raster document")},
      {"PK\x03\x04", QT_TRANSLATE_NOOP("zarvik-print", "a ZIP archive")},
  };
  for (const Kind& kind : kKinds) {
    if (bytes.starts_with(kind.magic)) {
      return sentence(
          QT_TRANSLATE_NOOP("zarvik-print", "%1 is %2, not a PPD file: a PPD file begins with \"*PPD-Adobe\"."),
          {name, sentence(kind.name)});
    }
  }
  return sentence(QT_TRANSLATE_NOOP("zarvik-print",
                                    "%1 is not a PPD file: it does not begin with \"*PPD-Adobe\", as a PPD file does."),
                  {name});
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
  if (!ppd_) return;
  ppdLocalize(ppd_.get());
  ppdMarkDefaults(ppd_.get());
}

CupsPpdHost::~CupsPpdHost() = default;

Expected<std::shared_ptr<CupsPpdHost>> CupsPpdHost::openFile(const std::filesystem::path& path) {
  using Result = Expected<std::shared_ptr<CupsPpdHost>>;
  const std::string name = shownText(path.string());
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT)
      return Result::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "There is no PPD file %1."), {name}));
    return Result::failure(
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot read the PPD file %1: %2."), {name, std::strerror(errno)}));
  }
  if (S_ISDIR(info.st_mode))
    return Result::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 is a folder, not a PPD file."), {name}));
  if (!S_ISREG(info.st_mode)) {
    return Result::failure(
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 is not a regular file, so it is no PPD file."), {name}));
  }
  if (info.st_size == 0)
    return Result::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 is empty, so it is no PPD file."), {name}));
  if (::access(path.c_str(), R_OK) != 0) {
    return Result::failure(
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot read the PPD file %1: %2."), {name, std::strerror(errno)}));
  }
  ScopedPpd ppd(ppdOpenFile(path.c_str()));
  if (!ppd) {
    int line = 0;
    ppd_status_t status = ppdLastError(&line);
    if (std::optional<std::string> other = notAPpdFile(path, name)) return Result::failure(*other);
    return Result::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "The PPD file %1 is not valid: %2 at line %3."),
                                    {name, ppdErrorString(status), std::to_string(line)}));
  }
  return std::make_shared<CupsPpdHost>(std::move(ppd));
}

bool CupsPpdHost::willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) {
  std::optional<std::string> refusal = change(key, choice);
  if (!refusal) return true;
  // A custom key is written as its option's choice, as a job carries it.
  std::string request = shownText(key) + "=" + shownText(choice);
  if (ppd_ && findOption(ppd_.get(), key) == nullptr && startsWithWord(key, kCustomPrefix)) {
    if (ppd_option_t* option = findOption(ppd_.get(), key.substr(kCustomPrefix.size()))) {
      request = shownText(boundedString(option->keyword, sizeof option->keyword)) + "=Custom." + shownText(choice);
    }
  }
  (void)refuse(std::move(request), std::move(*refusal));
  return false;
}

Status CupsPpdHost::mark(std::string_view keyword, std::string_view choice) {
  std::optional<std::string> refusal = markOption(keyword, choice);
  if (refusal) return refuse(shownText(keyword) + "=" + shownText(choice), std::move(*refusal));
  return Status::success();
}

std::optional<std::string> CupsPpdHost::checkCustomValue(std::string_view keyword, std::string_view text) {
  if (!ppd_) return sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer has no PPD."));
  ppd_option_t* option = findOption(ppd_.get(), keyword);
  if (option == nullptr)
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer has no option %1."), {quotedText(keyword)});
  std::variant<CustomValue, std::string> value = readCustomValue(option, text);
  if (auto* refusal = std::get_if<std::string>(&value)) return std::move(*refusal);
  return std::nullopt;
}

std::optional<std::string> CupsPpdHost::markOption(std::string_view keyword, std::string_view choice) {
  if (!ppd_) return sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer has no PPD."));
  ppd_option_t* option = findOption(ppd_.get(), keyword);
  if (option == nullptr)
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer has no option %1."), {quotedText(keyword)});
  if (startsWithWord(choice, kCustomValuePrefix))
    return markCustomValue(option, choice.substr(kCustomValuePrefix.size()));
  // "Custom" alone would carry whatever custom value the PPD happens to
  // hold, which nobody chose.
  if (sameKeyword(choice, kCustomChoice)) {
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 needs a value: Custom.<value>."), {optionName(*option)});
  }
  return markChoice(option, choice);
}

Status CupsPpdHost::refuse(std::string request, std::string sentence) {
  lastRefusal_ = sentence;
  refusalLog_.push_back({std::move(request), std::move(sentence)});
  return Status::failure(lastRefusal_);
}

std::optional<std::string> CupsPpdHost::change(std::string_view key, std::string_view choice) {
  if (!ppd_) return sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer has no PPD."));
  if (ppd_option_t* option = findOption(ppd_.get(), key)) return markChoice(option, choice);
  if (startsWithWord(key, kCustomPrefix)) {
    if (ppd_option_t* option = findOption(ppd_.get(), key.substr(kCustomPrefix.size()))) {
      return markCustomValue(option, choice);
    }
  }
  return sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer has no option %1."), {quotedText(key)});
}

std::optional<std::string> CupsPpdHost::markChoice(ppd_option_t* option, std::string_view choice) {
  ppd_choice_t* wanted = findChoice(option, choice);
  if (wanted == nullptr) {
    if (sameKeyword(choice, kCustomChoice)) {
      return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 takes no custom value."), {optionName(*option)});
    }
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 has no choice %2."),
                    {optionName(*option), quotedText(choice)});
  }
  Snapshot before = snapshot();
  ppdMarkOption(ppd_.get(), option->keyword, wanted->choice);
  return keepUnlessConflicting(before, option, wanted->choice);
}

std::variant<CupsPpdHost::CustomValue, std::string> CupsPpdHost::readCustomValue(ppd_option_t* option,
                                                                                 std::string_view text) {
  const std::string name = optionName(*option);
  ppd_coption_t* custom = ppdFindCustomOption(ppd_.get(), option->keyword);
  if (custom == nullptr || findChoice(option, kCustomChoice) == nullptr) {
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 takes no custom value."), {name});
  }
  if (cupsArrayCount(custom->params) == 0) {
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 has a custom value without parameters; it takes none."),
                    {name});
  }
  if (cupsArrayCount(custom->params) != 1) {
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 has several custom values; one text cannot set them."),
                    {name});
  }
  auto* param = static_cast<ppd_cparam_t*>(cupsArrayFirst(custom->params));
  if (param->type != PPD_CUSTOM_INT && param->type != PPD_CUSTOM_REAL && param->type != PPD_CUSTOM_CURVE &&
      param->type != PPD_CUSTOM_INVCURVE && param->type != PPD_CUSTOM_POINTS) {
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 takes a text value, which this dialog does not set."),
                    {name});
  }
  const std::string range = rangeText(*param);
  if (!rangeHoldsAValue(*param)) {
    return sentence(
        QT_TRANSLATE_NOOP("zarvik-print",
                          "%1 cannot take any value: the printer's PPD gives it the range %2, which holds none."),
        {name, range});
  }
  const std::string outside =
      sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 must be from %2; %3 is outside that range."),
               {name, range, shownText(text)});

  CustomValue read{param, {}};
  switch (param->type) {
    case PPD_CUSTOM_INT: {
      std::optional<long long> number = parseWholeNumber(text);
      if (!number) {
        return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 needs a whole number from %2, not %3."),
                        {name, range, quotedText(text)});
      }
      if (*number < param->minimum.custom_int || *number > param->maximum.custom_int) return outside;
      read.value.custom_int = static_cast<int>(*number);
      break;
    }
    case PPD_CUSTOM_POINTS: {
      std::optional<double> points = parseLengthInPoints(text);
      if (!points) {
        return sentence(QT_TRANSLATE_NOOP("zarvik-print",
                                          "%1 needs a length from %2 (a number with pt, in, ft, cm, mm or m), not %3."),
                        {name, range, quotedText(text)});
      }
      std::optional<float> kept = asFloat(*points);
      if (!kept || *kept < param->minimum.custom_points || *kept > param->maximum.custom_points) return outside;
      read.value.custom_points = *kept;
      break;
    }
    default: {
      std::optional<double> number = parseDecimal(text);
      if (!number) {
        return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 needs a decimal number from %2, not %3."),
                        {name, range, quotedText(text)});
      }
      std::optional<float> kept = asFloat(*number);
      if (!kept || *kept < param->minimum.custom_real || *kept > param->maximum.custom_real) return outside;
      read.value.custom_real = *kept;
      break;
    }
  }
  return read;
}

std::optional<std::string> CupsPpdHost::markCustomValue(ppd_option_t* option, std::string_view text) {
  std::variant<CustomValue, std::string> value = readCustomValue(option, text);
  if (auto* refusal = std::get_if<std::string>(&value)) return std::move(*refusal);
  const CustomValue& read = std::get<CustomValue>(value);
  Snapshot before = snapshot();
  before.param = read.param;
  before.paramValue = read.param->current;
  // Only numeric members are ever written here, so copying the union back
  // on a refusal frees nothing and leaks nothing.
  read.param->current = read.value;
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
  if (ppd_choice_t* c = findChoice(option, choice)) wanted += " " + quotedText(choiceName(*c));

  std::vector<std::string> others;
  cups_option_t* list = nullptr;
  int count = cupsGetConflicts(ppd_.get(), option->keyword, choice, &list);
  ScopedOptions conflicts(count, list);
  for (int i = 0; i < conflicts.count(); ++i) {
    const cups_option_t& other = conflicts.get()[i];
    ppd_option_t* otherOption = findOption(ppd_.get(), other.name);
    if (otherOption == nullptr || otherOption == option) continue;
    std::string text = optionName(*otherOption);
    if (ppd_choice_t* c = findChoice(otherOption, other.value)) text += " " + quotedText(choiceName(*c));
    others.push_back(std::move(text));
  }
  if (others.empty())
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 conflicts with the printer's other settings."), {wanted});
  std::string all = others.back();
  if (others.size() > 1) {
    std::string first = others.front();
    for (std::size_t i = 1; i + 1 < others.size(); ++i) first += ", " + others[i];
    all = sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 and %2"), {first, others.back()});
  }
  return sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 conflicts with %2."), {wanted, all});
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
      report.skipped.push_back(
          {keyword, choice, sentence(QT_TRANSLATE_NOOP("zarvik-print", "the printer has no such option.")), true});
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
  for (const auto& [keyword, choice] : pending) report.skipped.push_back({keyword, choice, reasons[keyword]});
  return report;
}

}  // namespace zarvik::host
