// The terminal on POSIX systems, and in the browser.

#include <cstdio>

#include "console_text.h"
#include "user_locale.h"
#include "platform/console.h"
#include "terminal.h"

namespace platform {

bool ShowsText(std::FILE* stream) {
  // Asked once per stream: what a stream is does not change during a run.
  static int shows[2] = {-1, -1};
  int& known = shows[stream == stderr ? 1 : 0];
  if (known < 0) known = IsTerminal(stream) && StreamCharset() == Charset::kUtf8;
  return known == 1;
}

bool WriteText(std::FILE* stream, const char* text, bool now) {
  return std::fputs(text, stream) >= 0 && (!now || std::fflush(stream) == 0);
}

void KeepWindowOpenIfAlone(const char*, const char*) {
  // A terminal window is the user's own and stays open as it is.
}

}  // namespace platform
