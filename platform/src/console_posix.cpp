// The terminal on POSIX systems, and in the browser.

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_text.h"
#include "platform/console.h"
#include "terminal.h"

namespace platform {
namespace {

// Whether a locale's name says UTF-8 ("en_US.UTF-8", "C.utf8").
bool NameSaysUtf8(const char* name) {
  const char* codeset = name == nullptr ? nullptr : std::strchr(name, '.');
  if (codeset == nullptr) return false;
  ++codeset;
  const std::size_t length = std::strcspn(codeset, "@");
  return (length == 5 && strncasecmp(codeset, "utf-8", 5) == 0) ||
         (length == 4 && strncasecmp(codeset, "utf8", 4) == 0);
}

// The name of the user's locale for characters: the first of LC_ALL,
// LC_CTYPE and LANG that is set.
const char* UserLocaleName() {
  static const char* const kVariables[] = {"LC_ALL", "LC_CTYPE", "LANG"};
  for (const char* variable : kVariables) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return nullptr;
}

// Whether the user's locale has UTF-8 as its character set: as the C
// library knows it, or, where that locale is not installed here (common
// over ssh and in containers), as its name says. The program's own locale
// is set only to ask, and put back at once.
bool LocaleIsUtf8() {
  static int known = -1;
  if (known < 0) {
    char before[64] = "C";
    const char* current = setlocale(LC_CTYPE, nullptr);
    if (current != nullptr && std::strlen(current) < sizeof before) std::strcpy(before, current);
    if (setlocale(LC_CTYPE, "") != nullptr) {
      known = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
      setlocale(LC_CTYPE, before);
    } else {
      known = NameSaysUtf8(UserLocaleName());
    }
  }
  return known == 1;
}

}  // namespace

bool ShowsText(std::FILE* stream) {
  // Asked once per stream: what a stream is does not change during a run.
  static int shows[2] = {-1, -1};
  int& known = shows[stream == stderr ? 1 : 0];
  if (known < 0) known = IsTerminal(stream) && LocaleIsUtf8();
  return known == 1;
}

bool WriteText(std::FILE* stream, const char* text) {
  return std::fputs(text, stream) >= 0 && std::fflush(stream) == 0;
}

void KeepWindowOpenIfAlone(const char*, const char*) {
  // A terminal window is the user's own and stays open as it is.
}

}  // namespace platform
