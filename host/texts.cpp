#include "host/texts.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

#include "panel/ppd_text.h"

namespace zarvik::host {
namespace {

// The first kShownCharacters characters of a one-line text, or nothing
// when it has no more.
std::optional<std::string> cut(const std::string& line) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    // Count lead bytes only: oneLineText's output is valid UTF-8.
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80 && characters++ == kShownCharacters) {
      return line.substr(0, i);
    }
  }
  return std::nullopt;
}

std::string length(std::string_view text) {
  return " (" + sentence(QT_TRANSLATE_NOOP("zarvik-print", "%1 bytes"), {std::to_string(text.size())}) + ")";
}

}  // namespace

std::string sentence(const char* source, std::initializer_list<std::string_view> args) {
  const std::string text = QCoreApplication::translate("zarvik-print", source).toStdString();
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
        static_cast<std::size_t>(text[i + 1] - '1') < args.size()) {
      out += *(args.begin() + (text[i + 1] - '1'));
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string shownText(std::string_view text) {
  std::string line = oneLineText(text);
  std::optional<std::string> start = cut(line);
  return start ? *start + "\u2026" + length(text) : line;
}

std::string quotedText(std::string_view text) {
  std::string line = oneLineText(text);
  std::optional<std::string> start = cut(line);
  return start ? "\"" + *start + "\u2026\"" + length(text) : "\"" + line + "\"";
}

}  // namespace zarvik::host
