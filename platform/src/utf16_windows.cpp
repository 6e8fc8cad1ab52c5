#include "utf16_windows.h"

#include <windows.h>

#include <cerrno>

namespace platform {

bool Widen(const char* text, wchar_t* wide, int capacity, int* error) {
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, capacity) != 0) {
    return true;
  }
  *error = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ENAMETOOLONG : EINVAL;
  return false;
}

int Narrow(const wchar_t* wide, char* text, int capacity) {
  return WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, capacity, nullptr, nullptr);
}

}  // namespace platform
