// What tests read from the private cupsd that scripts/cupsd-private starts
// in a folder of its own: the server's address and the jobs its capture
// backend wrote to captured/job-<id>.{options,title,data}.
#pragma once

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/files.h"

namespace zarvik::testing {

// The server's "host:port", or empty when it is not running.
inline std::string privateCupsServer(const std::filesystem::path& serverDir) {
  std::string server = readFile(serverDir / "server");
  while (!server.empty() && server.back() == '\n') server.pop_back();
  return server;
}

// Where the capture backend put one job's files, without the extension.
inline std::filesystem::path capturedJob(const std::filesystem::path& serverDir, int job) {
  return serverDir / "captured" / ("job-" + std::to_string(job));
}

// The "name=value" words of a CUPS option line, as the backend got them.
inline std::map<std::string, std::string> parseOptionLine(const std::string& line) {
  std::map<std::string, std::string> options;
  std::istringstream words(line);
  std::string word;
  while (words >> word) {
    auto equals = word.find('=');
    if (equals != std::string::npos) options[word.substr(0, equals)] = word.substr(equals + 1);
  }
  return options;
}

}  // namespace zarvik::testing
