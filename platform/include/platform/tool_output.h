#ifndef PLATFORM_TOOL_OUTPUT_H
#define PLATFORM_TOOL_OUTPUT_H

// What a tool says to the person who runs it, on standard output and
// standard error. Text is UTF-8. Where a person reads a stream as text (a
// terminal whose locale is UTF-8, a Windows console) it goes out as text;
// wherever a program reads it, as its bytes. Errors name the tool and fail
// the run; the first failure to write standard output is kept and reported
// when the run ends.

namespace platform {

// A message for a person in two forms: `bytes`, what a program reading the
// stream is given, and `text`, the same words in UTF-8, for a terminal or
// console that shows them.
struct Message {
  const char* bytes;
  const char* text;
};

// The tool's name, which begins its errors ("d88cut"); set once, first.
void SetProgramName(const char* name);

// Formatted output on standard output. Print leaves it to the stream's
// buffer; PrintNow sends it out at once, so that a reader of a pipe or a log
// sees it even if the run is then killed.
void Print(const char* format, ...);
void PrintNow(const char* format, ...);
// `message` on standard output at once.
void PrintMessageNow(const Message& message);

// Formatted output, or a message, on standard error as it stands (a usage
// line), after what standard output holds.
void PrintError(const char* format, ...);
void PrintErrorMessage(const Message& message);

// "<program>: <what>: <reason>" as a line on standard error, `what` being
// formatted from `format`; "<program>: <what>" where `reason` is nullptr.
// After an error the run ends with status 1; a warning leaves the status
// as it is.
void ReportError(const char* reason, const char* format, ...);
void ReportWarning(const char* reason, const char* format, ...);

// Flushes standard output a last time; if any of it could not be written,
// reports `writeError` with the reason ("d88cut: write error: Broken
// pipe"): output that is lost is a failed run. Returns the run's exit
// status: 1 once any error was reported, 0 otherwise.
int FinishRun(const char* writeError);

}  // namespace platform

#endif  // PLATFORM_TOOL_OUTPUT_H
