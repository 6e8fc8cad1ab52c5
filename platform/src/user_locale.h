#ifndef PLATFORM_SRC_USER_LOCALE_H
#define PLATFORM_SRC_USER_LOCALE_H

// What the user's system says of the character set its programs read
// (charset_posix.cpp, charset_windows.cpp, charset_web.cpp) and of the
// language its user reads (language_portable.cpp, language_windows.cpp).

namespace platform {

// The character set of text for a program that reads a stream which does
// not ShowsText: the user's locale's on POSIX (as the C library knows it,
// or, where that locale is not installed, as its name says), the ANSI code
// page's on Windows.
enum class Charset { kUtf8, kShiftJis, kEucJp, kOther };
Charset StreamCharset();

// What a program reading a stream that does not ShowsText gets of the
// tools' UTF-8. On POSIX the words are converted into the locale's set as
// they are said (WordsForStream, on each translation), since what the
// system gives the tools (a path) is in that set already; a character the
// set lacks becomes '?'. On Windows, where the system gives UTF-16, taken
// in as UTF-8, whole lines are converted as they are written
// (LineForStream, into the ANSI code page). Each returns its text where
// there is nothing to convert.
const char* WordsForStream(const char* words);
const char* LineForStream(const char* line);

// Whether the user reads Japanese: on POSIX the first language the
// environment names as gettext reads it (LANGUAGE, then LC_ALL,
// LC_MESSAGES and LANG), whether or not that locale is installed; on
// Windows the user's interface language.
bool UserReadsJapanese();

}  // namespace platform

#endif  // PLATFORM_SRC_USER_LOCALE_H
