// Input: a custom parameter's type, its range as PPD text, the value text. Must hold: an accepted value is finite,
// within the range as libcups holds it, and printed in the job as the same number; a refusal is one plain line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

#include "fuzz_checks.h"
#include "host/cups_ppd_host.h"
#include "host/job_options.h"

using namespace zarvik::host;
using zarvik::fuzz::check, zarvik::fuzz::plainLine;

// A host over the PPD, its defaults marked, and its custom value's parameter, or none.
static std::pair<std::unique_ptr<CupsPpdHost>, ppd_cparam_t*> openHost(const zarvik::testing::TemporaryPpd& file) {
  ScopedPpd ppd(ppdOpenFile(file.path().c_str()));
  if (ppd) ppdMarkDefaults(ppd.get());
  ppd_cparam_t* param = ppdFirstCustomParam(ppdFindCustomOption(ppd.get(), "cValue"));  // each takes a null
  return {param ? std::make_unique<CupsPpdHost>(std::move(ppd)) : nullptr, param};
}

static double number(const ppd_cparam_t& param, const auto& value) {
  if (param.type == PPD_CUSTOM_INT) return value.custom_int;
  return param.type == PPD_CUSTOM_POINTS ? value.custom_points : value.custom_real;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string type = input.PickValueInArray({"int", "real", "points", "curve", "invcurve"});
  std::string range[] = {input.ConsumeRandomLengthString(24), input.ConsumeRandomLengthString(24)};
  for (std::string& bound : range) {  // printable, with no blank, as in a PPD line
    std::erase_if(bound, [](unsigned char c) { return c <= 0x20 || c >= 0x7F; });
    if (bound.empty()) bound = "0";
  }
  const std::string value = input.ConsumeRemainingBytesAsString();
  const std::string text = "*PPD-Adobe: \"4.3\"\n*OpenUI *cValue: PickOne\n*DefaultcValue: Low\n*cValue Low: \"\"\n"
                          "*CloseUI: *cValue\n*CustomcValue True: \"pop\"\n*ParamCustomcValue v: 1 " + type + " " +
                          range[0] + " " + range[1] + "\n";
  const zarvik::testing::TemporaryPpd ppd(text);
  const auto [host, param] = openHost(ppd);
  if (!host) return 0;  // libcups does not read the range: nothing to check
  const double low = number(*param, param->minimum), high = number(*param, param->maximum);
  if (!host->willChangePPDOptionKeyValue("CustomcValue", value)) {
    check(plainLine(host->lastRefusal()), "a refusal is one plain line");
    return 0;
  }
  const double now = number(*param, param->current);
  check(std::isfinite(now) && low <= now && now <= high, "an accepted value is finite and within the range");
  const auto [restored, again] = openHost(ppd);
  const std::string job = jobOptionsFromMarks(host->ppdFile()).options["cValue"];
  check(restored->mark("cValue", job).ok() && number(*again, again->current) == now, "the job's text reads back");
  return 0;
}
