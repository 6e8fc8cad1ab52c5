// FAT12: MS-DOS and its kin (PC-98 and FM TOWNS disks of 1,024-byte
// sectors among them), and Human68k (X68000).
//
// MS-DOS's boot sector holds the parameter block that lays the disk out:
//   +0x0B u16 bytes a sector   +0x0D sectors a cluster   +0x0E u16 reserved
//   +0x10 FATs                 +0x11 u16 root entries    +0x13 u16 sectors
//   +0x15 media                +0x16 u16 sectors a FAT   +0x18 u16 a track
//   +0x1A u16 heads
// and the disk is FAT12 where those fields agree with each other and with
// the disk's tracks, and the FAT begins with the media byte and 0xFF 0xFF.
// Human68k's boot sector begins with a 68000 branch (0x60) and is not to
// be relied on: its 2HD disks (77 x 2 x 8 x 1024) have their own fixed
// layout (1 reserved sector, 2 FATs of 2 sectors, 192 root entries, a
// sector a cluster); on other disks the block is used where it is sane.
// Logical sector s is on track s / (sectors a track), R s % it + 1 (of one
// head only where the disk has one).
//
// Entries of 32 bytes: an 8-byte name, a 3-byte extension, the attribute
// (0x01 read-only, 0x02 hidden, 0x04 system, 0x08 volume label, 0x10
// folder, 0x20 archive; 0x0F a long name's part), time and date, the u16
// first cluster at 0x1A and the u32 size at 0x1C; a first byte 0x00 ends a
// directory, 0xE5 marks a deleted entry and 0x05 stands for a first byte
// 0xE5. Human68k keeps 10 more bytes of the name at 0x0C to 0x15, after the
// first 8. The FAT has 12 bits a cluster: 0 free, 0xFF7 bad, 0xFF8 and up
// the last; folders are walked, their "." and ".." left out.

#include <cstdint>

#include "file_list.h"
#include "readers.h"

namespace file_system {
namespace {

constexpr std::int32_t kEntrySize = 32;
constexpr std::int32_t kMaxSectorSize = 1024;
constexpr std::int32_t kMaxFatBytes = 12 * 1024;  // 4,085 clusters of 12 bits, and more
constexpr std::int32_t kMaxDepth = 16;
constexpr std::int32_t kMaxFolderClusters = 64;

struct Layout {
  bool human68k;
  std::int32_t sectorSize;
  std::int32_t sectorsPerCluster;
  std::int32_t reserved;
  std::int32_t fats;
  std::int32_t rootEntries;
  std::int32_t sectors;
  std::int32_t sectorsPerFat;
  std::int32_t sectorsPerTrack;
  std::int32_t heads;
  // Worked out from the above.
  std::int32_t rootStart;
  std::int32_t dataStart;
  std::int32_t clusters;  // the last cluster's number + 1
};

bool PowerOfTwo(std::int32_t value, std::int32_t low, std::int32_t high) {
  return value >= low && value <= high && (value & (value - 1)) == 0;
}

bool Complete(Layout* layout) {
  Layout& l = *layout;
  if (!PowerOfTwo(l.sectorSize, 128, kMaxSectorSize) || !PowerOfTwo(l.sectorsPerCluster, 1, 64) ||
      l.reserved < 1 || l.fats < 1 || l.fats > 2 || l.rootEntries < 1 ||
      l.sectorsPerFat < 1 || l.sectorsPerFat * l.sectorSize > kMaxFatBytes ||
      l.sectorsPerTrack < 1 || l.sectorsPerTrack > 64 || l.heads < 1 || l.heads > 2) {
    return false;
  }
  l.rootStart = l.reserved + l.fats * l.sectorsPerFat;
  l.dataStart = l.rootStart + (l.rootEntries * kEntrySize + l.sectorSize - 1) / l.sectorSize;
  if (l.sectors <= l.dataStart) return false;
  l.clusters = (l.sectors - l.dataStart) / l.sectorsPerCluster + 2;
  return l.clusters <= 4085;
}

class FatDisk {
 public:
  explicit FatDisk(DiskSectors& disk) : disk_(disk) {}

  // Reads logical sector `s` whole into `buffer`.
  bool Sector(const Layout& l, std::int32_t s, std::uint8_t* buffer) {
    const std::int32_t track = s / l.sectorsPerTrack;
    const std::int32_t stored = l.heads == 2 ? track : 2 * track;
    return disk_.Read(stored, s % l.sectorsPerTrack + 1, buffer, l.sectorSize) == l.sectorSize;
  }

