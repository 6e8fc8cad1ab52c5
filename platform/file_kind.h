#ifndef PLATFORM_FILE_KIND_H
#define PLATFORM_FILE_KIND_H

// What stands at a path that did not open as an image, so that a tool can
// say why, one source file per platform (file_kind_posix.cpp,
// file_kind_windows.cpp).

namespace d88cut {

enum class FileKind { kFolder, kDevice, kFifo, kSocket, kOther };

// Why `path` is not a regular file that can be read: true with the kind of
// thing it is in `*kind` where it is no regular file (links are followed,
// as opening follows them); false with the system's reason (an errno
// value) in `*error` where it cannot be reached or opened at all.
bool WhyNotARegularFile(const char* path, FileKind* kind, int* error);

}  // namespace d88cut

#endif  // PLATFORM_FILE_KIND_H
