// Runs the real zarvik-print program as a script does, in an environment of
// its own: a temporary folder for the configuration, the runtime files and
// the home directory, Qt's offscreen platform, the C locale, and a CUPS
// server address where nothing listens unless a test names a server.
#pragma once

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
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
using Options = std::map<std::string, std::string>;
using Messages = std::vector<std::string>;

inline Options with(Options options, const Options& changes) {
  for (const auto& [key, value] : changes) options[key] = value;
  return options;
}

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
  // Where the program keeps the settings of the queue `printer` by default.
  fs::path settingsFileOf(const std::string& printer) const {
    return configHome() / "zarvik-print" / (printer + ".json");
  }

  void set(const char* name, const std::string& value) {
    environment_.insert(QString::fromUtf8(name), QString::fromStdString(value));
  }
  void unset(const char* name) { environment_.remove(QString::fromUtf8(name)); }

  // Runs the program with `arguments`; `changes` are set in its environment
  // for this run only.
  ProgramRun run(const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& changes = {}) const {
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromStdString(argument);
    QProcess process;
    QProcessEnvironment environment = environment_;
    for (const auto& [name, value] : changes) {
      environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
    process.setProcessEnvironment(environment);
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

// A file a row expects not to be there.
inline const std::string kAbsent = "\x01(absent)";

// Rows name only the fields they expect something of.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// One command line of a table, with what it must give. "@/" at the start of
// an argument or a file name, and in a message, is the runner's folder; in
// messages, the time stamp of a file moved aside reads "STAMP" and a job's
// number "N".
struct Row {
  Args args;
  int status = 0;
  // zarvik-print's own lines on standard error. Each "refused ..." line is
  // also an entry of a report's "refused".
  Messages messages;
  bool usage = false;   // the usage follows the message
  bool report = false;  // standard output is a dry run's report
  std::optional<Options> options;
  std::optional<Options> printSettings;
  std::optional<Options> summary;
  std::string out;                            // standard output without a report, unless `then` reads it
  std::map<std::string, std::string> before;  // files written first
  std::map<std::string, std::string> after;   // files after the run, or kAbsent
  std::map<std::string, std::string> env;     // for this run only
  std::function<void(const ProgramRun&)> then;
};

// The lastUsed options of a settings file.
inline Options lastUsedOptions(const fs::path& file) {
  QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(file))).object();
  return textMap(json.value("lastUsed").toObject().value("options"));
}

// Runs `row` with `runner` and checks everything it expects.
inline void check(const ZarvikPrintRunner& runner, const Row& row) {
  const std::string folder = runner.dir().string() + "/";
  auto path = [&](const std::string& name) { return name.starts_with("@/") ? folder + name.substr(2) : name; };
  for (const auto& [name, contents] : row.before) {
    fs::create_directories(fs::path(path(name)).parent_path());
    writeFile(path(name), contents);
  }
  Args arguments;
  for (const std::string& argument : row.args) arguments.push_back(path(argument));
  std::map<std::string, std::string> env;
  for (const auto& [name, value] : row.env) env[name] = path(value);
  const ProgramRun run = runner.run(arguments, env);

  EXPECT_EQ(run.status, row.status) << run.transcript();
  Messages messages;
  static const std::regex stamp(R"(\.corrupt-[0-9]{8}-[0-9]{6}(-[0-9]+)?)"), job("^job [0-9]+ ");
  for (std::string message : run.messages()) {
    for (std::size_t at; (at = message.find(folder)) != std::string::npos;) message.replace(at, folder.size(), "@/");
    messages.push_back(std::regex_replace(std::regex_replace(message, stamp, ".corrupt-STAMP"), job, "job N "));
  }
  EXPECT_EQ(messages, row.messages) << run.transcript();
  if (row.usage) {
    EXPECT_NE(run.err.find("usage: zarvik-print "), std::string::npos) << run.err;
  }
  // Nothing from a PPD, a file or the command line drives the terminal.
  for (char c : run.err) {
    EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\n') << "control character " << int(c);
  }

  if (row.report) {
    const QJsonObject report = run.json();
    std::vector<std::pair<std::string, std::string>> refused, said;
    for (const QJsonValue& entry : report.value("refused").toArray()) {
      const QJsonObject object = entry.toObject();
      std::string what = object.contains("set") ? object.value("set").toString().toStdString()
                                                : "panel " + object.value("panel").toString().toStdString();
      refused.emplace_back(what, object.value("reason").toString().toStdString());
    }
    static const std::regex refusal(R"(refused (--set (.*?)|(.*?) as the panel opened): (.*))");
    for (const std::string& message : messages) {
      std::smatch match;
      if (std::regex_match(message, match, refusal)) {
        said.emplace_back(match[2].matched ? match[2].str() : "panel " + match[3].str(), match[4].str());
      }
    }
    EXPECT_EQ(refused, said) << "the report's refusals are not the messages'";
    if (row.options) {
      EXPECT_EQ(textMap(report.value("options")), *row.options);
    }
    if (row.printSettings) {
      EXPECT_EQ(textMap(report.value("printSettings")), *row.printSettings);
    }
    if (row.summary) {
      EXPECT_EQ(textMap(report.value("summary")), *row.summary);
    }
  } else if (!row.then) {
    EXPECT_EQ(run.out, row.out);
  }
  for (const auto& [name, contents] : row.after) {
    if (contents == kAbsent) {
      EXPECT_FALSE(fs::exists(path(name))) << name;
    } else {
      EXPECT_EQ(readFile(path(name)), contents) << name;
    }
  }
  if (row.then) row.then(run);
}

}  // namespace zarvik::print::testing
