#ifndef FILE_SYSTEM_SRC_FILE_LIST_H
#define FILE_SYSTEM_SRC_FILE_LIST_H

// Filling a FileList: files and problems, each within the list's limits.

#include <cstdint>

#include "file_system/file_system.h"

namespace file_system {

// Notes a problem; past kMaxProblems it is counted, not kept.
void AddProblem(FileList* list, Problem::Kind kind, std::int32_t file, std::int32_t value);

// A new file named by `folder` (`folderLength` bytes, may be 0), then
// `name` and, if `extensionLength` is not 0, '.' and `extension`, each with
// its trailing spaces (and NULs) left out; returns it, or nullptr (with the
// problem noted) where the list or the path is full.
FileEntry* AddFile(FileList* list, const std::uint8_t* folder, std::int32_t folderLength,
                   const std::uint8_t* name, std::int32_t nameLength,
                   const std::uint8_t* extension, std::int32_t extensionLength);

// Whether a name's bytes are such as its file system writes: none below
// 0x20, and not empty.
bool PlausibleName(const std::uint8_t* name, std::int32_t length);

}  // namespace file_system

#endif  // FILE_SYSTEM_SRC_FILE_LIST_H
