// The system log: diagnostic lines of the panel, one entry per message.
//
// Messages are printf-style format literals in which "%@" stands for a
// string argument and "%d", "%ld", "%s", "%f" and "%%" mean what they mean
// in C. The format is checked against the arguments at compile time and can
// never come from data. Arguments are escaped (control characters, invalid
// UTF-8, backslashes) so that data can neither forge a second entry nor
// change the message around it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zarvik {

// Where finished log entries go. The default sink is syslog(3) with the
// ident "ZarvikPDE".
class LogSink {
 public:
  virtual ~LogSink() = default;
  // `entry` is one whole message, already formatted and escaped.
  virtual void write(std::string_view entry) = 0;
};

// Installs `sink` (not owned; nullptr restores the system log) and answers
// the sink that was installed before.
LogSink* setLogSink(LogSink* sink);

// The system log itself, for a sink that also writes elsewhere.
LogSink& systemLogSink();

namespace log_detail {

enum class Kind { kObject, kInt, kLong, kCString, kDouble };

// One argument, reduced to what the formatter needs.
struct Arg {
  Kind kind;
  std::optional<std::string_view> text;  // kObject, kCString; nullopt is nil
  long long integer = 0;                 // kInt, kLong
  double real = 0;                       // kDouble
};

template <class T>
consteval Kind kindOf() {
  // Decayed, so that a character array (a literal, a PPD record's keyword)
  // stands as the C string it is.
  using U = std::decay_t<T>;
  if constexpr (std::is_same_v<U, std::string> || std::is_same_v<U, std::string_view> ||
                std::is_same_v<U, std::optional<std::string>>) {
    return Kind::kObject;
  } else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>) {
    return Kind::kCString;
  } else if constexpr (std::is_same_v<U, int>) {
    return Kind::kInt;
  } else if constexpr (std::is_same_v<U, long>) {
    return Kind::kLong;
  } else if constexpr (std::is_same_v<U, double> || std::is_same_v<U, float>) {
    return Kind::kDouble;
  } else {
    static_assert(!sizeof(U), "type not usable as a log argument");
  }
}

// Called only when a format does not fit its arguments; being non-constexpr,
// it turns the mistake into a compile error.
void formatDoesNotMatchArguments();

inline Arg makeArg(const std::string& s) { return {Kind::kObject, std::string_view(s)}; }
inline Arg makeArg(std::string_view s) { return {Kind::kObject, s}; }
inline Arg makeArg(const std::optional<std::string>& s) {
  return s ? Arg{Kind::kObject, std::string_view(*s)} : Arg{Kind::kObject, std::nullopt};
}
inline Arg makeArg(const char* s) {
  return {Kind::kCString, s ? std::optional<std::string_view>(s) : std::nullopt};
}
inline Arg makeArg(int v) { return {Kind::kInt, std::nullopt, v}; }
inline Arg makeArg(long v) { return {Kind::kLong, std::nullopt, v}; }
inline Arg makeArg(double v) { return {Kind::kDouble, std::nullopt, 0, v}; }
inline Arg makeArg(float v) { return {Kind::kDouble, std::nullopt, 0, v}; }

}  // namespace log_detail

// A format literal checked against the argument types Args.
template <class... Args>
class LogFormat {
 public:
  template <class S>
    requires std::is_convertible_v<const S&, std::string_view>
  consteval LogFormat(const S& literal) : text_(literal) {
    constexpr log_detail::Kind kinds[] = {log_detail::kindOf<Args>()..., log_detail::Kind::kObject};
    std::size_t next = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] != '%') continue;
      std::string_view rest = text_.substr(i + 1);
      log_detail::Kind kind;
      if (rest.starts_with("%")) {
        ++i;
        continue;
      } else if (rest.starts_with("@")) {
        kind = log_detail::Kind::kObject;
      } else if (rest.starts_with("d")) {
        kind = log_detail::Kind::kInt;
      } else if (rest.starts_with("ld")) {
        kind = log_detail::Kind::kLong;
        ++i;
      } else if (rest.starts_with("s")) {
        kind = log_detail::Kind::kCString;
      } else if (rest.starts_with("f")) {
        kind = log_detail::Kind::kDouble;
      } else {
        log_detail::formatDoesNotMatchArguments();
      }
      ++i;
      bool fits = next < sizeof...(Args) &&
                  (kinds[next] == kind ||
                   // A string object may stand where a C string is expected.
                   (kind == log_detail::Kind::kCString && kinds[next] == log_detail::Kind::kObject));
      if (!fits) log_detail::formatDoesNotMatchArguments();
      ++next;
    }
    if (next != sizeof...(Args)) log_detail::formatDoesNotMatchArguments();
  }

  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
};

// Formats a message without logging it; exposed for tests.
std::string formatLogMessage(std::string_view format, std::span<const log_detail::Arg> args);

void writeLogEntry(std::string_view format, std::span<const log_detail::Arg> args);

// Logs one message. The format must be a literal that fits the arguments.
template <class... Args>
void NSLog(LogFormat<std::type_identity_t<Args>...> format, const Args&... args) {
  // On the stack: a message costs no allocation for its arguments.
  const std::array<log_detail::Arg, sizeof...(Args)> list{log_detail::makeArg(args)...};
  writeLogEntry(format.text(), list);
}

// Escapes `text` for a log line: C0 controls and DEL as "\n", "\r", "\t" or
// "\xNN", backslashes as "\\", bytes that are not valid UTF-8 as "\xNN", and
// the C1 controls and the line and paragraph separators as "\uNNNN".
std::string escapeForLog(std::string_view text);

}  // namespace zarvik
