#ifndef PLATFORM_STANDARD_OUTPUT_H
#define PLATFORM_STANDARD_OUTPUT_H

namespace d88cut {

// A message for a person in two forms: `bytes`, what a program reading the
// stream is given, and `text`, the same words in UTF-8, for a terminal or
// console that shows them.
struct Message {
  const char* bytes;
  const char* text;
};

// Formatted output to standard output, sent out at once, so that a reader
// of a pipe or a log sees it even if the run is then killed. The first
// failure to write it is kept for FinishStandardOutput.
void PrintNow(const char* format, ...);

// Writes `message` to standard output at once: its text where a person
// reads the stream as text (ShowsText in console.h), its bytes everywhere
// else. A failure is kept as PrintNow's are.
void PrintMessageNow(const Message& message);

// The same on standard error, whose failures go unreported as ever.
void PrintErrorMessage(const Message& message);

// Flushes standard output one last time. If any of it could not be written,
// says "<program>: write error: <reason>" on standard error and returns
// false: output that is lost is a failed run.
bool FinishStandardOutput(const char* program);

}  // namespace d88cut

#endif  // PLATFORM_STANDARD_OUTPUT_H
