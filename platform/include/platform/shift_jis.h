#ifndef PLATFORM_SHIFT_JIS_H
#define PLATFORM_SHIFT_JIS_H

// Shift_JIS (code page 932, with its single-byte katakana), the character
// set of Japanese disks' names, decoded by the system's own converter, one
// source file per platform (shift_jis_posix.cpp, shift_jis_windows.cpp).

namespace platform {

// Decodes the character at the start of `bytes` (`available` of them):
// returns how many bytes it takes (1 or 2), with the character as UTF-8 in
// `utf8`; 0 where they are no character the converter knows.
int DecodeShiftJis(const unsigned char* bytes, int available, char (&utf8)[8]);

}  // namespace platform

#endif  // PLATFORM_SHIFT_JIS_H
