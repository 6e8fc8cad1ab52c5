#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <stdlib.h>  // mkstemp
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace d88cut {
namespace {

#ifdef _WIN32

std::FILE* CreateTemporary(char* tempName) {
  if (_mktemp_s(tempName, std::strlen(tempName) + 1) != 0) return nullptr;
  return std::fopen(tempName, "wbx");
}

bool ReplaceWith(const char* tempName, const char* name) {
  if (MoveFileExA(tempName, name, MOVEFILE_REPLACE_EXISTING)) return true;
  errno = EACCES;
  return false;
}

#else

// mkstemp creates the file readable by its owner only; give it the mode a
// plain fopen would have (0666 less the umask), read once per process.
mode_t NewFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

std::FILE* CreateTemporary(char* tempName) {
  const int fd = mkstemp(tempName);
  if (fd < 0) return nullptr;
  std::FILE* stream = nullptr;
  if (fchmod(fd, NewFileMode()) == 0) stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    const int saved = errno;
    close(fd);
    std::remove(tempName);
    errno = saved;
  }
  return stream;
}

bool ReplaceWith(const char* tempName, const char* name) {
  return std::rename(tempName, name) == 0;
}

#endif

}  // namespace

bool WriteFileReplacing(const char* name, const std::uint8_t* data, std::int32_t size,
                        int* error) {
  char tempName[64];
  const int length = std::snprintf(tempName, sizeof tempName, ".%s.XXXXXX", name);
  if (length < 0 || length >= static_cast<int>(sizeof tempName) || size < 0) {
    *error = ENAMETOOLONG;
    return false;
  }
  std::FILE* stream = CreateTemporary(tempName);
  if (stream == nullptr) {
    *error = errno;
    return false;
  }
  const std::size_t count = static_cast<std::size_t>(size);
  bool written = std::fwrite(data, 1, count, stream) == count;
  if (!written) *error = errno;
  // Closing flushes: a full disk may only show here.
  if (std::fclose(stream) != 0 && written) {
    written = false;
    *error = errno;
  }
  if (written && !ReplaceWith(tempName, name)) {
    written = false;
    *error = errno;
  }
  if (!written) std::remove(tempName);
  return written;
}

}  // namespace d88cut
