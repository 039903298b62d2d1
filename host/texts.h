// Sentences for a person: the host's own texts in the person's language,
// and the texts they quote from a PPD, a settings file or the command line
// shown on one plain line and cut when long.
#pragma once

#include <QtGlobal>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zarvik::host {

// `source`, marked QT_TRANSLATE_NOOP("zarvik-print", ...) for lupdate, in the language of the installed
// translators (English without one), with %1 to %9 replaced by `args` in
// one pass, so that an argument's own "%1" stays as it is.
std::string sentence(const char* source, std::initializer_list<std::string_view> args = {});

// How many characters of a quoted text a message shows.
inline constexpr std::size_t kShownCharacters = 80;

// A text as a message shows it: one plain line (oneLineText), and when it
// is longer than kShownCharacters, its start, an ellipsis and its length
// in bytes: "aaaa… (1048576 bytes)".
std::string shownText(std::string_view text);
// The same in quotes: "aaaa…" (1048576 bytes).
std::string quotedText(std::string_view text);

}  // namespace zarvik::host
