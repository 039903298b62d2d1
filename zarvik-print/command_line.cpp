#include "zarvik-print/command_line.h"

#include "host/cups_client.h"
#include "host/texts.h"

namespace zarvik::print {
namespace {

ParsedCommandLine failure(std::string error) { return {std::nullopt, std::move(error)}; }

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      line.files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    // "--option=value" and "--option value" both work for options with a value.
    std::string name = argument;
    std::optional<std::string> inlineValue;
    if (auto equals = argument.find('='); equals != std::string::npos && argument.rfind("--", 0) == 0) {
      name = argument.substr(0, equals);
      inlineValue = argument.substr(equals + 1);
    }
    auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 < arguments.size()) return arguments[++i];
      return std::nullopt;
    };
    auto flag = [&](bool& target) {
      if (inlineValue) return false;
      target = true;
      return true;
    };
    if (name == "--printer" || name == "--ppd" || name == "--settings" || name == "--preset" ||
        name == "--screenshot" || name == "--set" || name == "--media" || name == "--copies") {
      std::optional<std::string> v = value();
      if (!v || v->empty()) return failure(name + " needs a value");
      if (name == "--printer") {
        line.printer = *v;
      } else if (name == "--ppd") {
        line.ppd = *v;
      } else if (name == "--settings") {
        line.settingsFile = *v;
      } else if (name == "--preset") {
        line.preset = *v;
      } else if (name == "--media") {
        line.media = *v;
      } else if (name == "--copies") {
        line.copies = *v;
      } else if (name == "--screenshot") {
        line.screenshot = *v;
      } else {
        auto equals = v->find('=');
        if (equals == std::string::npos || equals == 0) {
          return failure("--set takes KEY=VALUE, not " + host::quotedText(*v));
        }
        line.settings.push_back({v->substr(0, equals), v->substr(equals + 1), *v});
      }
      continue;
    }
    bool known = (name == "--no-gui" && flag(line.noGui)) || (name == "--dry-run" && flag(line.dryRun)) ||
                 (name == "--save" && flag(line.save)) || (name == "--verbose" && flag(line.verbose)) ||
                 ((name == "--help" || name == "-h") && flag(line.help));
    if (!known) return failure("unknown option " + host::shownText(argument));
  }
  if (line.printer && line.ppd) return failure("--printer and --ppd cannot be given together");
  return {std::move(line), {}};
}

std::string helpText() {
  const std::string connect = std::to_string(host::kConnectTimeoutSeconds);
  const std::string answer = std::to_string(host::kRequestTimeoutSeconds);
  return usageText() +
         "\n"
         "Print to a Zarvik laser engraver with the engraver's own settings panel.\n"
         "\n"
         "Options:\n"
         "  --printer NAME        the CUPS queue to print to, or QUEUE/INSTANCE (default: the default\n"
         "                        destination, maybe an instance, with its lpoptions)\n"
         "  --ppd FILE            use this PPD instead of a queue's; nothing is printed\n"
         "  --settings FILE       remembered settings and presets in FILE instead of the printer's file\n"
         "                        (a regular file, or a name for one to create)\n"
         "  --preset NAME         start from the preset NAME\n"
         "  --media SIZE          the page size, one of the PPD's PageSize keywords (A4, 400x600mm...)\n"
         "  --copies N            the number of copies\n"
         "  --set KEY=VALUE       operate the panel's control for the PPD option KEY, in order: JobType,\n"
         "                        CenterEngraving, EngravingDirection, dithering, vectorSort (a choice);\n"
         "                        directPrint, autoFocus, vectorGrid, vectorSpeedComp, vectorPowerComp\n"
         "                        (on or off); rasterSpeed, rasterPower, vectorSpeed, vectorPower,\n"
         "                        vectorFreq (a whole number); cResolution (75, 150, 200, 300, 400,\n"
         "                        600 or 1200); materialThickness (a decimal number, millimetres)\n"
         "  --no-gui              do not show the dialog (no display is needed)\n"
         "  --dry-run             send nothing, change no file; print the settings as one JSON object\n"
         "  --save                remember the settings as Print does, also with --dry-run (not when\n"
         "                        a setting was refused)\n"
         "  --verbose             also write the panel's log lines to standard error\n"
         "  --screenshot FILE.png render the dialog into FILE.png and exit (changes no settings file;\n"
         "                        with --dry-run, the JSON as well)\n"
         "  -h, --help            print this help\n"
         "\n"
         "A setting the printer refuses, with --set, --media, --copies or in the preset, is named\n"
         "with its reason; nothing is printed then. What it refuses of the panel's own values as the\n"
         "panel opens, or of the last print's settings, is a warning, and the job carries the PPD's\n"
         "own value. A FILE \"-\" is standard input.\n"
         "CUPS gets " +
         connect + " s to take a connection; one silent for " + answer +
         " s is not waited for again.\n"
         "\n"
         "Exit status:\n"
         "  0  done\n"
         "  2  a usage error (unknown key, malformed value, a file that cannot be read, a document that\n"
         "     is empty or of a kind the queue does not take, also with --dry-run)\n"
         "  3  a setting given with --set, --media, --copies or in the preset was refused; no job\n"
         "     was sent\n"
         "  4  the printer is not a Zarvik engraver\n"
         "  5  CUPS refused the job, could not be reached, or did not answer\n"
         "  6  the job was sent, but the settings were not saved\n"
         "\n"
         "Settings are kept in $XDG_CONFIG_HOME/zarvik-print/PRINTER.json (~/.config without\n"
         "XDG_CONFIG_HOME), those of a PPD file in $XDG_CONFIG_HOME/zarvik-print/ppd/NAME.json.\n"
         "See zarvik-print(1).\n";
}

std::string usageText() {
  return "usage: zarvik-print [--printer NAME | --ppd FILE] [--settings FILE] [--preset NAME]\n"
         "                    [--media SIZE] [--copies N] [--set KEY=VALUE]... [--no-gui]\n"
         "                    [--dry-run] [--save] [--verbose]\n"
         "                    [--screenshot FILE.png] [FILE...]\n";
}

}  // namespace zarvik::print
