// Input (FuzzedDataProvider): a custom parameter's type, its minimum and
// maximum as PPD text, the value text. Must hold: the panel's request and the
// stored "Custom.<value>" agree, a refusal is one plain sentence and changes
// nothing; an accepted value is finite, within the range as libcups holds it,
// and the job's text of it is taken back as the same number; each end of the
// range is taken; the readers take a sign, digits and for a decimal perhaps a
// point and digits, as strtoll and strtod read them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>

#include "fuzz_checks.h"
#include "host/cups_ppd_host.h"
#include "host/custom_value.h"
#include "host/job_options.h"

using namespace zarvik::host;
using zarvik::fuzz::check;

// A host over the PPD and its custom value's parameter, or none.
static std::unique_ptr<CupsPpdHost> openHost(const std::string& text, ppd_cparam_t*& param) {
  ScopedPpd ppd(zarvik::fuzz::openPpd(text).release());
  ppd_coption_t* custom = ppd ? ppdFindCustomOption(ppd.get(), "cValue") : nullptr;
  param = custom ? ppdFirstCustomParam(custom) : nullptr;
  return param ? std::make_unique<CupsPpdHost>(std::move(ppd)) : nullptr;
}

static double number(const ppd_cparam_t& param, const auto& value) {
  if (param.type == PPD_CUSTOM_INT) return value.custom_int;
  return param.type == PPD_CUSTOM_POINTS ? value.custom_points : value.custom_real;
}

// What the job carries for the value.
static std::string printed(const ppd_cparam_t& param, const auto& value) {
  if (param.type == PPD_CUSTOM_INT) return "Custom." + std::to_string(value.custom_int);
  return "Custom." + formatReal(static_cast<float>(number(param, value)));
}

static bool identical(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A sign and digits, and for a decimal perhaps a point and digits.
static bool numberForm(std::string_view text, bool decimal) {
  auto digits = [](std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == s.npos; };
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  std::size_t point = decimal ? text.find('.') : text.npos;
  return digits(text.substr(0, point)) && (point == text.npos || digits(text.substr(point + 1)));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const char* const types[] = {"int", "real", "points", "curve", "invcurve"};
  const std::string type = types[input.ConsumeIntegralInRange(0, 4)];
  std::string range[] = {input.ConsumeRandomLengthString(24), input.ConsumeRandomLengthString(24)};
  for (std::string& bound : range) {  // as it may stand in a PPD line: printable, no blanks
    std::erase_if(bound, [](unsigned char c) { return c <= 0x20 || c >= 0x7F; });
    if (bound.empty()) bound = "0";
  }
  const std::string value = input.ConsumeRemainingBytesAsString();
  if (std::optional<long long> whole = parseWholeNumber(value)) {
    check(numberForm(value, false) && *whole == std::strtoll(value.c_str(), nullptr, 10), "a whole number as strtoll");
  }
  if (std::optional<double> decimal = parseDecimal(value)) {
    check(numberForm(value, true) && identical(*decimal, std::strtod(value.c_str(), nullptr)), "a decimal as strtod");
  }

  const std::string ppd = "*PPD-Adobe: \"4.3\"\n*OpenUI *cValue/Value: PickOne\n*DefaultcValue: Low\n"
                          "*cValue Low/Low: \"\"\n*cValue High/High: \"\"\n*CloseUI: *cValue\n"
                          "*CustomcValue True/Custom Value: \"pop\"\n*ParamCustomcValue v/Value: 1 " +
                          type + " " + range[0] + " " + range[1] + "\n";
  ppd_cparam_t *param, *other;
  std::unique_ptr<CupsPpdHost> host = openHost(ppd, param);
  if (!host) return 0;  // libcups does not read the range: nothing to check
  const double low = number(*param, param->minimum), high = number(*param, param->maximum);
  if (std::isfinite(low) && std::isfinite(high) && low <= high) {
    for (const ppd_cplimit_t& end : {param->minimum, param->maximum}) {
      check(openHost(ppd, other)->mark("cValue", printed(*param, end)).ok(), "each end of the range is taken");
    }
  }
  const double initial = number(*param, param->current);
  const ppd_choice_t* const initialChoice = ppdFindMarkedChoice(host->ppdFile(), "cValue");
  const bool accepted = host->willChangePPDOptionKeyValue("CustomcValue", value);
  std::unique_ptr<CupsPpdHost> byMark = openHost(ppd, other);
  const Status status = byMark->mark("cValue", "Custom." + value);
  check(accepted == status.ok(), "a request and a mark of the same text agree");
  const double now = number(*param, param->current);
  const ppd_choice_t* const choice = ppdFindMarkedChoice(host->ppdFile(), "cValue");
  if (!accepted) {
    check(zarvik::fuzz::plainLine(status.message()) && status.message() == byMark->lastRefusal() &&
              choice == initialChoice && identical(now, initial),
          "a refusal is one plain sentence and changes nothing");
    return 0;
  }
  check(identical(now, number(*other, other->current)) && choice && std::string_view(choice->choice) == "Custom",
        "a request and a mark set the same value and mark the custom choice");
  check(std::isfinite(now) && low <= now && now <= high, "an accepted value is finite and within the range");
  const std::string job = jobOptionsFromMarks(host->ppdFile()).options["cValue"];
  check(job == printed(*param, param->current) && openHost(ppd, other)->mark("cValue", job).ok() &&
            number(*other, other->current) == now,
        "the job carries the value, taken back as the same number");
  return 0;
}
