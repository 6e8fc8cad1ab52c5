#ifndef PLATFORM_FOLDER_H
#define PLATFORM_FOLDER_H

// Folders a tool makes for the files it writes, one source file per
// platform (folder_posix.cpp, folder_windows.cpp).

namespace platform {

// Makes the folder `path` where nothing stands there, and accepts one that
// is a folder already; anything else (a file, or a link, which could lead
// elsewhere) is refused with the system's reason (an errno value: ENOTDIR,
// or ELOOP for a link) in `*error`.
bool MakeFolder(const char* path, int* error);

}  // namespace platform

#endif  // PLATFORM_FOLDER_H
