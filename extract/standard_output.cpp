#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace d88cut {
namespace {

int firstError = 0;

}  // namespace

void FlushStandardOutput() {
  // A failed write leaves its reason in errno and the stream's error flag
  // set; the flush that met it, or the print before, set both.
  errno = 0;
  const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
  if (failed && firstError == 0) firstError = errno != 0 ? errno : EIO;
}

bool FinishStandardOutput(const char* program) {
  FlushStandardOutput();
  if (firstError == 0) return true;
  std::fprintf(stderr, "%s: write error: %s\n", program, std::strerror(firstError));
  return false;
}

}  // namespace d88cut
