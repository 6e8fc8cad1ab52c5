// Shift_JIS through the system's code page 932, on Windows.

#include <windows.h>

#include "platform/shift_jis.h"
#include "utf16_windows.h"

namespace platform {

int DecodeShiftJis(const unsigned char* bytes, int available, char (&utf8)[8]) {
  const int length = IsDBCSLeadByteEx(932, bytes[0]) ? 2 : 1;
  if (length > available) return 0;
  wchar_t wide[3];
  const int units = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS,
                                        reinterpret_cast<const char*>(bytes), length, wide, 2);
  if (units == 0) return 0;
  wide[units] = L'\0';
  return windows::Narrow(wide, utf8, sizeof utf8) > 0 ? length : 0;
}

}  // namespace platform
