#include "standard_output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console.h"

namespace d88cut {
namespace {

int firstError = 0;

void Keep(int error) {
  if (firstError == 0) firstError = error != 0 ? error : EIO;
}

// A write that fails sets the stream's error flag and errno. Some C
// run-times fail in the print itself and then flush nothing, others fail in
// the flush, so errno is looked at after each: `printError` is what the
// print left.
void Flush(int printError) {
  errno = 0;
  if (std::fflush(stdout) != 0) {
    Keep(errno);
  } else if (std::ferror(stdout)) {
    Keep(printError);
  }
}

}  // namespace

void PrintNow(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  errno = 0;
  std::vprintf(format, arguments);
  va_end(arguments);
  Flush(errno);
}

void PrintMessageNow(const Message& message) {
  errno = 0;
  if (ShowsText(stdout)) {
    if (!WriteText(stdout, message.text)) Keep(errno);
    return;
  }
  std::fputs(message.bytes, stdout);
  Flush(errno);
}

void PrintErrorMessage(const Message& message) {
  if (ShowsText(stderr)) {
    WriteText(stderr, message.text);
  } else {
    std::fputs(message.bytes, stderr);
  }
}

bool FinishStandardOutput(const char* program) {
  Flush(errno);
  if (firstError == 0) return true;
  std::fprintf(stderr, "%s: write error: %s\n", program, std::strerror(firstError));
  return false;
}

}  // namespace d88cut
