// Folders on POSIX systems, and in the browser.

#include <errno.h>
#include <sys/stat.h>

#include "platform/folder.h"

namespace platform {

bool MakeFolder(const char* path, int* error) {
  if (mkdir(path, 0777) == 0) return true;
  if (errno != EEXIST) {
    *error = errno;
    return false;
  }
  // What stands there is looked at itself, not where a link leads.
  struct stat status;
  if (lstat(path, &status) != 0) {
    *error = errno;
    return false;
  }
  if (S_ISDIR(status.st_mode)) return true;
  *error = S_ISLNK(status.st_mode) ? ELOOP : ENOTDIR;
  return false;
}

}  // namespace platform
