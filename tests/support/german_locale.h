// A German locale, whose decimal separator is a comma, for the whole process (the C library's locale and the C++ global
// locale) while the object lives. scripts/install-deps compiles de_DE.UTF-8 where it is missing.
#pragma once

#include <clocale>
#include <locale>
#include <stdexcept>
#include <string>

namespace zarvik::testing {

class GermanLocale {
 public:
  GermanLocale() {
    try {
      // Named, so it also becomes the C library's locale.
      std::locale::global(std::locale("de_DE.UTF-8"));
    } catch (const std::runtime_error&) {
      failure_ = "de_DE.UTF-8 is not installed: scripts/install-deps compiles it";
    }
  }
  ~GermanLocale() {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
  }
  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;

  // Empty when the locale is in effect; otherwise why it is not.
  const std::string& failure() const { return failure_; }

 private:
  std::string failure_;
};

}  // namespace zarvik::testing
