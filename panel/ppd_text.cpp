#include "panel/ppd_text.h"

namespace zarvik {

std::string_view boundedString(const char* chars, std::size_t capacity) {
  if (chars == nullptr) return {};
  return std::string_view(chars, strnlen(chars, capacity));
}

std::size_t validUtf8SequenceLength(std::string_view bytes) {
  if (bytes.empty()) return 0;
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's allowed range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (at(k) < 0x80 || at(k) > 0xBF) return 0;
  }
  return length;
}

std::string decodeUtf8Lossy(std::string_view bytes) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    // A run of ASCII, most of any PPD's text, goes in with one append.
    std::size_t ascii = i;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    if (ascii != i) {
      out.append(bytes.substr(i, ascii - i));
      i = ascii;
      continue;
    }
    std::size_t length = validUtf8SequenceLength(bytes.substr(i));
    if (length == 0) {
      out.append(kReplacement);
      ++i;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string oneLineText(std::string_view bytes) {
  std::string shown;
  for (char c : decodeUtf8Lossy(bytes)) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      shown += "\xEF\xBF\xBD";
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace zarvik
