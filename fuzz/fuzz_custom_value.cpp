// Value text -> the host's custom values: a PPD with one custom parameter
// whose type and range come from the input, and the text typed for it.
// An accepted value lies within the parameter's range, is a finite number,
// and is written into the job as a text that reads back to the same number
// and is accepted again, as the remembered settings bring it back. A refused
// one changes nothing. The readers also agree with the C library on every
// text they take.
#include <cups/ppd.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "host/cups_ppd_host.h"
#include "host/custom_value.h"
#include "host/job_options.h"
#include "panel/ppd_text.h"
#include "fuzz_checks.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using zarvik::fuzz::check;
using zarvik::fuzz::plainLine;

using namespace zarvik::host;

constexpr char kOption[] = "cValue";
constexpr char kCustomKey[] = "CustomcValue";
constexpr char kCustomPrefix[] = "Custom.";

struct ParamType {
  const char* name;
  ppd_cptype_t type;
};
constexpr ParamType kTypes[] = {{"int", PPD_CUSTOM_INT},
                                {"real", PPD_CUSTOM_REAL},
                                {"points", PPD_CUSTOM_POINTS},
                                {"curve", PPD_CUSTOM_CURVE},
                                {"invcurve", PPD_CUSTOM_INVCURVE}};

// A range bound as it may stand in a PPD line: printable, no blanks.
std::string boundText(const std::string& raw) {
  std::string out;
  for (char c : raw) {
    auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) out += c;
  }
  return out.empty() ? "0" : out;
}

std::string ppdText(const ParamType& type, const std::string& minimum, const std::string& maximum) {
  return std::string(
             "*PPD-Adobe: \"4.3\"\n"
             "*FormatVersion: \"4.3\"\n"
             "*FileVersion: \"1.0\"\n"
             "*LanguageVersion: English\n"
             "*LanguageEncoding: ISOLatin1\n"
             "*PCFileName: \"ZARVIK.PPD\"\n"
             "*Manufacturer: \"Zarvik\"\n"
             "*Product: \"(Zarvik Engraver)\"\n"
             "*ModelName: \"Zarvik Engraver\"\n"
             "*NickName: \"Zarvik Engraver\"\n"
             "*OpenUI *cValue/Value: PickOne\n"
             "*DefaultcValue: Low\n"
             "*cValue Low/Low: \"\"\n"
             "*cValue High/High: \"\"\n"
             "*CloseUI: *cValue\n"
             "*CustomcValue True/Custom Value: \"pop\"\n"
             "*ParamCustomcValue v/Value: 1 ") +
         type.name + " " + minimum + " " + maximum + "\n";
}

struct OpenedHost {
  std::unique_ptr<CupsPpdHost> host;
  ppd_cparam_t* param = nullptr;
};

OpenedHost openHost(const std::string& text) {
  OpenedHost opened;
  int fd = memfd_create("ppd", 0);
  if (fd < 0) return opened;
  bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  lseek(fd, 0, SEEK_SET);
  ScopedPpd ppd(written ? ppdOpenFd(fd) : nullptr);
  close(fd);
  if (!ppd) return opened;
  ppd_coption_t* custom = ppdFindCustomOption(ppd.get(), kOption);
  if (custom == nullptr) return opened;
  opened.param = ppdFirstCustomParam(custom);
  if (opened.param == nullptr) return opened;
  opened.host = std::make_unique<CupsPpdHost>(std::move(ppd));
  return opened;
}

std::string marked(CupsPpdHost& host) {
  ppd_choice_t* choice = ppdFindMarkedChoice(host.ppdFile(), kOption);
  return choice ? zarvik::keywordString(choice->choice) : std::string();
}

float realValue(const ppd_cparam_t& param) {
  return param.type == PPD_CUSTOM_POINTS ? param.current.custom_points : param.current.custom_real;
}

// The same bits: what two paths given the same text must set.
bool identical(const ppd_cparam_t& a, const ppd_cparam_t& b) {
  if (a.type == PPD_CUSTOM_INT) return a.current.custom_int == b.current.custom_int;
  float x = realValue(a), y = realValue(b);
  return std::memcmp(&x, &y, sizeof x) == 0;
}

// The same number; the job writes -0 as "0".
bool sameNumber(const ppd_cparam_t& a, const ppd_cparam_t& b) {
  if (a.type == PPD_CUSTOM_INT) return a.current.custom_int == b.current.custom_int;
  return realValue(a) == realValue(b);
}

bool withinRange(const ppd_cparam_t& param) {
  switch (param.type) {
    case PPD_CUSTOM_INT:
      return param.current.custom_int >= param.minimum.custom_int &&
             param.current.custom_int <= param.maximum.custom_int;
    case PPD_CUSTOM_POINTS:
      return std::isfinite(param.current.custom_points) &&
             param.current.custom_points >= param.minimum.custom_points &&
             param.current.custom_points <= param.maximum.custom_points;
    default:
      return std::isfinite(param.current.custom_real) && param.current.custom_real >= param.minimum.custom_real &&
             param.current.custom_real <= param.maximum.custom_real;
  }
}

// The text the job carries for the value: "Custom." and the number.
std::string printed(const ppd_cparam_t& param) {
  switch (param.type) {
    case PPD_CUSTOM_INT:
      return std::to_string(param.current.custom_int);
    case PPD_CUSTOM_POINTS:
      return formatReal(param.current.custom_points);
    default:
      return formatReal(param.current.custom_real);
  }
}

