// Log calls whose format does not fit their arguments. The build defines one
// LOG_CASE_* macro per attempt, and each attempt must be refused by the
// compiler; with none defined the file holds only calls that fit and must
// compile, which shows that a refusal comes from the check and not from the
// file.
#include <string>

#include "panel/system_log.h"

namespace zarvik {

void logEveryKindOfArgument() {
  [[maybe_unused]] std::string text = "text";
  [[maybe_unused]] long word = 1;
  [[maybe_unused]] const char* cString = "c";
#if defined(LOG_CASE_INT_FOR_C_STRING)
  NSLog("%s", 6);
#elif defined(LOG_CASE_TOO_FEW_ARGUMENTS)
  NSLog("Saved %@ to %@", text);
#elif defined(LOG_CASE_UNKNOWN_DIRECTIVE)
  NSLog("%x", 1);
#elif defined(LOG_CASE_UNSUPPORTED_TYPE)
  NSLog("%d", 1u);
#elif defined(LOG_CASE_FORMAT_FROM_DATA)
  NSLog(text, 1);
#else
  NSLog("%d %ld %s %s %@ %f %f %%", 1, word, cString, "literal", text, 0.5, 0.5f);
#endif
}

}  // namespace zarvik
