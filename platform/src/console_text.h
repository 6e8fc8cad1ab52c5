#ifndef PLATFORM_SRC_CONSOLE_TEXT_H
#define PLATFORM_SRC_CONSOLE_TEXT_H

// Text on the terminal or console a person reads, one source file per
// platform (console_portable.cpp, console_windows.cpp).

#include <cstdio>

namespace platform {

// Whether a person reads `stream` (stdout or stderr) as text: on Windows a
// console; elsewhere a terminal whose locale's character set is UTF-8. A
// pipe, a file, or a terminal in another locale (C, ja_JP.SJIS) is not.
bool ShowsText(std::FILE* stream);

// Writes UTF-8 `text` to a stream that ShowsText, so that it reads as the
// same words: as it is on a terminal, sent out at once if `now` (else with
// the stream's buffer); through the console itself on Windows, whatever its
// code page. Returns false with errno set if it could not be written.
bool WriteText(std::FILE* stream, const char* text, bool now = true);

}  // namespace platform

#endif  // PLATFORM_SRC_CONSOLE_TEXT_H