  // The layout, where the disk is FAT12 (or Human68k, as asked), and its
  // first FAT in fat_.
  bool Recognise(bool human68k, Layout* layout) {
    std::uint8_t boot[kMaxSectorSize];
    const std::int32_t got = disk_.Read(0, 1, boot, kMaxSectorSize);
    if (got < 128 || (boot[0] == 0x60) != human68k) return false;
    Layout& l = *layout;
    l = {human68k, d88::DecodeU16Le(boot + 0x0B), boot[0x0D], d88::DecodeU16Le(boot + 0x0E),
         boot[0x10], d88::DecodeU16Le(boot + 0x11), d88::DecodeU16Le(boot + 0x13),
         d88::DecodeU16Le(boot + 0x16), d88::DecodeU16Le(boot + 0x18),
         d88::DecodeU16Le(boot + 0x1A), 0, 0, 0};
    std::int32_t count = 0;
    const D88Image::SectorRecord* records = disk_.Records(0, &count);
    if (human68k && count == 8 && records[0].dataSize == 1024) {
      l = {true, 1024, 1, 1, 2, 192, 1232, 2, 8, 2, 0, 0, 0};
    }
    if (!Complete(layout) || l.sectorSize != got || count != l.sectorsPerTrack) return false;
    for (std::int32_t k = 0; k < l.sectorsPerFat; ++k) {
      if (!Sector(l, l.reserved + k, fat_ + k * l.sectorSize)) return false;
    }
    return fat_[0] >= 0xF0 && fat_[1] == 0xFF && fat_[2] == 0xFF;
  }

  std::int32_t Next(std::int32_t cluster) const {
    const std::int32_t at = cluster + cluster / 2;
    const std::int32_t pair = fat_[at] | (fat_[at + 1] << 8);
    return (cluster & 1) != 0 ? pair >> 4 : pair & 0xFFF;
  }

  // Walks the chain from `start`, each cluster to `visit` (which may stop
  // it by returning false); returns the clusters walked, or -1 with the
  // fault in *problem and *at.
  template <class Visit>
  std::int32_t Walk(const Layout& l, std::int32_t start, Problem::Kind* problem, std::int32_t* at,
                    Visit visit) {
    static bool seen[4096];
    for (bool& s : seen) s = false;
    std::int32_t count = 0;
    for (std::int32_t cluster = start;;) {
      if (cluster < 2 || cluster >= l.clusters) {
        *problem = cluster == 0 ? Problem::Kind::kChainEndsEarly : Problem::Kind::kChainPastEnd;
        *at = cluster;
        return -1;
      }
      if (seen[cluster]) {
        *problem = Problem::Kind::kChainLoops;
        *at = cluster;
        return -1;
      }
      seen[cluster] = true;
      ++count;
      if (!visit(cluster)) return count;
      const std::int32_t next = Next(cluster);
      if (next >= 0xFF8) return count;
      if (next == 0 || next == 0xFF7) {
        *problem = Problem::Kind::kChainEndsEarly;
        *at = cluster;
        return -1;
      }
      cluster = next;
    }
  }

