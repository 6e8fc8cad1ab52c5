// Permission bits on POSIX systems.

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_permissions.h"

namespace platform {

bool CallerMayWrite(const char* name, int* error) {
  // As an open would decide: by the effective user and group.
  if (faccessat(AT_FDCWD, name, W_OK, AT_EACCESS) == 0) return true;
  *error = errno;
  return false;
}

mode_t NewFileMode() {
  // 0666 less the umask, which can only be read by setting it: it is set
  // back at once (the tools have one thread), and asked for once.
  static mode_t mode = 0;
  static bool known = false;
  if (!known) {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
    known = true;
  }
  return mode;
}

}  // namespace platform
