#ifndef PLATFORM_WINDOWS_UTF16_WINDOWS_H
#define PLATFORM_WINDOWS_UTF16_WINDOWS_H

// The tools' text and the reader's paths are UTF-8; Windows takes names and
// console text as UTF-16. Every conversion between the two, in the reader
// and in the platform layer, goes through here.

#include <windows.h>

#include <cerrno>

namespace windows {

// The longest path Windows takes: 32,767 UTF-16 units and a terminator.
constexpr int kMaxWidePath = 32768;

// UTF-8 `text` as UTF-16 in `wide` (room for `capacity` units, the
// terminator included). False, with an errno value in `*error`, where the
// text is no UTF-8 (EINVAL) or does not fit (ENAMETOOLONG). For text a
// person reads, `lenient` puts U+FFFD for what is no UTF-8 instead.
inline bool Widen(const char* text, wchar_t* wide, int capacity, int* error,
                  bool lenient = false) {
  if (MultiByteToWideChar(CP_UTF8, lenient ? 0 : MB_ERR_INVALID_CHARS, text, -1, wide,
                          capacity) != 0) {
    return true;
  }
  *error = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ENAMETOOLONG : EINVAL;
  return false;
}

// UTF-16 `wide` as UTF-8 in `text` (room for `capacity` bytes, the
// terminator included); returns the bytes stored with it, 0 if it does not
// fit.
inline int Narrow(const wchar_t* wide, char* text, int capacity) {
  return WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, capacity, nullptr, nullptr);
}

}  // namespace windows

#endif  // PLATFORM_WINDOWS_UTF16_WINDOWS_H
