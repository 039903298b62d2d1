// The command line of zarvik-print:
//
//   zarvik-print [--printer NAME | --ppd FILE] [--settings FILE] [--preset NAME]
//                [--media SIZE] [--copies N] [--set KEY=VALUE]... [--no-gui]
//                [--dry-run] [--save] [--verbose]
//                [--screenshot FILE.png] [FILE...]
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zarvik::print {

// Exit statuses (zarvik-print.1 and helpText() say them).
inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRefused = 3;
inline constexpr int kExitNoPanel = 4;
inline constexpr int kExitCups = 5;
// The job went to CUPS, but the settings were not saved: a script must not
// send it again.
inline constexpr int kExitNotSaved = 6;

struct Setting {
  std::string key;
  std::string value;
  std::string text;  // "KEY=VALUE" as given
};

struct CommandLine {
  std::optional<std::string> printer;
  std::optional<std::string> ppd;
  std::optional<std::string> settingsFile;
  std::optional<std::string> preset;
  std::optional<std::string> media;   // a PageSize keyword
  std::optional<std::string> copies;  // as given
  std::vector<Setting> settings;
  bool noGui = false;
  bool dryRun = false;
  bool save = false;
  bool verbose = false;
  bool help = false;
  std::optional<std::string> screenshot;
  std::vector<std::string> files;
};

struct ParsedCommandLine {
  std::optional<CommandLine> commandLine;
  std::string error;  // what is wrong, when there is no command line
};

// Reads the arguments after the program's name. "--" ends the options.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();
// The usage, every option on a line, the exit statuses and where settings
// are kept: what --help prints.
std::string helpText();

}  // namespace zarvik::print
