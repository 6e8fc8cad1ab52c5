#ifndef PLATFORM_HOOKS_OUTPUT_FILE_CALLS_POSIX_H
#define PLATFORM_HOOKS_OUTPUT_FILE_CALLS_POSIX_H

// The system calls of output_file_posix.cpp that tests need to make fail or
// to watch, reached through a table. The program never changes it; a test
// replaces an entry to provoke what a real file system will not produce on
// demand (an interrupted or failing write, a file system that refuses the
// bits) or to see the mode a file is created with, and puts it back.

#include <sys/types.h>

#include <cstddef>

namespace platform {

struct OutputFileCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  int (*fchmod)(int fd, mode_t mode);
};
extern OutputFileCalls outputFileCalls;

}  // namespace platform

#endif  // PLATFORM_HOOKS_OUTPUT_FILE_CALLS_POSIX_H