// Reads back what `printed` wrote, as the parameter's type reads it.
bool readsBackAs(const ppd_cparam_t& param, const std::string& text) {
  if (param.type == PPD_CUSTOM_INT) {
    std::optional<long long> number = parseWholeNumber(text);
    return number && *number == param.current.custom_int;
  }
  std::optional<double> number =
      param.type == PPD_CUSTOM_POINTS ? parseLengthInPoints(text) : parseDecimal(text);
  if (!number || !(std::fabs(*number) <= std::numeric_limits<float>::max())) return false;
  return static_cast<float>(*number) == realValue(param);
}

bool isDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string_view withoutSign(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return text;
}

bool decimalForm(std::string_view text) {
  text = withoutSign(text);
  std::size_t point = text.find('.');
  if (point == std::string_view::npos) return isDigits(text);
  return isDigits(text.substr(0, point)) && isDigits(text.substr(point + 1));
}

// The readers on their own: each text they take is in their grammar and
// has the value the C library gives it, and a float of it prints back.
void checkReaders(const std::string& text) {
  bool hasNul = text.find('\0') != std::string::npos;
  if (std::optional<long long> number = parseWholeNumber(text)) {
    check(!hasNul && isDigits(withoutSign(text)), "a whole number is a sign and digits");
    check(*number == std::strtoll(text.c_str(), nullptr, 10), "a whole number reads as strtoll reads it");
    check(parseWholeNumber(std::to_string(*number)) == number, "a whole number prints back");
  }
  if (std::optional<double> number = parseDecimal(text)) {
    check(!hasNul && decimalForm(text), "a decimal is a sign, digits and a point with digits");
    double reference = std::strtod(text.c_str(), nullptr);
    check(std::memcmp(&reference, &*number, sizeof reference) == 0, "a decimal reads as strtod reads it");
  }
  for (auto parse : {parseDecimal, parseLengthInPoints}) {
    std::optional<double> number = parse(text);
    if (!number || !(std::fabs(*number) <= std::numeric_limits<float>::max())) continue;
    float value = static_cast<float>(*number);
    std::optional<double> again = parse(formatReal(value));
    check(again.has_value(), "a printed float reads back");
    float back = static_cast<float>(*again);
    check(back == value, "a printed float reads back to the same float");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const ParamType& type = kTypes[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kTypes) - 1)];
  std::string minimum = boundText(input.ConsumeRandomLengthString(24));
  std::string maximum = boundText(input.ConsumeRandomLengthString(24));
  std::string value = input.ConsumeRemainingBytesAsString();

  checkReaders(value);

  const std::string ppd = ppdText(type, minimum, maximum);
  OpenedHost byPanel = openHost(ppd);
  if (!byPanel.host) return 0;  // libcups does not read the range: nothing to check
  OpenedHost byMark = openHost(ppd);
  check(byMark.host != nullptr, "the same PPD opens twice");
  check(byPanel.param->type == type.type, "the parameter has the type written");

  // The range a refusal names is the range taken: each end, written as the
  // refusal writes it, is accepted.
  {
    OpenedHost bounds = openHost(ppd);
    check(bounds.host != nullptr, "the same PPD opens again");
    const ppd_cparam_t& param = *bounds.param;
    bool intRange = param.type == PPD_CUSTOM_INT && param.minimum.custom_int <= param.maximum.custom_int;
    float low = param.type == PPD_CUSTOM_POINTS ? param.minimum.custom_points : param.minimum.custom_real;
    float high = param.type == PPD_CUSTOM_POINTS ? param.maximum.custom_points : param.maximum.custom_real;
    bool realRange = param.type != PPD_CUSTOM_INT && std::isfinite(low) && std::isfinite(high) && low <= high;
    if (intRange) {
      for (int end : {param.minimum.custom_int, param.maximum.custom_int}) {
        check(bounds.host->mark(kOption, kCustomPrefix + std::to_string(end)).ok(), "each end of the range is taken");
      }
    } else if (realRange) {
      for (float end : {low, high}) {
        check(bounds.host->mark(kOption, kCustomPrefix + formatReal(end)).ok(), "each end of the range is taken");
      }
    }
  }

  const ppd_cparam_t initial = *byPanel.param;
  const std::string initialChoice = marked(*byPanel.host);

  // The panel's request and the stored form of the same text agree.
  bool accepted = byPanel.host->willChangePPDOptionKeyValue(kCustomKey, value);
  Status status = byMark.host->mark(kOption, kCustomPrefix + value);
  check(accepted == status.ok(), "a request and a mark of the same text agree");
  check(accepted || (plainLine(status.message()) && status.message() == byMark.host->lastRefusal()),
        "a refusal is one plain sentence");

  CupsPpdHost& host = *byPanel.host;
  const ppd_cparam_t& param = *byPanel.param;
  if (!accepted) {
    check(marked(host) == initialChoice && identical(param, initial), "a refused value changes nothing");
    return 0;
  }
  check(identical(param, *byMark.param), "a request and a mark of the same text set the same value");
  check(marked(host) == "Custom", "an accepted value marks the custom choice");
  check(withinRange(param), "an accepted value is a finite number within the parameter's range");

  // What the job carries, and what the settings store keeps.
  const std::string text = printed(param);
  JobOptions job = jobOptionsFromMarks(host.ppdFile());
  auto found = job.options.find(kOption);
  check(found != job.options.end() && found->second == kCustomPrefix + text, "the job carries the value printed");
  check(readsBackAs(param, text), "the printed value reads back to the same number");

  // Brought back from the remembered settings, the value is taken again.
  OpenedHost restored = openHost(ppd);
  check(restored.host != nullptr, "the same PPD opens again");
  Status again = restored.host->mark(kOption, found->second);
  check(again.ok(), "a value the host accepted is accepted again as the job wrote it");
  check(sameNumber(*restored.param, param), "the value brought back is the same number");
  return 0;
}
