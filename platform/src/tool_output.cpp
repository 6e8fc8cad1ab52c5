#include "platform/tool_output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console_text.h"
#include "user_locale.h"
#include "platform/translation.h"

namespace platform {
namespace {

const char* programName = "";
bool runFailed = false;
int firstOutputError = 0;

// One line or part of one: words around a path as long as any system takes
// (32,767 UTF-16 units, up to three bytes each in UTF-8).
char line[3 * 32768 + 1024];

// The system's reasons that people meet most, for the catalogue: Say gives
// them in the user's language where it has them.
[[maybe_unused]] constexpr const char* kCommonReasons[] = {
    N_("No such file or directory"), N_("Permission denied"),   N_("Is a directory"),
    N_("Not a directory"),           N_("No space left on device"), N_("Broken pipe"),
    N_("File too large"),            N_("Bad file descriptor"), N_("Read-only file system"),
    N_("Input/output error"),        N_("File name too long"),  N_("Too many open files"),
    N_("Too many levels of symbolic links")};

const char* Format(const char* format, std::va_list arguments) {
  std::vsnprintf(line, sizeof line, format, arguments);
  return line;
}

void KeepOutputError(int error) {
  if (firstOutputError == 0) firstOutputError = error != 0 ? error : EIO;
}

// A line as a program reading a stream gets it (LineForStream).
const char* ForStream(const char* text) { return LineForStream(text); }

// A write that fails sets the stream's error flag and errno. Some C
// run-times fail in the print itself and then flush nothing, others fail in
// the flush, so errno is looked at after each: `printError` is what the
// print left.
void FlushOutput(int printError) {
  errno = 0;
  if (std::fflush(stdout) != 0) {
    KeepOutputError(errno);
  } else if (std::ferror(stdout)) {
    KeepOutputError(printError);
  }
}

// Standard output's words: as text where a person reads them, else their
// bytes, sent at once if `now`.
void Output(const char* bytes, const char* text, bool now) {
  errno = 0;
  if (ShowsText(stdout)) {
    if (!WriteText(stdout, text, now)) KeepOutputError(errno);
    return;
  }
  std::fputs(bytes, stdout);
  if (now) {
    FlushOutput(errno);
  } else if (std::ferror(stdout)) {
    KeepOutputError(errno);
  }
}

// Standard error's, whose failures go unreported as ever; what standard
// output holds goes first, so that the two read in the order they happened.
void Error(const char* bytes, const char* text) {
  FlushOutput(errno);
  if (ShowsText(stderr)) {
    WriteText(stderr, text);
  } else {
    std::fputs(bytes, stderr);
  }
}

// "<program>: <what>[: <reason>]" on standard error.
void Report(const char* reason, const char* format, std::va_list arguments) {
  const int length = std::snprintf(line, sizeof line, "%s: ", programName);
  if (length > 0 && static_cast<std::size_t>(length) < sizeof line) {
    std::vsnprintf(line + length, sizeof line - static_cast<std::size_t>(length), format,
                   arguments);
  }
  const std::size_t used = std::strlen(line);
  std::snprintf(line + used, sizeof line - used, "%s%s\n", reason != nullptr ? ": " : "",
                reason != nullptr ? reason : "");
  Error(ForStream(line), line);
}

}  // namespace

void SetProgramName(const char* name) { programName = name; }

void Print(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const char* text = Format(Say(format), arguments);
  va_end(arguments);
  Output(ForStream(text), text, false);
}

void PrintNow(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const char* text = Format(Say(format), arguments);
  va_end(arguments);
  Output(ForStream(text), text, true);
}

void PrintUtf8(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const char* text = Format(format, arguments);
  va_end(arguments);
  Output(text, text, false);
}

void PrintMessageNow(const Message& message) { Output(message.bytes, message.text, true); }

void PrintError(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const char* text = Format(Say(format), arguments);
  va_end(arguments);
  Error(ForStream(text), text);
}

void PrintErrorMessage(const Message& message) { Error(message.bytes, message.text); }

void ReportError(const char* reason, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  Report(Say(reason), Say(format), arguments);
  va_end(arguments);
  runFailed = true;
}

void ReportWarning(const char* reason, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  Report(Say(reason), Say(format), arguments);
  va_end(arguments);
}

bool WritesUtf8(std::FILE* stream) { return ShowsText(stream) || StreamCharset() == Charset::kUtf8; }

int FinishRun(const char* writeError) {
  FlushOutput(errno);
  if (firstOutputError != 0) ReportError(std::strerror(firstOutputError), "%s", Say(writeError));
  return runFailed ? 1 : 0;
}

}  // namespace platform
