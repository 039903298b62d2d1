// Results of host operations: success, or a sentence saying what went
// wrong, fit to show a person as it is.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace zarvik::host {

class [[nodiscard]] Status {
 public:
  static Status success() { return Status(); }
  static Status failure(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !message_; }
  // The failure's sentence; empty on success.
  const std::string& message() const {
    static const std::string none;
    return message_ ? *message_ : none;
  }

 private:
  Status() = default;
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::optional<std::string> message_;
};

// A value, or the sentence that says why there is none.
template <class T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  static Expected failure(std::string message) { return Expected(Failure{std::move(message)}); }

  bool ok() const { return value_.has_value(); }
  // Only when ok().
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  // Moves the value out; only when ok().
  T take() { return std::move(*value_); }
  const std::string& error() const { return error_; }

 private:
  struct Failure {
    std::string message;
  };
  explicit Expected(Failure failure) : error_(std::move(failure.message)) {}
  std::optional<T> value_;
  std::string error_;
};

}  // namespace zarvik::host
