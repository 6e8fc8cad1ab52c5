#ifndef FILE_SYSTEM_SRC_READERS_H
#define FILE_SYSTEM_SRC_READERS_H

// Each file system is one file (n88_basic.cpp, ...) with two functions: one
// that tells whether the disk carries it and lists its files, one that
// reads a file it listed. file_system.cpp tries them in order.

#include <cstdint>

#include "disk_sectors.h"
#include "file_system/file_system.h"

namespace file_system {

struct FileSystemReader {
  Type type;
  // Whether the disk's bytes are stored inverted, its sides swapped.
  bool invertedAndSwapped;
  // Lists the files where the disk carries this file system (true); leaves
  // `list` empty otherwise (false).
  bool (*list)(DiskSectors& disk, FileList* list);
  // Reads `file` (listed by `list`) into `buffer`, as ReadFile does.
  std::int32_t (*read)(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                       std::int32_t capacity);
};

bool ListFat12(DiskSectors& disk, FileList* list);
bool ListHuman68k(DiskSectors& disk, FileList* list);
std::int32_t ReadFatFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                         std::int32_t capacity);
bool ListN88Basic(DiskSectors& disk, FileList* list);
std::int32_t ReadN88BasicFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                              std::int32_t capacity);
bool ListFBasic(DiskSectors& disk, FileList* list);
std::int32_t ReadFBasicFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                            std::int32_t capacity);
bool ListHuBasic(DiskSectors& disk, FileList* list);
std::int32_t ReadHuBasicFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                             std::int32_t capacity);
bool ListCpm(DiskSectors& disk, FileList* list);
std::int32_t ReadCpmFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                         std::int32_t capacity);

}  // namespace file_system

#endif  // FILE_SYSTEM_SRC_READERS_H
