// What tests read from the private cupsd that scripts/cupsd-private starts
// in a folder of its own: its address, and the files its capture backend
// writes for each job (captured/job-<id>.options, .title, .data, .done).
#pragma once

#include <filesystem>
#include <string>

#include "support/files.h"

namespace zarvik::testing {

// The server's "host:port", or empty when it is not running.
inline std::string privateCupsServer(const std::filesystem::path& serverDir) {
  const std::string server = readFile(serverDir / "server");
  return server.substr(0, server.find('\n'));
}

// Where the backend put one job's files, without the extension.
inline std::string capturedJob(const std::filesystem::path& serverDir, int job) {
  return (serverDir / "captured" / ("job-" + std::to_string(job))).string();
}

}  // namespace zarvik::testing
