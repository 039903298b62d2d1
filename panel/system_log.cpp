#include "panel/system_log.h"

#include <syslog.h>

#include <charconv>
#include <cstdio>
#include <cstring>

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

namespace {

// Whether the eight bytes at `bytes` are all printable ASCII other than the
// backslash (0x20 to 0x7E, not 0x5C). Each test sets a byte's top bit where
// the byte fails it; a carry can only spread from a byte that fails.
bool plainAscii(const char* bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  std::uint64_t below20 = (word - kOnes * 0x20) & ~word;  // top bit: b < 0x20 (or b >= 0x80)
  std::uint64_t from7f = word | (word + kOnes);           // top bit: b >= 0x7F
  std::uint64_t backslash = word ^ (kOnes * '\\');
  std::uint64_t isBackslash = (backslash - kOnes) & ~backslash;  // top bit: b == '\\'
  return ((below20 | from7f | isBackslash) & kHighs) == 0;
}

// Appends `text` escaped to `out`. Runs of bytes that stand as they are go
// in with one append; a message is mostly such runs.
void appendEscaped(std::string& out, std::string_view text) {
  std::size_t run = 0;
  std::size_t i = 0;
  auto flushRun = [&] { out.append(text.substr(run, i - run)); };
  while (i < text.size()) {
    // Eight bytes at a time while none of them needs a look: no control
    // character, no DEL, no backslash, nothing outside ASCII.
    while (text.size() - i >= 8 && plainAscii(text.data() + i)) i += 8;
    if (i == text.size()) break;
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      ++i;
      continue;
    }
    if (c < 0x80) {
      flushRun();
      switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        default: appendHexEscape(out, c);
      }
      run = ++i;
      continue;
    }
    std::size_t length = validUtf8SequenceLength(text.substr(i));
    if (length == 0) {
      flushRun();
      appendHexEscape(out, c);
      run = ++i;
      continue;
    }
    if (unsigned code = breakingCodePoint(text.substr(i, length))) {
      flushRun();
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(code >> shift) & 0xF];
      i += length;
      run = i;
      continue;
    }
    i += length;
  }
  flushRun();
}

}  // namespace

std::string escapeForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  appendEscaped(out, text);
  return out;
}

namespace {

// Appends the message to `out`.
void appendLogMessage(std::string& out, std::string_view format, std::span<const log_detail::Arg> args) {
  std::size_t next = 0;
  std::size_t i = 0;
  while (i < format.size()) {
    std::size_t percent = format.find('%', i);
    // A '%' that ends the format stands for itself.
    if (percent == std::string_view::npos || percent + 1 == format.size()) {
      out.append(format.substr(i));
      break;
    }
    out.append(format.substr(i, percent - i));
    std::string_view rest = format.substr(percent + 1);
    if (rest.starts_with("%")) {
      out += '%';
      i = percent + 2;
      continue;
    }
    i = percent + 1 + (rest.starts_with("ld") ? 2 : 1);
    if (next == args.size()) continue;  // unreachable: LogFormat checked the count
    const log_detail::Arg& arg = args[next++];
    switch (arg.kind) {
      case log_detail::Kind::kObject:
      case log_detail::Kind::kCString:
        if (arg.text) {
          appendEscaped(out, *arg.text);
        } else {
          out += "(null)";
        }
        break;
      case log_detail::Kind::kInt:
      case log_detail::Kind::kLong:
        out += formatLong(static_cast<long>(arg.integer));
        break;
      case log_detail::Kind::kDouble:
        out += formatFloat(arg.real);
        break;
    }
  }
}

}  // namespace

std::string formatLogMessage(std::string_view format, std::span<const log_detail::Arg> args) {
  std::string out;
  out.reserve(format.size() + 64);
  appendLogMessage(out, format, args);
  return out;
}

void writeLogEntry(std::string_view format, std::span<const log_detail::Arg> args) {
  // Entries are formatted into a buffer that keeps its storage from one
  // message to the next; a sink that logs from inside write() gets a buffer
  // of its own.
  thread_local std::string buffer;
  thread_local bool inUse = false;
  std::string own;
  std::string& entry = inUse ? own : buffer;
  bool outermost = !inUse;
  entry.clear();
  appendLogMessage(entry, format, args);
  inUse = true;
  (currentSink ? *currentSink : static_cast<LogSink&>(systemLog())).write(entry);
  if (outermost) inUse = false;
}

LogSink& systemLogSink() { return systemLog(); }

}  // namespace zarvik
