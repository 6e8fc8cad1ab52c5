#ifndef PLATFORM_TOOL_OUTPUT_H
#define PLATFORM_TOOL_OUTPUT_H

// What a tool says to the person who runs it, on standard output and
// standard error. Every format and reason is taken in the user's language
// (Say, translation.h); text is UTF-8. Where a person reads a stream as text
// (a terminal whose locale is UTF-8, a Windows console) it goes out as
// text; wherever a program reads it, in the character set it expects (the
// locale's, or the ANSI code page on Windows). Errors name the tool and
// fail the run; the first failure to write standard output is kept and
// reported when the run ends.

#include <cstdio>

namespace platform {

// A message for a person in two forms: `bytes`, what a program reading the
// stream is given, as they stand, and `text`, the same words in UTF-8, for a
// terminal or console that shows them. Neither is translated.
struct Message {
  const char* bytes;
  const char* text;
};

// The tool's name, which begins its errors ("d88cut"); set once, first.
void SetProgramName(const char* name);

// Formatted output on standard output. Print leaves it to the stream's
// buffer where a program reads it (a terminal or console shows it at once);
// PrintNow sends it out at once, so that a reader of a pipe or a log sees
// it even if the run is then killed. Formats and their arguments are
// formatted into one buffer of the module's: no argument may point into
// what a call of this module returned.
[[gnu::format(printf, 1, 2)]] void Print(const char* format, ...);
[[gnu::format(printf, 1, 2)]] void PrintNow(const char* format, ...);
// Formatted output on standard output, neither translated nor converted:
// UTF-8 on every stream, for a document that is UTF-8 by its form (JSON).
[[gnu::format(printf, 1, 2)]] void PrintUtf8(const char* format, ...);
// `message` on standard output at once.
void PrintMessageNow(const Message& message);

// Formatted output, or a message, on standard error as it stands (a usage
// line), after what standard output holds.
[[gnu::format(printf, 1, 2)]] void PrintError(const char* format, ...);
void PrintErrorMessage(const Message& message);

// "<program>: <what>: <reason>" as a line on standard error, `what` being
// formatted from `format`; "<program>: <what>" where `reason` is nullptr.
// After an error the run ends with status 1; a warning leaves the status
// as it is.
[[gnu::format(printf, 2, 3)]] void ReportError(const char* reason, const char* format, ...);
[[gnu::format(printf, 2, 3)]] void ReportWarning(const char* reason, const char* format, ...);

// Whether UTF-8 text printed on `stream` reaches its reader as the text it
// is: shown by a terminal or console, or read by a program whose locale's
// character set is UTF-8. Elsewhere text outside ASCII may be lost.
bool WritesUtf8(std::FILE* stream);

// Flushes standard output a last time; if any of it could not be written,
// reports `writeError` with the reason ("d88cut: write error: Broken
// pipe"): output that is lost is a failed run. Returns the run's exit
// status: 1 once any error was reported, 0 otherwise.
int FinishRun(const char* writeError);

}  // namespace platform

#endif  // PLATFORM_TOOL_OUTPUT_H
