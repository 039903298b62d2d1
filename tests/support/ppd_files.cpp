#include "support/ppd_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/files.h"
#include <sstream>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace zarvik::testing {

void PpdCloser::operator()(ppd_file_t* ppd) const { ppdClose(ppd); }

std::filesystem::path samplePpdPath() {
  return std::filesystem::path(ZARVIK_SOURCE_DIR) / "resources" / "ppd" / "zarvik-engraver.ppd";
}

std::filesystem::path testPpdPath(std::string_view fileName) {
  return std::filesystem::path(ZARVIK_SOURCE_DIR) / "tests" / "data" / fileName;
}

ScopedPpd openPpd(const std::filesystem::path& path) {
  ScopedPpd ppd(ppdOpenFile(path.c_str()));
  if (!ppd) {
    int line = 0;
    ppd_status_t status = ppdLastError(&line);
    ADD_FAILURE() << "libcups cannot open " << path << ": " << ppdErrorString(status) << " at line " << line;
  }
  return ppd;
}

namespace {

// Lines outside the option's OpenUI block that belong to it: its default,
// custom option and parameters, and the constraints that name it.
bool mentionsOption(const std::string& line, std::string_view option) {
  std::string name(option);
  for (const std::string& prefix :
       {"*Default" + name + ":", "*Custom" + name + " ", "*ParamCustom" + name + " "}) {
    if (line.rfind(prefix, 0) == 0) return true;
  }
  if (line.rfind("*UIConstraints:", 0) == 0 || line.rfind("*NonUIConstraints:", 0) == 0) {
    std::string last = "*" + name;
    return line.find(last + " ") != std::string::npos || line.ends_with(last);
  }
  return false;
}

}  // namespace

std::string sampleWithoutOption(std::string_view option) { return withoutOption(readFile(samplePpdPath()), option); }

std::string withoutOption(const std::string& text, std::string_view option) {
  std::istringstream in(text);
  std::string out, line;
  bool insideBlock = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string name(option);
    if (line.rfind("*OpenUI *" + name + "/", 0) == 0 || line.rfind("*OpenUI *" + name + ":", 0) == 0) {
      insideBlock = true;
    }
    bool drop = insideBlock || mentionsOption(line, option);
    if (insideBlock && line.rfind("*CloseUI: *" + name, 0) == 0) insideBlock = false;
    if (!drop) out += line + "\n";
  }
  return out;
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  // An empty pattern would be found at every place, endlessly.
  if (from.empty()) {
    ADD_FAILURE() << "replaceAll needs a text to replace";
    return text;
  }
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string sampleWith(std::string_view from, std::string_view to) {
  return replaceAll(readFile(samplePpdPath()), from, to);
}

TemporaryPpd::TemporaryPpd(const std::string& text) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zarvik-test-XXXXXX").string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) {
    ADD_FAILURE() << "cannot create a temporary PPD";
    return;
  }
  path_ = pattern;
  bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  if (!written) ADD_FAILURE() << "cannot write " << path_;
  ppd_ = openPpd(path_);
}

TemporaryPpd::~TemporaryPpd() {
  ppd_.reset();
  if (!path_.empty()) std::filesystem::remove(path_);
}

void markDefaults(ppd_file_t* ppd) { ppdMarkDefaults(ppd); }

bool markOption(ppd_file_t* ppd, const std::string& option, const std::string& choice) {
  ppdMarkOption(ppd, option.c_str(), choice.c_str());
  ppd_choice_t* marked = ppdFindMarkedChoice(ppd, option.c_str());
  return marked != nullptr;
}

}  // namespace zarvik::testing
