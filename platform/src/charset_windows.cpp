// The character set of redirected output on Windows: the ANSI code page.

#include <windows.h>

#include "user_locale.h"
#include "utf16_windows.h"

namespace platform {

Charset StreamCharset() {
  switch (GetACP()) {
    case CP_UTF8: return Charset::kUtf8;
    case 932: return Charset::kShiftJis;
    default: return Charset::kOther;  // no ANSI code page is EUC-JP
  }
}

const char* WordsForStream(const char* words) { return words; }

const char* LineForStream(const char* line) {
  if (GetACP() == CP_UTF8) return line;
  static wchar_t wide[3 * windows::kMaxWidePath + 1024];
  static char inCodePage[sizeof wide / sizeof wide[0] * 2];
  int error = 0;
  if (!windows::Widen(line, wide, sizeof wide / sizeof wide[0], &error, true)) return line;
  // A character the code page lacks becomes '?', never a look-alike.
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, inCodePage,
                             sizeof inCodePage, nullptr, nullptr) > 0
             ? inCodePage
             : line;
}

}  // namespace platform
