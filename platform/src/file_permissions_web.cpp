// Permission bits in the browser and under node (Emscripten). Its file
// system has one user, and its faccessat takes no flags (a build with
// assertions stops at AT_EACCESS). Its umask reads 0777 and is applied to
// nothing, so a new file's bits follow node's umask, the process's own;
// in a page, which has none, the usual 022.

#include <emscripten.h>
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "file_permissions.h"

namespace {

EM_JS(int, NodeUmask, (), {
  return typeof process !== 'undefined' && typeof process.umask === 'function'
      ? process.umask() : 18;  // 18 is 022
});

}  // namespace

namespace platform {

bool CallerMayWrite(const char* name, int* error) {
  if (faccessat(AT_FDCWD, name, W_OK, 0) == 0) return true;
  *error = errno;
  return false;
}

mode_t NewFileMode() { return 0666 & ~static_cast<mode_t>(NodeUmask()); }

}  // namespace platform
