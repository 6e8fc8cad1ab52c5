// The character set of redirected output on Windows: the ANSI code page.

#include <windows.h>

#include "user_locale.h"
#include "utf16_windows.h"

namespace platform {

Charset StreamCharset() {
  switch (GetACP()) {
    case CP_UTF8: return Charset::kUtf8;
    case 932: return Charset::kShiftJis;
    case 20932:
    case 51932: return Charset::kEucJp;
    default: return Charset::kOther;
  }
}

bool ConvertForStream(const char* text, char* out, int capacity) {
  static wchar_t wide[3 * windows::kMaxWidePath + 1024];
  int error = 0;
  if (!windows::Widen(text, wide, sizeof wide / sizeof wide[0], &error)) return false;
  const UINT codePage = GetACP();
  BOOL lost = FALSE;
  // Only a code page other than UTF-8 can lose a character.
  const int length = WideCharToMultiByte(codePage, codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS,
                                         wide, -1, out, capacity, nullptr,
                                         codePage == CP_UTF8 ? nullptr : &lost);
  return length > 0 && !lost;
}

}  // namespace platform
