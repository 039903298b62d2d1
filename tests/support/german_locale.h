// A German locale, whose decimal separator is a comma, for the whole process
// (the C library's locale and the C++ global locale) while the object lives.
//
// Uses the system's de_DE.UTF-8 when it is installed. Otherwise it compiles
// one with localedef (its sources come with the Debian package "locales")
// into a private directory that LOCPATH names, and removes it afterwards.
#pragma once

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <clocale>
#include <filesystem>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

extern char** environ;

namespace zarvik::testing {

class GermanLocale {
 public:
  GermanLocale() {
    if (install()) return;
    if (compile()) install();
    if (failure_.empty() && !active_) failure_ = "de_DE.UTF-8 cannot be loaded";
  }

  ~GermanLocale() {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    if (!directory_.empty()) {
      if (previousLocPath_) {
        setenv("LOCPATH", previousLocPath_->c_str(), 1);
      } else {
        unsetenv("LOCPATH");
      }
      std::error_code ignored;
      std::filesystem::remove_all(directory_, ignored);
    }
  }

  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;

  // Empty when the locale is in effect; otherwise why it is not.
  const std::string& failure() const { return failure_; }

 private:
  static constexpr const char* kName = "de_DE.UTF-8";

  bool install() {
    try {
      // Named, so it also becomes the C library's locale.
      std::locale::global(std::locale(kName));
      active_ = true;
    } catch (const std::runtime_error&) {
      active_ = false;
    }
    return active_;
  }

  bool compile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvik-locale-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      failure_ = "cannot create a directory for the locale";
      return false;
    }
    directory_ = pattern;
    std::string output = (directory_ / kName).string();
    const char* argv[] = {"localedef", "-i", "de_DE", "-f", "UTF-8", output.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "localedef", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
      failure_ = "localedef cannot be run";
      return false;
    }
    int status = 0;
    waitpid(child, &status, 0);
    // localedef answers 1 for warnings, with the locale written all the same.
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1 || !std::filesystem::exists(output)) {
      failure_ = "localedef cannot compile de_DE.UTF-8 (install the package \"locales\")";
      return false;
    }
    if (const char* previous = getenv("LOCPATH")) previousLocPath_ = previous;
    setenv("LOCPATH", directory_.c_str(), 1);
    return true;
  }

  bool active_ = false;
  std::string failure_;
  std::filesystem::path directory_;
  std::optional<std::string> previousLocPath_;
};

}  // namespace zarvik::testing
