// What stands at a path, on POSIX systems.

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_kind.h"

namespace d88cut {

bool WhyNotARegularFile(const char* path, FileKind* kind, int* error) {
  struct stat status;
  if (stat(path, &status) != 0) {
    *error = errno;
    return false;
  }
  if (S_ISREG(status.st_mode)) {
    // A regular file that does not open: the open says why. One that opens
    // now has changed since; the image could not be read all the same.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    *error = fd < 0 ? errno : EIO;
    if (fd >= 0) close(fd);
    return false;
  }
  if (S_ISDIR(status.st_mode)) {
    *kind = FileKind::kFolder;
  } else if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
    *kind = FileKind::kDevice;
  } else if (S_ISFIFO(status.st_mode)) {
    *kind = FileKind::kFifo;
  } else if (S_ISSOCK(status.st_mode)) {
    *kind = FileKind::kSocket;
  } else {
    *kind = FileKind::kOther;
  }
  return true;
}

}  // namespace d88cut
