// Runs the real zarvik-print program as a script does, in an environment of
// its own: a temporary folder for the configuration, the runtime files and
// the home directory, Qt's offscreen platform, the C locale, and a CUPS
// server address where nothing listens unless a test names a server.
#pragma once

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temporary_folder.h"

// QStrings in test failures as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '(' << list.join(QStringLiteral(", ")).toStdString() << ')';
}

namespace zarvik::print::testing {

namespace fs = std::filesystem;

using Args = std::vector<std::string>;

inline Args operator+(Args a, const Args& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// "--set KEY=VALUE" for each of `keyValues`.
inline Args setting(std::initializer_list<std::string> keyValues) {
  Args arguments;
  for (const std::string& keyValue : keyValues) {
    arguments.push_back("--set");
    arguments.push_back(keyValue);
  }
  return arguments;
}

// A server address that refuses every connection at once.
inline constexpr char kNoCupsServer[] = "127.0.0.1:1";
// The prefix of every line zarvik-print itself writes to standard error.
inline constexpr char kMessagePrefix[] = "zarvik-print: ";

using zarvik::testing::readFile;
using zarvik::testing::writeFile;

// A JSON object of text values as a map; a value that is not text fails
// the calling test.
inline std::map<std::string, std::string> textMap(const QJsonValue& value) {
  std::map<std::string, std::string> map;
  if (!value.isObject()) {
    ADD_FAILURE() << "not a JSON object";
    return map;
  }
  const QJsonObject object = value.toObject();
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!it.value().isString()) ADD_FAILURE() << it.key().toStdString() << " is not text";
    map[it.key().toStdString()] = it.value().toString().toStdString();
  }
  return map;
}

// What one run of the program did.
struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;

  // The lines zarvik-print wrote to standard error, without the prefix;
  // lines of others (Qt, libcups) are left out.
  std::vector<std::string> messages() const {
    std::vector<std::string> lines;
    std::istringstream in(err);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind(kMessagePrefix, 0) == 0) lines.push_back(line.substr(sizeof kMessagePrefix - 1));
    }
    return lines;
  }

  // Standard output read as the one JSON object of a dry run, which must
  // be a single line; an empty object (and a test failure) otherwise.
  QJsonObject json() const {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
      ADD_FAILURE() << "standard output is no JSON object (" << error.errorString().toStdString() << "):\n" << out;
      return {};
    }
    if (out.find('\n') + 1 != out.size()) ADD_FAILURE() << "the JSON object is not one line:\n" << out;
    return document.object();
  }

  // Everything the run wrote, for failure messages.
  std::string transcript() const {
    return "exit status " + std::to_string(status) + "\n--- stdout\n" + out + "--- stderr\n" + err;
  }
};

class ZarvikPrintRunner {
 public:
  ZarvikPrintRunner() {
    fs::create_directories(dir() / "home");
    fs::create_directories(dir() / "runtime");
    fs::permissions(dir() / "runtime", fs::perms::owner_all);

    environment_ = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "ZARVIK_PDE_BUNDLE", "LANGUAGE", "LC_MESSAGES", "LC_NUMERIC",
                             "LC_CTYPE", "CUPS_USER", "CUPS_ENCRYPTION"}) {
      environment_.remove(name);
    }
    set("QT_QPA_PLATFORM", "offscreen");
    set("LANG", "C.UTF-8");
    set("LC_ALL", "C.UTF-8");
    set("HOME", (dir() / "home").string());
    set("XDG_CONFIG_HOME", configHome().string());
    set("XDG_RUNTIME_DIR", (dir() / "runtime").string());
    set("CUPS_SERVER", kNoCupsServer);
  }

  ZarvikPrintRunner(const ZarvikPrintRunner&) = delete;
  ZarvikPrintRunner& operator=(const ZarvikPrintRunner&) = delete;

  // The temporary folder, removed with the runner.
  const fs::path& dir() const { return folder_.path(); }
  fs::path configHome() const { return dir() / "config"; }
  // Where the program keeps the settings of `printer` by default.
  fs::path settingsFileOf(const std::string& printer) const {
    return configHome() / "zarvik-print" / (printer + ".json");
  }

  void set(const char* name, const std::string& value) {
    environment_.insert(QString::fromUtf8(name), QString::fromStdString(value));
  }
  void unset(const char* name) { environment_.remove(QString::fromUtf8(name)); }

  ProgramRun run(const std::vector<std::string>& arguments) const {
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromStdString(argument);
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.setWorkingDirectory(QString::fromStdString(dir().string()));
    process.start(QStringLiteral(ZARVIK_PRINT_PROGRAM), list);
    ProgramRun run;
    if (!process.waitForStarted(30000)) {
      ADD_FAILURE() << "zarvik-print did not start: " << process.errorString().toStdString();
      return run;
    }
    if (!process.waitForFinished(120000)) {
      process.kill();
      process.waitForFinished(5000);
      ADD_FAILURE() << "zarvik-print did not finish within 120 s";
    }
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
  }

 private:
  zarvik::testing::TemporaryFolder folder_{"zarvik-print-test"};
  QProcessEnvironment environment_;
};

}  // namespace zarvik::print::testing
