#ifndef PLATFORM_SRC_FILE_PERMISSIONS_H
#define PLATFORM_SRC_FILE_PERMISSIONS_H

// Permission bits as the writer meets them, one source file per POSIX
// platform (file_permissions_posix.cpp, file_permissions_web.cpp); Windows
// has the read-only attribute instead.

#include <sys/types.h>

namespace platform {

// True if opening the existing file `name` for writing would be allowed;
// false with the system's reason (an errno value) in `*error`.
bool CallerMayWrite(const char* name, int* error);

// The permission bits a file the process creates ends up with.
mode_t NewFileMode();

}  // namespace platform

#endif  // PLATFORM_SRC_FILE_PERMISSIONS_H
