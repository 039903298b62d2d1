#include "zarvik-print/command_line.h"

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
        name == "--screenshot" || name == "--set") {
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
      } else if (name == "--screenshot") {
        line.screenshot = *v;
      } else {
        auto equals = v->find('=');
        if (equals == std::string::npos || equals == 0) {
          return failure("--set takes KEY=VALUE, not \"" + *v + "\"");
        }
        line.settings.push_back({v->substr(0, equals), v->substr(equals + 1), *v});
      }
      continue;
    }
    bool known = (name == "--no-gui" && flag(line.noGui)) || (name == "--dry-run" && flag(line.dryRun)) ||
                 (name == "--save" && flag(line.save)) || (name == "--verbose" && flag(line.verbose)) ||
                 ((name == "--help" || name == "-h") && flag(line.help));
    if (!known) return failure("unknown option " + argument);
  }
  if (line.printer && line.ppd) return failure("--printer and --ppd cannot be given together");
  return {std::move(line), {}};
}

std::string usageText() {
  return "usage: zarvik-print [--printer NAME | --ppd FILE] [--settings FILE] [--preset NAME]\n"
         "                    [--set KEY=VALUE]... [--no-gui] [--dry-run] [--save] [--verbose]\n"
         "                    [--screenshot FILE.png] [FILE...]\n";
}

}  // namespace zarvik::print
