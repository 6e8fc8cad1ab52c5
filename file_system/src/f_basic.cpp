// F-BASIC (FM-7, FM-77). Track 0 is reserved; its R 3 (head 0) is the ID
// sector, whose first byte is 'S' on a 2D disk and 'E' on a 2DD one.
// Cylinder 1 manages the disk: the FAT at head 0 R 1 (byte 0 is 0x00, or
// 0xE5 on a disk just formatted; byte 1 0xFF; a byte per cluster from byte
// 5 on), the directory from head 0 R 4 to head 1 R 16, 8 entries a sector.
// The data starts at cylinder 2 (track 4): on 2D, 152 clusters of 8
// sectors, cluster k on track 4 + k / 2 at R 1-8 (k even) or 9-16 (odd).
// A 2DD disk has 312 such halves of a track, more than a FAT sector holds;
// its cluster is taken to be a whole track (16 sectors), 156 of them, as
// no source says.
// FAT: 0xFF free, 0xFE system, 0xC0 + (sectors used - 1) the last cluster,
// any other the next. Entries of 32 bytes: an 8-byte name, 3 unused, the
// type (0 BASIC, 1 data, 2 machine code), the ASCII flag (0x00 binary, 0xFF
// ASCII), the random-access flag, the first cluster, 17 reserved; a first
// byte 0xFF ends the directory, 0x00 marks a deleted entry. No length is
// recorded: a file is all the sectors its clusters use.

#include "byte_fat.h"
#include "readers.h"

namespace file_system {
namespace {

constexpr std::int32_t kSectorSize = 256;
constexpr std::int32_t kEntrySize = 32;
constexpr std::int32_t kIdTrack = 0;
constexpr std::int32_t kIdSector = 3;
constexpr std::int32_t kFatTrack = 2;
constexpr std::int32_t kFatSector = 1;
constexpr std::int32_t kFirstEntry = 5;
constexpr std::int32_t kDataTrack = 4;

// The FAT, where the disk is F-BASIC's, and the FAT's layout.
bool ReadFat(DiskSectors& disk, std::uint8_t (&fat)[kSectorSize], ByteFat* byteFat) {
  std::uint8_t id[kSectorSize];
  if (disk.Read(kIdTrack, kIdSector, id, kSectorSize) != kSectorSize ||
      (id[0] != 'S' && id[0] != 'E') ||
      disk.Read(kFatTrack, kFatSector, fat, kSectorSize) != kSectorSize ||
      (fat[0] != 0x00 && fat[0] != 0xE5) || fat[1] != 0xFF) {
    return false;
  }
  const bool twoDd = id[0] == 'E';
  *byteFat = {twoDd ? 156 : 152, twoDd ? 16 : 8, kSectorSize, kDataTrack, twoDd ? 1 : 2,
              0xFF, 0xFE, 0xC0, fat + kFirstEntry};
  return true;
}

}  // namespace

bool ListFBasic(DiskSectors& disk, FileList* list) {
  static std::uint8_t fat[kSectorSize];
  ByteFat byteFat;
  if (!ReadFat(disk, fat, &byteFat)) return false;
  // The directory: head 0 R 4 to 16, then head 1 R 1 to 16.
  for (std::int32_t n = 0; n < 13 + 16; ++n) {
    const std::int32_t track = n < 13 ? kFatTrack : kFatTrack + 1;
    const std::int32_t r = n < 13 ? 4 + n : n - 12;
    std::uint8_t sector[kSectorSize];
    if (disk.Read(track, r, sector, kSectorSize) != kSectorSize) {
      AddProblem(list, Problem::Kind::kSectorMissing, -1, track);
      return true;
    }
    for (std::int32_t e = 0; e < kSectorSize; e += kEntrySize) {
      const std::uint8_t* entry = sector + e;
      if (entry[0] == 0xFF) return true;
      if (entry[0] == 0x00) continue;
      FileEntry* file = AddFile(list, nullptr, 0, entry, 8, nullptr, 0);
      if (file == nullptr) return true;
      const std::int32_t index = list->fileCount - 1;
      if (!PlausibleName(entry, 8)) AddProblem(list, Problem::Kind::kBadName, index, 0);
      const bool ascii = entry[12] == 0xFF;
      file->type = entry[11] == 2   ? FileType::kMachineCode
                   : entry[11] == 1 ? FileType::kData
                   : ascii          ? FileType::kAscii
                                    : FileType::kBasic;
      if (entry[13] != 0) file->attributes |= kRandomAccess;
      file->start = entry[14];
      const Chain chain = WalkChain(byteFat, file->start);
      NoteChain(list, index, chain);
      file->size = ChainBytes(byteFat, chain);
    }
  }
  return true;
}

std::int32_t ReadFBasicFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                            std::int32_t capacity) {
  static std::uint8_t fat[kSectorSize];
  ByteFat byteFat;
  if (!ReadFat(disk, fat, &byteFat)) return -1;
  return ReadChain(disk, byteFat, WalkChain(byteFat, file.start), buffer, file.size, capacity);
}

}  // namespace file_system
