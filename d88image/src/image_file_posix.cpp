// The reader's file operations on POSIX systems.

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>

#include "d88image/d88_format.h"
#include "image_file.h"
#include "image_file_posix.h"

namespace d88 {

ImageFileCalls imageFileCalls = {pread};

std::intptr_t OpenRegularFile(const char* path, std::int32_t* size) {
  // O_NONBLOCK: a FIFO without a writer would otherwise hold the open until
  // one came. It changes nothing for the regular file that is kept.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
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
