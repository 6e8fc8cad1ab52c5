#include "file_list.h"

namespace file_system {
namespace {

// The length of `bytes` without its trailing spaces and NULs.
std::int32_t Trimmed(const std::uint8_t* bytes, std::int32_t length) {
  while (length > 0 && (bytes[length - 1] == ' ' || bytes[length - 1] == 0)) --length;
  return length;
}

}  // namespace

void AddProblem(FileList* list, Problem::Kind kind, std::int32_t file, std::int32_t value) {
  if (list->problemCount < kMaxProblems) list->problems[list->problemCount] = {kind, file, value};
  ++list->problemCount;
}

FileEntry* AddFile(FileList* list, const std::uint8_t* folder, std::int32_t folderLength,
                   const std::uint8_t* name, std::int32_t nameLength,
                   const std::uint8_t* extension, std::int32_t extensionLength) {
  if (list->fileCount == kMaxFiles) {
    bool said = false;
    for (std::int32_t k = 0; k < list->problemCount && k < kMaxProblems; ++k) {
      said = said || list->problems[k].kind == Problem::Kind::kTooManyFiles;
    }
    if (!said) AddProblem(list, Problem::Kind::kTooManyFiles, -1, kMaxFiles);
    return nullptr;
  }
  nameLength = Trimmed(name, nameLength);
  extensionLength = Trimmed(extension, extensionLength);
  const std::int32_t length =
      folderLength + nameLength + (extensionLength > 0 ? 1 + extensionLength : 0);
  if (length > kMaxPath) {
    AddProblem(list, Problem::Kind::kPathTooLong, -1, length);
    return nullptr;
  }
  FileEntry& entry = list->files[list->fileCount++];
  entry = FileEntry{};
  std::int32_t at = 0;
  for (std::int32_t k = 0; k < folderLength; ++k) entry.path[at++] = folder[k];
  for (std::int32_t k = 0; k < nameLength; ++k) entry.path[at++] = name[k];
  if (extensionLength > 0) {
    entry.path[at++] = '.';
    for (std::int32_t k = 0; k < extensionLength; ++k) entry.path[at++] = extension[k];
  }
  entry.pathLength = at;
  entry.nameOffset = folderLength;
  return &entry;
}

bool PlausibleName(const std::uint8_t* name, std::int32_t length) {
  bool any = false;
  for (std::int32_t k = 0; k < length; ++k) {
    if (name[k] < 0x20) return false;
    any = any || name[k] != ' ';
  }
  return any;
}

}  // namespace file_system
