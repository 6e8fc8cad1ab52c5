#ifndef D88IMAGE_SRC_REGULAR_FILE_H
#define D88IMAGE_SRC_REGULAR_FILE_H

#include <cstdio>

namespace d88 {

// Opens `path` for binary reading, without excluding other readers or
// writers. Only a regular file qualifies: a folder or a device opens on some
// systems but is not an image, so it yields nullptr like a missing file.
std::FILE* OpenRegularFileForReading(const char* path);

}  // namespace d88

#endif  // D88IMAGE_SRC_REGULAR_FILE_H
