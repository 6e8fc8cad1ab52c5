#ifndef PLATFORM_SRC_UTF16_WINDOWS_H
#define PLATFORM_SRC_UTF16_WINDOWS_H

// The tools' text is UTF-8; Windows takes names and console text as UTF-16.
// Every conversion between the two goes through here.

namespace platform {

// The longest path Windows takes: 32,767 UTF-16 units and a terminator.
constexpr int kMaxWidePath = 32768;

// UTF-8 `text` as UTF-16 in `wide` (room for `capacity` units, the
// terminator included). False, with an errno value in `*error`, where the
// text is no UTF-8 (EINVAL) or does not fit (ENAMETOOLONG).
bool Widen(const char* text, wchar_t* wide, int capacity, int* error);

// UTF-16 `wide` as UTF-8 in `text` (room for `capacity` bytes, the
// terminator included); returns the bytes stored with it, 0 if it does not
// fit.
int Narrow(const wchar_t* wide, char* text, int capacity);

}  // namespace platform

#endif  // PLATFORM_SRC_UTF16_WINDOWS_H
