#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace d88cut {
namespace {

constexpr int kMaxAttempts = 100;
constexpr std::size_t kMaxTempName = 96;

#ifdef _WIN32

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

bool WriteNewFile(const char* path, const std::uint8_t* data, std::size_t size) {
  std::FILE* stream = std::fopen(path, "wbx");  // fails if the name is taken
  if (stream == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, stream) == size;
  if (std::fclose(stream) == 0 && written) return true;
  std::remove(path);
  return false;
}

bool ReplaceWith(const char* tempName, const char* name) {
  if (MoveFileExA(tempName, name, MOVEFILE_REPLACE_EXISTING)) return true;
  errno = EACCES;
  return false;
}

#else

int ProcessId() { return static_cast<int>(getpid()); }

// Creates `path`, which must not exist yet, with the mode any new file gets
// (0666 less the umask), and writes all of `data` to it. On failure nothing
// is left at `path` and errno says why (EEXIST: the name is taken).
bool WriteNewFile(const char* path, const std::uint8_t* data, std::size_t size) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  std::size_t done = 0;
  int error = 0;
  while (done < size) {
    const ssize_t part = write(fd, data + done, size - done);
    if (part < 0 && errno == EINTR) continue;
    if (part <= 0) {
      error = part < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(part);
  }
  // Some file systems report a failed write only when the file is closed.
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0) return true;
  unlink(path);
  errno = error;
  return false;
}

bool ReplaceWith(const char* tempName, const char* name) {
  return std::rename(tempName, name) == 0;
}

#endif

}  // namespace

bool WriteFileReplacing(const char* name, const std::uint8_t* data, std::int32_t size,
                        int* error) {
  if (size < 0) {
    *error = EINVAL;
    return false;
  }
  // A hidden name beside the target, unique to this process; one left by an
  // earlier process of the same number is stepped around, never reused.
  static int processId = 0;  // asked once: every file of the run uses it
  if (processId == 0) processId = ProcessId();
  char tempName[kMaxTempName];
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    const int length =
        std::snprintf(tempName, sizeof tempName, ".%s.%d.%d", name, processId, attempt);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof tempName) {
      *error = ENAMETOOLONG;
      return false;
    }
    if (WriteNewFile(tempName, data, static_cast<std::size_t>(size))) {
      if (ReplaceWith(tempName, name)) return true;
      *error = errno;
      std::remove(tempName);
      return false;
    }
    *error = errno;
    if (*error != EEXIST) return false;
  }
  return false;
}

}  // namespace d88cut
