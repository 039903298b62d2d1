// A German locale, whose decimal separator is a comma, for the whole process (the C library's locale and the C++ global
// locale) while the object lives. The calling test fails where it is missing: scripts/install-deps compiles it.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <stdexcept>

namespace zarvik::testing {

class GermanLocale {
 public:
  GermanLocale() {
    try {
      std::locale::global(std::locale("de_DE.UTF-8"));  // named, so it also becomes the C library's locale
    } catch (const std::runtime_error&) {
      ADD_FAILURE() << "de_DE.UTF-8 is not installed: scripts/install-deps compiles it";
    }
  }
  ~GermanLocale() {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
  }
  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;
};

}  // namespace zarvik::testing
