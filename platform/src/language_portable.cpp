// The user's language on POSIX systems, and in the browser, from the
// environment as gettext reads it.

#include <cstdlib>
#include <cstring>

#include "environment.h"
#include "user_locale.h"

namespace platform {
namespace {

// Whether a language entry ("ja_JP.UTF-8", "ja", "en:ja") names `language`.
bool Names(const char* entry, const char* language) {
  return std::strncmp(entry, language, 2) == 0 && std::strchr("_.@:-", entry[2]) != nullptr;
}

}  // namespace

bool UserReadsJapanese() {
  // As gettext reads them: in the C locale, messages are untranslated and
  // LANGUAGE is not looked at.
  static const char* const kMessages[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  const char* locale = FirstSet(kMessages);
  if (locale[0] == '\0' || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0 ||
      std::strncmp(locale, "C.", 2) == 0) {
    return false;
  }
  static const char* const kLanguage[] = {"LANGUAGE"};
  const char* languages = FirstSet(kLanguage);
  if (languages[0] == '\0') languages = locale;
  // The first language the tools have words for: their own English, or
  // Japanese.
  for (const char* entry = languages; *entry != '\0';) {
    if (Names(entry, "ja")) return true;
    if (Names(entry, "en")) return false;
    const char* next = std::strchr(entry, ':');
    if (next == nullptr) break;
    entry = next + 1;
  }
  return false;
}

}  // namespace platform
