// The options a job carries to CUPS, taken from the PPD's marks; the same
// options are what the settings store remembers.
#pragma once

#include <cups/ppd.h>

#include <map>
#include <string>
#include <vector>

namespace zarvik::host {

struct JobOptions {
  // PPD option keyword to choice keyword, or "Custom.<value>" for a custom
  // value: the single parameter's current value written with a point in
  // every locale, or "{name=value ...}" for an option with several
  // parameters ("Custom.<width>x<height>" for a custom page size).
  std::map<std::string, std::string> options;
  // One sentence for each marked option left out, saying why.
  std::vector<std::string> skipped;
};

// Every option of `ppd` that has a marked choice; nothing else, so only
// names the PPD declares.
JobOptions jobOptionsFromMarks(ppd_file_t* ppd);

}  // namespace zarvik::host
