// A German locale, whose decimal separator is a comma, for the whole process
// (the C library's locale and the C++ global locale) while the object lives.
//
// Uses the system's de_DE.UTF-8 when it is installed. Otherwise it compiles
// one with localedef (its sources come with the Debian package "locales")
// into a private directory that LOCPATH names, and removes it afterwards.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>

namespace zarvik::testing {

class GermanLocale {
 public:
  GermanLocale() {
    if (install()) return;
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvik-locale-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      failure_ = "cannot create a directory for the locale";
      return;
    }
    directory_ = pattern;
    // localedef answers 1 for warnings, with the locale written all the same.
    int status = std::system(("localedef -i de_DE -f UTF-8 '" + (directory_ / kName).string() + "'").c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
      failure_ = "localedef cannot compile de_DE.UTF-8 (install the package \"locales\")";
      return;
    }
    if (const char* previous = getenv("LOCPATH")) previousLocPath_ = previous;
    setenv("LOCPATH", directory_.c_str(), 1);
    if (!install()) failure_ = "de_DE.UTF-8 cannot be loaded";
  }

  ~GermanLocale() {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    if (directory_.empty()) return;
    if (previousLocPath_) {
      setenv("LOCPATH", previousLocPath_->c_str(), 1);
    } else {
      unsetenv("LOCPATH");
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;

  // Empty when the locale is in effect; otherwise why it is not.
  const std::string& failure() const { return failure_; }

 private:
  static constexpr const char* kName = "de_DE.UTF-8";

  static bool install() {
    try {
      // Named, so it also becomes the C library's locale.
      std::locale::global(std::locale(kName));
      return true;
    } catch (const std::runtime_error&) {
      return false;
    }
  }

  std::string failure_;
  std::filesystem::path directory_;
  std::optional<std::string> previousLocPath_;
};

}  // namespace zarvik::testing
