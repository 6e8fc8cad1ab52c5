// Which file system a disk carries, in the order they are tried: those
// told by a parameter block or an ID sector first, CP/M, told only by a
// directory that parses, last.

#include "file_system/file_system.h"

#include "disk_sectors.h"
#include "readers.h"

namespace file_system {
namespace {

constexpr FileSystemReader kReaders[] = {
    {Type::kHuman68k, false, ListHuman68k, ReadFatFile},
    {Type::kFat12, false, ListFat12, ReadFatFile},
    {Type::kN88Basic, false, ListN88Basic, ReadN88BasicFile},
    {Type::kFBasic, false, ListFBasic, ReadFBasicFile},
    {Type::kHuBasic, false, ListHuBasic, ReadHuBasicFile},
    {Type::kMzBasic, true, ListHuBasic, ReadHuBasicFile},
    {Type::kCpm, false, ListCpm, ReadCpmFile},
};

}  // namespace

const char* TypeName(Type type) {
  switch (type) {
    case Type::kNone: return "none";
    case Type::kN88Basic: return "n88-basic";
    case Type::kFBasic: return "f-basic";
    case Type::kHuBasic: return "hu-basic";
    case Type::kMzBasic: return "mz-basic";
    case Type::kFat12: return "fat12";
    case Type::kHuman68k: return "human68k";
    case Type::kCpm: return "cpm";
  }
  return "none";
}

const char* FileTypeName(FileType type) {
  switch (type) {
    case FileType::kFile: return "file";
    case FileType::kFolder: return "folder";
    case FileType::kBasic: return "basic";
    case FileType::kAscii: return "ascii";
    case FileType::kMachineCode: return "machine code";
    case FileType::kData: return "data";
  }
  return "file";
}

const char* AttributeName(std::int32_t k) {
  static constexpr const char* kNames[kAttributeCount] = {
      "read-only", "hidden", "system", "archive", "verify", "protected save", "random access",
      "password"};
  return k >= 0 && k < kAttributeCount ? kNames[k] : "";
}

bool ListFiles(D88Image& image, FileList* list) {
  for (const FileSystemReader& reader : kReaders) {
    DiskSectors disk(image, reader.invertedAndSwapped);
    list->type = Type::kNone;
    list->fileCount = 0;
    list->problemCount = 0;
    if (reader.list(disk, list)) {
      list->type = reader.type;
      return true;
    }
  }
  list->type = Type::kNone;
  list->fileCount = 0;
  list->problemCount = 0;
  return false;
}

std::int32_t ReadFile(D88Image& image, const FileList& list, std::int32_t index,
                      std::uint8_t* buffer, std::int32_t capacity) {
  if (index < 0 || index >= list.fileCount) return -1;
  for (const FileSystemReader& reader : kReaders) {
    if (reader.type != list.type) continue;
    DiskSectors disk(image, reader.invertedAndSwapped);
    return reader.read(disk, list.files[index], buffer, capacity);
  }
  return -1;
}

}  // namespace file_system
