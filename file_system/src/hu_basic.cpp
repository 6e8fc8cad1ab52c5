// Hu-BASIC (X1, and the MZ-2500's), and MZ DISK BASIC, whose disks hold
// the same layout with every byte inverted and the heads the other way
// round (DiskSectors undoes both). On a 2D disk (40 x 2 x 16 x 256) a
// cluster is one track of 16 sectors, cluster = 2 x cylinder + head, 80 of
// them; clusters 0 and 1 are the boot track and the directory's.
//   C 0 H 0 R 1    the boot entry
//   C 0 H 0 R 15   the FAT: a byte a cluster: 0x00 free, 0x80 + (the last
//                  sector used, from 0) the last cluster, any other the next
//   C 0 H 1        the directory, R 1 to 16, 8 entries a sector
// Entries of 32 bytes: the mode (0x00 deleted, 0xFF the end; 0x80 a
// folder, 0x40 read-only, 0x20 verified, 0x10 hidden; 0x01 machine code,
// 0x02 BASIC, 0x04 ASCII), a 13-byte name and a 3-byte extension padded
// with spaces, a password byte (0x20 for none), the u16 size, the u16 load
// and execute addresses, the date and time (0x18 to 0x1C, as Hu-BASIC
// writes them), 0, and the u16 first cluster at 0x1E.
// An ASCII file saved by Hu-BASIC itself may record a size of 0, its text
// in its chain ended by 0x1A: its size is then the text's, up to the 0x1A.
// A 2HD disk's clusters are more than such a FAT can name (its values
// from 0x80 on end a chain): no layout is taken for it.

#include "byte_fat.h"
#include "readers.h"

namespace file_system {
namespace {

constexpr std::int32_t kSectorSize = 256;
constexpr std::int32_t kSectorsPerTrack = 16;
constexpr std::int32_t kClusters = 80;
constexpr std::int32_t kFatTrack = 0;
constexpr std::int32_t kFatSector = 15;
constexpr std::int32_t kDirectoryTrack = 1;
constexpr std::int32_t kEntrySize = 32;
constexpr std::uint8_t kEndOfText = 0x1A;

bool ReadFat(DiskSectors& disk, std::uint8_t (&fat)[kSectorSize], ByteFat* byteFat) {
  std::int32_t count = 0;
  const D88Image::SectorRecord* records = disk.Records(kFatTrack, &count);
  if (count != kSectorsPerTrack || records[0].dataSize != kSectorSize ||
      disk.Read(kFatTrack, kFatSector, fat, kSectorSize) != kSectorSize) {
    return false;
  }
  // Clusters 0 and 1 are in use and each the last of its chain.
  if (fat[0] == 0x00 || fat[1] < 0x80 || fat[1] > 0x8F) return false;
  *byteFat = {kClusters, kSectorsPerTrack, kSectorSize, 0, 1, 0x00, -1, 0x80, fat};
  return true;
}

// The length of an ASCII text kept in `chain` that ends with 0x1A.
std::int32_t TextLength(DiskSectors& disk, const ByteFat& fat, const Chain& chain) {
  static std::uint8_t text[kClusters * kSectorsPerTrack * kSectorSize];
  const std::int32_t got = ReadChain(disk, fat, chain, text, ChainBytes(fat, chain), sizeof text);
  for (std::int32_t k = 0; k < got; ++k) {
    if (text[k] == kEndOfText) return k;
  }
  return got < 0 ? 0 : got;
}

}  // namespace

bool ListHuBasic(DiskSectors& disk, FileList* list) {
  static std::uint8_t fat[kSectorSize];
  ByteFat byteFat;
  if (!ReadFat(disk, fat, &byteFat)) return false;
  for (std::int32_t r = 1; r <= kSectorsPerTrack; ++r) {
    std::uint8_t sector[kSectorSize];
    if (disk.Read(kDirectoryTrack, r, sector, kSectorSize) != kSectorSize) return false;
    for (std::int32_t e = 0; e < kSectorSize; e += kEntrySize) {
      const std::uint8_t* entry = sector + e;
      const std::uint8_t mode = entry[0];
      if (mode == 0xFF) return true;
      if (mode == 0x00) continue;
      // A directory that does not parse is no Hu-BASIC one.
      if (list->fileCount == 0 && !PlausibleName(entry + 1, 13)) return false;
      FileEntry* file = AddFile(list, nullptr, 0, entry + 1, 13, entry + 14, 3);
      if (file == nullptr) return true;
      const std::int32_t index = list->fileCount - 1;
      if (!PlausibleName(entry + 1, 16)) AddProblem(list, Problem::Kind::kBadName, index, 0);
      file->type = (mode & 0x80) != 0   ? FileType::kFolder
                   : (mode & 0x01) != 0 ? FileType::kMachineCode
                   : (mode & 0x02) != 0 ? FileType::kBasic
                   : (mode & 0x04) != 0 ? FileType::kAscii
                                        : FileType::kData;
      if ((mode & 0x40) != 0) file->attributes |= kReadOnly;
      if ((mode & 0x20) != 0) file->attributes |= kVerify;
      if ((mode & 0x10) != 0) file->attributes |= kHidden;
      if (entry[17] != 0x20 && entry[17] != 0x00) file->attributes |= kPassword;
      file->start = d88::DecodeU16Le(entry + 0x1E);
      file->size = d88::DecodeU16Le(entry + 0x12);
      if (file->type == FileType::kFolder) continue;
      const Chain chain = WalkChain(byteFat, file->start);
      NoteChain(list, index, chain);
      if (chain.broken) continue;
      if (file->size == 0 && file->type == FileType::kAscii) {
        file->size = TextLength(disk, byteFat, chain);
      } else if (file->size > ChainBytes(byteFat, chain)) {
        AddProblem(list, Problem::Kind::kSizeBeyondChain, index, file->size);
      }
    }
  }
  return true;
}

std::int32_t ReadHuBasicFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                             std::int32_t capacity) {
  static std::uint8_t fat[kSectorSize];
  ByteFat byteFat;
  if (!ReadFat(disk, fat, &byteFat)) return -1;
  const Chain chain = WalkChain(byteFat, file.start);
  if (file.size > ChainBytes(byteFat, chain)) return -1;
  return ReadChain(disk, byteFat, chain, buffer, file.size, capacity);
}

}  // namespace file_system
