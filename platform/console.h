#ifndef PLATFORM_CONSOLE_H
#define PLATFORM_CONSOLE_H

// The terminal or console a person may read the tools on, one source file
// per platform (console_posix.cpp, console_windows.cpp).

#include <cstdio>

namespace d88cut {

// Whether a person reads `stream` (stdout or stderr) as text: on Windows a
// console; elsewhere a terminal whose locale's character set is UTF-8. A
// pipe, a file, or a terminal in another locale (C, ja_JP.SJIS) is not.
bool ShowsText(std::FILE* stream);

// Writes UTF-8 `text` to a stream that ShowsText, so that it reads as the
// same words: as it is on a terminal; through the console itself on
// Windows, whatever its code page. Returns false with errno set if it could
// not be written.
bool WriteText(std::FILE* stream, const char* text);

// On Windows, a console window that belongs to this run alone (opened by a
// double-click on the program, or an image dropped on it, in Explorer)
// closes as the run ends: this says in which folder the files were written,
// if `filesWritten`, and waits for Enter, so that the messages can be read.
// Started from a console, a script or with a stream redirected, and on
// every other system, it does nothing.
void KeepWindowOpenIfAlone(bool filesWritten);

}  // namespace d88cut

#endif  // PLATFORM_CONSOLE_H
