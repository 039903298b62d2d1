// Owners of the libcups handles the host holds: each C handle is freed
// through its deleter and never by hand.
#pragma once

#include <cups/cups.h>
#include <cups/ppd.h>

#include <memory>

namespace zarvik::host {

struct PpdDeleter {
  void operator()(ppd_file_t* ppd) const;
};
using ScopedPpd = std::unique_ptr<ppd_file_t, PpdDeleter>;

struct HttpDeleter {
  void operator()(http_t* http) const;
};
using ScopedHttp = std::unique_ptr<http_t, HttpDeleter>;

// An option array that libcups allocated with cupsAddOption.
class ScopedOptions {
 public:
  ScopedOptions() = default;
  // Takes over an array that libcups returned, such as cupsGetConflicts's.
  ScopedOptions(int count, cups_option_t* options) : count_(count), options_(options) {}
  ~ScopedOptions() { cupsFreeOptions(count_, options_); }
  ScopedOptions(const ScopedOptions&) = delete;
  ScopedOptions& operator=(const ScopedOptions&) = delete;

  void add(const char* name, const char* value) { count_ = cupsAddOption(name, value, count_, &options_); }
  int count() const { return count_; }
  cups_option_t* get() const { return options_; }

 private:
  int count_ = 0;
  cups_option_t* options_ = nullptr;
};

}  // namespace zarvik::host
