// The reader's file operations on POSIX systems.

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>

#include "d88image/d88_format.h"
#include "image_file.h"
#include "image_file_calls_posix.h"

namespace d88 {
namespace {

FileKind KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return FileKind::kFolder;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::kDevice;
  if (S_ISFIFO(mode)) return FileKind::kFifo;
  if (S_ISSOCK(mode)) return FileKind::kSocket;
  return FileKind::kOther;
}

}  // namespace

ImageFileCalls imageFileCalls = {pread};

std::intptr_t OpenRegularFile(const char* path, std::int32_t* size, OpenFailure* failure) {
  *failure = OpenFailure{};
  // O_NONBLOCK: a FIFO without a writer would otherwise hold the open until
  // one came. It changes nothing for the regular file that is kept.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat status;
  if (fd < 0) {
    failure->error = errno;
    // Two failures leave unsaid what stands there: a socket, which cannot be
    // opened at all, fails as a device without its driver does (ENXIO), and
    // a folder, device or FIFO may not be readable (EACCES). Only then is
    // the path looked at once more, to tell what it is.
    if ((failure->error == ENXIO || failure->error == EACCES) && stat(path, &status) == 0 &&
        !S_ISREG(status.st_mode)) {
      *failure = OpenFailure{0, KindOf(status.st_mode)};
    }
    return -1;
  }
  if (fstat(fd, &status) != 0) {
    failure->error = errno;
  } else if (!S_ISREG(status.st_mode)) {
    failure->kind = KindOf(status.st_mode);
  }
  if (failure->error != 0 || failure->kind != FileKind::kNone) {
    close(fd);
    return -1;
  }
  *size = status.st_size < kInt32Max ? static_cast<std::int32_t>(status.st_size) : kInt32Max;
  return fd;
}

std::int32_t ReadFileAt(std::intptr_t file, std::int32_t position, std::uint8_t* buffer,
                        std::int32_t count) {
  std::int32_t done = 0;
  while (done < count) {
    const ssize_t part = imageFileCalls.pread(static_cast<int>(file), buffer + done,
                                              static_cast<std::size_t>(count - done),
                                              static_cast<off_t>(position) + done);
    if (part < 0 && errno == EINTR) continue;
    if (part <= 0) break;
    done += static_cast<std::int32_t>(part);
  }
  return done;
}

void CloseFile(std::intptr_t file) { close(static_cast<int>(file)); }

}  // namespace d88
