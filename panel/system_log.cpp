#include "panel/system_log.h"

#include <syslog.h>

#include <charconv>
#include <cstdio>

#include "panel/ppd_text.h"
#include "panel/value_text.h"

namespace zarvik {
namespace {

class SyslogSink final : public LogSink {
 public:
  void write(std::string_view entry) override {
    if (!opened_) {
      openlog("ZarvikPDE", LOG_PID, LOG_USER);
      opened_ = true;
    }
    // The entry is data: it is always an argument, never the format.
    syslog(LOG_NOTICE, "%.*s", static_cast<int>(entry.size()), entry.data());
  }

 private:
  bool opened_ = false;
};

SyslogSink& systemLog() {
  static SyslogSink sink;
  return sink;
}

LogSink* currentSink = nullptr;

constexpr char kHexDigits[] = "0123456789abcdef";

void appendHexEscape(std::string& out, unsigned char c) {
  out += "\\x";
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 0xF];
}

// The code point of a valid UTF-8 sequence of two or three bytes that a log
// reader may take as a line break or a control: the C1 controls (U+0080 to
// U+009F) and the line and paragraph separators (U+2028, U+2029); else 0.
unsigned breakingCodePoint(std::string_view sequence) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
  if (sequence.size() == 2 && at(0) == 0xC2 && at(1) <= 0x9F) return at(1);
  if (sequence.size() == 3 && at(0) == 0xE2 && at(1) == 0x80 && (at(2) == 0xA8 || at(2) == 0xA9)) {
    return 0x2000u | (at(2) & 0x3Fu);
  }
  return 0;
}

}  // namespace

LogSink* setLogSink(LogSink* sink) {
  LogSink* previous = currentSink;
  currentSink = sink;
  return previous;
}

namespace log_detail {
void formatDoesNotMatchArguments() {}
}  // namespace log_detail

std::string escapeForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        default:
          if (c < 0x20 || c == 0x7F) {
            appendHexEscape(out, c);
          } else {
            out += static_cast<char>(c);
          }
      }
      ++i;
      continue;
    }
    std::size_t length = validUtf8SequenceLength(text.substr(i));
    if (length == 0) {
      appendHexEscape(out, c);
      ++i;
      continue;
    }
    std::string_view sequence = text.substr(i, length);
    if (unsigned code = breakingCodePoint(sequence)) {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(code >> shift) & 0xF];
    } else {
      out.append(sequence);
    }
    i += length;
  }
  return out;
}

std::string formatLogMessage(std::string_view format, const std::vector<log_detail::Arg>& args) {
  std::string out;
  std::size_t next = 0;
  auto argument = [&]() -> const log_detail::Arg* {
    return next < args.size() ? &args[next++] : nullptr;
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    std::string_view rest = format.substr(i + 1);
    if (rest.starts_with("%")) {
      out += '%';
      ++i;
      continue;
    }
    std::size_t directiveLength = rest.starts_with("ld") ? 2 : 1;
    const log_detail::Arg* arg = argument();
    i += directiveLength;
    if (arg == nullptr) continue;  // unreachable: LogFormat checked the count
    switch (arg->kind) {
      case log_detail::Kind::kObject:
      case log_detail::Kind::kCString:
        out += arg->text ? escapeForLog(*arg->text) : std::string("(null)");
        break;
      case log_detail::Kind::kInt:
      case log_detail::Kind::kLong:
        out += formatLong(static_cast<long>(arg->integer));
        break;
      case log_detail::Kind::kDouble:
        out += formatFloat(arg->real);
        break;
    }
  }
  return out;
}

void writeLogEntry(std::string_view format, const std::vector<log_detail::Arg>& args) {
  std::string entry = formatLogMessage(format, args);
  (currentSink ? *currentSink : static_cast<LogSink&>(systemLog())).write(entry);
}

LogSink& systemLogSink() { return systemLog(); }

}  // namespace zarvik
