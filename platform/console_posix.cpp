// The terminal on POSIX systems.

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "console.h"

namespace d88cut {
namespace {

// Whether the user's locale (LC_ALL, LC_CTYPE or LANG) has UTF-8 as its
// character set. The program itself stays in the C locale, as it starts:
// the user's is set only to ask, and put back at once.
bool LocaleIsUtf8() {
  static int known = -1;
  if (known < 0) {
    known = setlocale(LC_CTYPE, "") != nullptr && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    setlocale(LC_CTYPE, "C");
  }
  return known == 1;
}

}  // namespace

bool ShowsText(std::FILE* stream) {
  // Asked once per stream: what a stream is does not change during a run.
  static int shows[2] = {-1, -1};
  int& known = shows[stream == stderr ? 1 : 0];
  if (known < 0) known = isatty(fileno(stream)) == 1 && LocaleIsUtf8();
  return known == 1;
}

bool WriteText(std::FILE* stream, const char* text) {
  return std::fputs(text, stream) >= 0 && std::fflush(stream) == 0;
}

void KeepWindowOpenIfAlone(bool) {
  // A terminal window is the user's own and stays open as it is.
}

}  // namespace d88cut
