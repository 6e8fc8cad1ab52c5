// N88-BASIC (PC-8801, PC-9801). One system track holds the directory, an ID
// sector and the FAT:
//   2D (40 x 2 x 16 x 256): track 37 (C 18 H 1); R 1-12 the directory,
//     R 13 the ID sector, R 14-16 three copies of the FAT. 160 clusters of
//     8 sectors: cluster k is track k / 2, R 1-8 for k even, 9-16 for k odd;
//     clusters 74 and 75 are the system track.
//   2HD (77 x 2 x 26 x 256): track 35; R 1-22 the directory, R 24 the FAT.
//     Where its clusters lie no source says: a cluster is taken to be one
//     track of 26 sectors (cluster k is track k), the only size whose count
//     a byte's FAT can hold, which makes the system track cluster 35.
// FAT: a byte a cluster: 0xFF free, 0xFE reserved, 0xC1 up the last
// cluster, its low part the sectors it uses; any other, the next cluster.
// Directory entries of 16 bytes: a 6-byte name, a 3-byte extension, the
// attribute (0x80 tokenised BASIC, 0x01 machine code, 0x10 write-protected,
// 0x20 saved protected; 0x40, on which sources disagree, is not read), the
// first cluster and 5 unused; a first byte 0xFF ends the directory, 0x00
// marks a deleted entry. The file system records no length: a file is all
// the sectors its clusters use.

#include <initializer_list>

#include "byte_fat.h"
#include "readers.h"

namespace file_system {
namespace {

struct N88Layout {
  std::int32_t sectors;  // per track
  std::int32_t systemTrack;
  std::int32_t directorySectors;
  std::int32_t fatSector;
  std::int32_t clusters;
  std::int32_t clustersPerTrack;
  std::int32_t systemClusters[2];
};
constexpr N88Layout k2D = {16, 37, 12, 14, 160, 2, {74, 75}};
constexpr N88Layout k2HD = {26, 35, 22, 24, 154, 1, {35, 35}};
constexpr std::int32_t kSectorSize = 256;
constexpr std::int32_t kEntrySize = 16;

// The disk's layout and its FAT, where it has one of the layouts.
const N88Layout* ReadFat(DiskSectors& disk, std::uint8_t (&fat)[kSectorSize]) {
  for (const N88Layout* layout : {&k2D, &k2HD}) {
    std::int32_t count = 0;
    const D88Image::SectorRecord* records = disk.Records(layout->systemTrack, &count);
    if (count != layout->sectors || records[0].dataSize != kSectorSize ||
        disk.Read(layout->systemTrack, layout->fatSector, fat, kSectorSize) != kSectorSize ||
        fat[layout->systemClusters[0]] != 0xFE || fat[layout->systemClusters[1]] != 0xFE) {
      continue;
    }
    return layout;
  }
  return nullptr;
}

ByteFat FatOf(const N88Layout& layout, const std::uint8_t* fat) {
  const std::int32_t perCluster = layout.sectors / layout.clustersPerTrack;
  return {layout.clusters, perCluster, kSectorSize, 0, layout.clustersPerTrack, 0xFF, 0xFE,
          0xC1, fat};
}

}  // namespace

bool ListN88Basic(DiskSectors& disk, FileList* list) {
  static std::uint8_t fat[kSectorSize];
  const N88Layout* layout = ReadFat(disk, fat);
  if (layout == nullptr) return false;
  const ByteFat byteFat = FatOf(*layout, fat);
  for (std::int32_t s = 1; s <= layout->directorySectors; ++s) {
    std::uint8_t sector[kSectorSize];
    if (disk.Read(layout->systemTrack, s, sector, kSectorSize) != kSectorSize) {
      AddProblem(list, Problem::Kind::kSectorMissing, -1, layout->systemTrack);
      return list->fileCount > 0;
    }
    for (std::int32_t e = 0; e < kSectorSize; e += kEntrySize) {
      const std::uint8_t* entry = sector + e;
      if (entry[0] == 0xFF) return true;
      if (entry[0] == 0x00) continue;
      // A directory that does not parse is no N88-BASIC one.
      if (list->fileCount == 0 && !PlausibleName(entry, 6)) return false;
      FileEntry* file = AddFile(list, nullptr, 0, entry, 6, entry + 6, 3);
      if (file == nullptr) return true;
      const std::int32_t index = list->fileCount - 1;
      if (!PlausibleName(entry, 9)) AddProblem(list, Problem::Kind::kBadName, index, 0);
      const std::uint8_t attribute = entry[9];
      file->type = (attribute & 0x80) != 0   ? FileType::kBasic
                   : (attribute & 0x01) != 0 ? FileType::kMachineCode
                                             : FileType::kAscii;
      if ((attribute & 0x10) != 0) file->attributes |= kReadOnly;
      if ((attribute & 0x20) != 0) file->attributes |= kProtectedSave;
      file->start = entry[10];
      const Chain chain = WalkChain(byteFat, file->start);
      NoteChain(list, index, chain);
      file->size = ChainBytes(byteFat, chain);
    }
  }
  return true;
}

std::int32_t ReadN88BasicFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                              std::int32_t capacity) {
  static std::uint8_t fat[kSectorSize];
  const N88Layout* layout = ReadFat(disk, fat);
  if (layout == nullptr) return -1;
  const ByteFat byteFat = FatOf(*layout, fat);
  return ReadChain(disk, byteFat, WalkChain(byteFat, file.start), buffer, file.size, capacity);
}

}  // namespace file_system