  DiskSectors& disk_;
  std::uint8_t fat_[kMaxFatBytes + 2] = {};
};

// A folder to walk: its first cluster (0 for the root), and its path.
struct Folder {
  std::int32_t cluster;
  std::int32_t file;  // its entry in the list, or -1 for the root
};

bool ListFat(DiskSectors& disk, FileList* list, bool human68k) {
  FatDisk fat(disk);
  Layout l;
  if (!fat.Recognise(human68k, &l)) return false;
  // Folders waiting to be walked, depth first; and the folders already
  // walked, so that one that holds itself or one above it is not walked
  // again.
  Folder pending[kMaxDepth * 16];
  std::int32_t pendingCount = 0;
  pending[pendingCount++] = {0, -1};
  static bool walked[4096];
  for (bool& w : walked) w = false;
  while (pendingCount > 0) {
    const Folder folder = pending[--pendingCount];
    // The folder's sectors: the root's, or its clusters'.
    std::int32_t sectors[kMaxFolderClusters * 64];
    std::int32_t sectorCount = 0;
    if (folder.cluster == 0) {
      for (std::int32_t s = l.rootStart; s < l.dataStart; ++s) sectors[sectorCount++] = s;
    } else {
      Problem::Kind problem = Problem::Kind::kChainLoops;
      std::int32_t at = 0;
      std::int32_t clusters = 0;
      const std::int32_t walkedCount = fat.Walk(l, folder.cluster, &problem, &at,
                                                [&](std::int32_t cluster) {
        if (++clusters > kMaxFolderClusters) return false;
        for (std::int32_t k = 0; k < l.sectorsPerCluster; ++k) {
          sectors[sectorCount++] = l.dataStart + (cluster - 2) * l.sectorsPerCluster + k;
        }
        return true;
      });
      if (walkedCount < 0) AddProblem(list, problem, folder.file, at);
    }
    const std::uint8_t* folderPath = folder.file < 0 ? nullptr : list->files[folder.file].path;
    std::uint8_t prefix[kMaxPath];
    std::int32_t prefixLength = 0;
    if (folderPath != nullptr) {
      prefixLength = list->files[folder.file].pathLength;
      for (std::int32_t k = 0; k < prefixLength; ++k) prefix[k] = folderPath[k];
      if (prefixLength < kMaxPath) prefix[prefixLength++] = '/';
    }
    bool ended = false;
    for (std::int32_t k = 0; k < sectorCount && !ended; ++k) {
      std::uint8_t sector[kMaxSectorSize];
      if (!fat.Sector(l, sectors[k], sector)) {
        AddProblem(list, Problem::Kind::kSectorMissing, folder.file,
                   sectors[k] / l.sectorsPerTrack);
        break;
      }
      for (std::int32_t e = 0; e < l.sectorSize && !ended; e += kEntrySize) {
        std::uint8_t entry[kEntrySize];
        for (std::int32_t i = 0; i < kEntrySize; ++i) entry[i] = sector[e + i];
        const std::uint8_t attribute = entry[0x0B];
        if (entry[0] == 0x00) {
          ended = true;
          break;
        }
        if (entry[0] == 0xE5 || attribute == 0x0F || (attribute & 0x08) != 0) continue;
        if (entry[0] == 0x05) entry[0] = 0xE5;
        if (entry[0] == '.') continue;  // the folder itself, and the one above
        // The name: 8 bytes, and for Human68k the 10 after the attribute.
        std::uint8_t name[18];
        std::int32_t nameLength = 8;
        for (std::int32_t i = 0; i < 8; ++i) name[i] = entry[i];
        if (l.human68k) {
          for (std::int32_t i = 0; i < 10; ++i) name[8 + i] = entry[0x0C + i];
          nameLength = 18;
          // Trailing spaces of the first part are the name's own padding
          // only where nothing follows them.
          std::int32_t more = 10;
          while (more > 0 && name[8 + more - 1] == 0) --more;
          if (more == 0) nameLength = 8;
        }
        FileEntry* file = AddFile(list, prefix, prefixLength, name, nameLength, entry + 8, 3);
        if (file == nullptr) {
          ended = true;
          break;
        }
        const std::int32_t index = list->fileCount - 1;
        if (!PlausibleName(entry, 11)) AddProblem(list, Problem::Kind::kBadName, index, 0);
        if ((attribute & 0x01) != 0) file->attributes |= kReadOnly;
        if ((attribute & 0x02) != 0) file->attributes |= kHidden;
        if ((attribute & 0x04) != 0) file->attributes |= kSystem;
        if ((attribute & 0x20) != 0) file->attributes |= kArchive;
        file->start = d88::DecodeU16Le(entry + 0x1A);
        if ((attribute & 0x10) != 0) {
          file->type = FileType::kFolder;
          if (file->start >= 2 && file->start < l.clusters && !walked[file->start] &&
              pendingCount < kMaxDepth * 16) {
            walked[file->start] = true;
            pending[pendingCount++] = {file->start, index};
          } else if (file->start >= 2 && file->start < l.clusters && walked[file->start]) {
            AddProblem(list, Problem::Kind::kFolderLoops, index, file->start);
          }
          continue;
        }
        // A size of 2^31 bytes or more, which no disk holds, is listed as
        // 2^31 - 1: still more than its chain, and so said.
        file->size = d88::DecodeU32Le(entry + 0x1C);
        if (file->size < 0) file->size = INT32_MAX;
        if (file->size == 0 && file->start == 0) continue;  // an empty file
        Problem::Kind problem = Problem::Kind::kChainLoops;
        std::int32_t at = 0;
        const std::int32_t clusters =
            fat.Walk(l, file->start, &problem, &at, [](std::int32_t) { return true; });
        if (clusters < 0) {
          AddProblem(list, problem, index, at);
        } else if (file->size > clusters * l.sectorsPerCluster * l.sectorSize) {
          AddProblem(list, Problem::Kind::kSizeBeyondChain, index, file->size);
        }
      }
    }
  }
  return true;
}

}  // namespace

bool ListFat12(DiskSectors& disk, FileList* list) { return ListFat(disk, list, false); }

bool ListHuman68k(DiskSectors& disk, FileList* list) { return ListFat(disk, list, true); }

std::int32_t ReadFatFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                         std::int32_t capacity) {
  FatDisk fat(disk);
  Layout l;
  if (!fat.Recognise(false, &l) && !fat.Recognise(true, &l)) return -1;
  if (file.type == FileType::kFolder) return -1;
  if (file.size == 0) return 0;
  std::int32_t done = 0;
  bool read = true;
  Problem::Kind problem = Problem::Kind::kChainLoops;
  std::int32_t at = 0;
  const std::int32_t clusters = fat.Walk(l, file.start, &problem, &at, [&](std::int32_t cluster) {
    for (std::int32_t k = 0; k < l.sectorsPerCluster && done < file.size && read; ++k) {
      std::uint8_t sector[kMaxSectorSize];
      read = fat.Sector(l, l.dataStart + (cluster - 2) * l.sectorsPerCluster + k, sector);
      const std::int32_t left = file.size - done < capacity - done ? file.size - done : capacity - done;
      const std::int32_t part = left < l.sectorSize ? left : l.sectorSize;
      for (std::int32_t i = 0; i < part && read; ++i) buffer[done + i] = sector[i];
      done += part;
    }
    return read && done < file.size && done < capacity;
  });
  if (clusters < 0 || !read || done < (file.size < capacity ? file.size : capacity)) return -1;
  return done;
}

}  // namespace file_system
