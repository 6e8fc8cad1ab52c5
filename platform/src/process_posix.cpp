// The process on POSIX systems.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "platform/process.h"

namespace platform {

void PrepareProcess() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is `fd` itself. Input is never read; output
    // opened read-only fails to be written, with EBADF, as before.
    open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
  }
  signal(SIGXFSZ, SIG_IGN);
}

void TreatClosedPipeAsWriteError() { signal(SIGPIPE, SIG_IGN); }

char** Utf8Arguments(int argc, char** argv, int* count) {
  *count = argc;
  return argv;
}

}  // namespace platform
