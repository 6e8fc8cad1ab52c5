#ifndef D88IMAGE_HOOKS_IMAGE_FILE_CALLS_POSIX_H
#define D88IMAGE_HOOKS_IMAGE_FILE_CALLS_POSIX_H

// The read of image_file_posix.cpp, reached through a table. The library
// never changes it; a test replaces the entry to provoke what a real file
// system will not produce on demand (an interrupted or failing read), and
// puts it back.

#include <sys/types.h>

#include <cstddef>

namespace d88 {

struct ImageFileCalls {
  ssize_t (*pread)(int fd, void* buffer, std::size_t count, off_t position);
};
extern ImageFileCalls imageFileCalls;

}  // namespace d88

#endif  // D88IMAGE_HOOKS_IMAGE_FILE_CALLS_POSIX_H
