#ifndef D88IMAGE_SRC_IMAGE_FILE_H
#define D88IMAGE_SRC_IMAGE_FILE_H

// The few file operations the reader needs from its system, one source file
// per platform (image_file_posix.cpp, image_file_windows.cpp). A file is
// named by the system's own handle, held as an integer; -1 is no file.

#include <cstdint>

#include "d88image/image_stream.h"

namespace d88 {

// Opens `path` for reading without waiting on it, and keeps it only if it is
// a regular file; returns its handle, or -1 with why in `*failure`. Sets
// `*size` to the file's size in bytes, or 2^31 - 1 for a file that large or
// larger. The path is looked up once: what stands there is told from the
// open file itself.
std::intptr_t OpenRegularFile(const char* path, std::int32_t* size, OpenFailure* failure);

// Reads up to `count` bytes from `position` on; returns how many arrived,
// fewer only at the end of the file or on a read error.
std::int32_t ReadFileAt(std::intptr_t file, std::int32_t position, std::uint8_t* buffer,
                        std::int32_t count);

void CloseFile(std::intptr_t file);

}  // namespace d88

#endif  // D88IMAGE_SRC_IMAGE_FILE_H
