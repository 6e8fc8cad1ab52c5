#ifndef PLATFORM_SRC_OUTPUT_FILE_SYSTEM_H
#define PLATFORM_SRC_OUTPUT_FILE_SYSTEM_H

// What the output writer needs from the system, one source file per
// platform (output_file_posix.cpp, output_file_windows.cpp). Every call that
// fails gives the system's reason as an errno value in `*error`.

#include <cstdint>

namespace platform {

// Permission bits for a new file; kDefaultMode: what any new file gets.
constexpr std::int32_t kDefaultMode = -1;

int ProcessId();

// Whether `c` separates a path's folders from its name ('/', and on
// Windows '\\' too).
bool IsSeparator(char c);

// Looks at what stands at `name` now, without following a symbolic link:
// nothing, a link or a regular file the caller may write can be replaced
// (a regular file's permission bits go to `*mode`, kDefaultMode otherwise);
// a folder (EISDIR) or a file the caller may not write (EACCES) cannot.
bool CheckReplaceable(const char* name, std::int32_t* mode, int* error);

// Creates `path`, which must not exist yet (EEXIST if it does), writes all
// of `data` to it and gives it the permission bits `mode`. Until then
// nobody but its owner may open it. Until the file is moved or removed, an
// interruption of the process removes it first. On failure nothing is left
// at `path`.
bool CreateTemporary(const char* path, std::int32_t mode, const std::uint8_t* data,
                     std::int32_t size, int* error);

// Moves the temporary file `path` over `name` in one step; on failure
// removes it.
bool MoveTemporary(const char* path, const char* name, int* error);

}  // namespace platform

#endif  // PLATFORM_SRC_OUTPUT_FILE_SYSTEM_H
