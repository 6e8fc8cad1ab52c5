// CP/M. Nothing on the disk says how CP/M lays it out; each machine has
// its own parameters. Those read here were established on real disks:
//   the X1 turbo's 2D: 16 sectors of 256 bytes (R 1-16) a track, both
//     heads, the first 4 tracks (2 cylinders) reserved, blocks of 2 KB,
//     64 directory entries in block 0; logical sector s of a track is R
//     s + 1, the sectors' interleave being in their order on the track;
//   the Amstrad CPC's data format: 9 sectors of 512 bytes (R 0xC1-0xC9),
//     one head, no reserved track, blocks of 1 KB, 64 entries in blocks 0
//     and 1;
//   an 8-inch double-sided disk: cylinder 0 reserved (two tracks of 26
//     sectors of 128 bytes in single density), then 8 sectors of 1,024
//     bytes (R 1-8) a track, blocks of 2 KB, 256 entries in blocks 0 to 3.
// Directory entries of 32 bytes: the user (0-15; 0xE5 a deleted entry),
// an 8-byte name and a 3-byte extension (their top bits attributes: the
// extension's first read-only, its second system), the extent's number
// (EX, and S2 at 14, counting 32 of them), its records (RC, of 128 bytes)
// and its blocks: 16 numbers of a byte where the disk has at most 256
// blocks, else 8 of two bytes. A file is its
// entries' blocks in the order of their extents, all its records long.
// Files of user 1 to 15 are listed in a folder named after the user.

#include "file_list.h"
#include "readers.h"

namespace file_system {
namespace {

struct CpmLayout {
  std::int32_t sectors;
  std::int32_t sectorSize;
  std::int32_t firstR;
  bool doubleSided;
  std::int32_t reservedTracks;
  std::int32_t blockSize;
  std::int32_t directoryEntries;
};
constexpr CpmLayout kLayouts[] = {
    {16, 256, 1, true, 4, 2048, 64},
    {9, 512, 0xC1, false, 0, 1024, 64},
    {8, 1024, 1, true, 2, 2048, 256},
};
constexpr std::int32_t kEntrySize = 32;
constexpr std::int32_t kRecordSize = 128;
constexpr std::int32_t kDeleted = 0xE5;
constexpr std::int32_t kMaxDirectoryBytes = 256 * kEntrySize;

struct CpmDisk {
  const CpmLayout* layout;
  std::int32_t blocks;  // on the disk, after the reserved tracks
  bool wide;            // block numbers of two bytes
  std::uint8_t directory[kMaxDirectoryBytes];
};

// The number of an entry's block `k`, and how many it has room for.
std::int32_t Pointers(const CpmDisk& cpm) { return cpm.wide ? 8 : 16; }
std::int32_t BlockOf(const CpmDisk& cpm, const std::uint8_t* entry, std::int32_t k) {
  return cpm.wide ? d88::DecodeU16Le(entry + 16 + 2 * k) : entry[16 + k];
}

// Reads block `block`'s sector `k` (from 0) into `buffer`.
bool BlockSector(DiskSectors& disk, const CpmLayout& l, std::int32_t block, std::int32_t k,
                 std::uint8_t* buffer) {
  const std::int32_t s = block * (l.blockSize / l.sectorSize) + k;
  const std::int32_t track = l.reservedTracks + s / l.sectors;
  const std::int32_t stored = l.doubleSided ? track : 2 * track;
  return disk.Read(stored, l.firstR + s % l.sectors, buffer, l.sectorSize) == l.sectorSize;
}

bool LiveEntry(const std::uint8_t* entry) { return entry[0] <= 15; }

// Whether an entry is such as CP/M writes: a deleted one, or a user's of a
// name in 7-bit text, at most 128 records and blocks on the disk.
bool PlausibleEntry(const CpmDisk& cpm, const std::uint8_t* entry) {
  if (entry[0] == kDeleted) return true;
  if (!LiveEntry(entry) || entry[15] > 0x80 || entry[12] > 31) return false;
  for (std::int32_t k = 1; k < 12; ++k) {
    const std::int32_t c = entry[k] & 0x7F;
    if (c < 0x20 || c == 0x7F) return false;
  }
  for (std::int32_t k = 0; k < Pointers(cpm); ++k) {
    if (BlockOf(cpm, entry, k) >= cpm.blocks) return false;
  }
  return true;
}

// The disk's layout and directory, where it is CP/M's: a directory that
// parses, with a file in it.
bool Recognise(DiskSectors& disk, CpmDisk* cpm) {
  for (const CpmLayout& l : kLayouts) {
    const std::int32_t firstTrack = l.doubleSided ? l.reservedTracks : 2 * l.reservedTracks;
    std::int32_t count = 0;
    const D88Image::SectorRecord* records = disk.Records(firstTrack, &count);
    if (count != l.sectors || records[0].dataSize != l.sectorSize) continue;
    const std::int32_t tracks = l.doubleSided ? disk.LastTrack() + 1 : disk.LastTrack() / 2 + 1;
    cpm->layout = &l;
    cpm->blocks = (tracks - l.reservedTracks) * l.sectors * l.sectorSize / l.blockSize;
    cpm->wide = cpm->blocks > 256;
    const std::int32_t bytes = l.directoryEntries * kEntrySize;
    bool read = true;
    for (std::int32_t k = 0; k < bytes / l.sectorSize && read; ++k) {
      read = BlockSector(disk, l, 0, k, cpm->directory + k * l.sectorSize);
    }
    bool plausible = read;
    bool any = false;
    for (std::int32_t e = 0; e < bytes && plausible; e += kEntrySize) {
      plausible = PlausibleEntry(*cpm, cpm->directory + e);
      any = any || LiveEntry(cpm->directory + e);
    }
    if (plausible && any) return true;
  }
  return false;
}

// Whether entries `a` and `b` belong to one file: the same user and name.
bool SameFile(const std::uint8_t* a, const std::uint8_t* b) {
  if (a[0] != b[0]) return false;
  for (std::int32_t k = 1; k < 12; ++k) {
    if ((a[k] & 0x7F) != (b[k] & 0x7F)) return false;
  }
  return true;
}

std::int32_t ExtentOf(const std::uint8_t* entry) { return entry[14] * 32 + entry[12]; }

}  // namespace

bool ListCpm(DiskSectors& disk, FileList* list) {
  static CpmDisk cpm;
  if (!Recognise(disk, &cpm)) return false;
  const std::int32_t bytes = cpm.layout->directoryEntries * kEntrySize;
  for (std::int32_t e = 0; e < bytes; e += kEntrySize) {
    const std::uint8_t* entry = cpm.directory + e;
    if (!LiveEntry(entry)) continue;
    // Each file once, at its first entry; its size from all of them.
    bool earlier = false;
    for (std::int32_t o = 0; o < e && !earlier; o += kEntrySize) {
      earlier = SameFile(cpm.directory + o, entry);
    }
    if (earlier) continue;
    std::uint8_t name[11];
    for (std::int32_t k = 0; k < 11; ++k) name[k] = entry[1 + k] & 0x7F;
    std::uint8_t folder[3];
    std::int32_t folderLength = 0;
    if (entry[0] >= 10) folder[folderLength++] = '1';
    if (entry[0] != 0) {
      folder[folderLength++] = static_cast<std::uint8_t>('0' + entry[0] % 10);
      folder[folderLength++] = '/';
    }
    FileEntry* file = AddFile(list, folder, folderLength, name, 8, name + 8, 3);
    if (file == nullptr) return true;
    if (!PlausibleName(name, 11)) AddProblem(list, Problem::Kind::kBadName, list->fileCount - 1, 0);
    if ((entry[9] & 0x80) != 0) file->attributes |= kReadOnly;
    if ((entry[10] & 0x80) != 0) file->attributes |= kSystem;
    file->start = BlockOf(cpm, entry, 0);
    std::int32_t records = 0;
    for (std::int32_t o = e; o < bytes; o += kEntrySize) {
      const std::uint8_t* other = cpm.directory + o;
      if (!SameFile(other, entry)) continue;
      const std::int32_t upTo = ExtentOf(other) * kRecordSize + other[15];
      if (upTo > records) records = upTo;
    }
    file->size = records * kRecordSize;
  }
  return true;
}

std::int32_t ReadCpmFile(DiskSectors& disk, const FileEntry& file, std::uint8_t* buffer,
                         std::int32_t capacity) {
  static CpmDisk cpm;
  if (!Recognise(disk, &cpm)) return -1;
  const CpmLayout& l = *cpm.layout;
  const std::int32_t bytes = l.directoryEntries * kEntrySize;
  // The file: the entry whose first block is the one listed.
  const std::uint8_t* first = nullptr;
  for (std::int32_t e = 0; e < bytes && first == nullptr; e += kEntrySize) {
    const std::uint8_t* entry = cpm.directory + e;
    if (LiveEntry(entry) && BlockOf(cpm, entry, 0) == file.start) first = entry;
  }
  if (first == nullptr) return -1;
  const std::int32_t wanted = file.size < capacity ? file.size : capacity;
  // An entry's blocks hold (mask + 1) extents of 128 records: its extent's
  // number with the mask's bits cleared is the first of them.
  const std::int32_t mask = Pointers(cpm) * l.blockSize / (128 * kRecordSize) - 1;
  std::int32_t copied = 0;
  for (std::int32_t e = 0; e < bytes; e += kEntrySize) {
    const std::uint8_t* entry = cpm.directory + e;
    if (!SameFile(entry, first)) continue;
    const std::int32_t base = (ExtentOf(entry) & ~mask) * 128 * kRecordSize;
    for (std::int32_t p = 0; p < Pointers(cpm) && BlockOf(cpm, entry, p) != 0; ++p) {
      for (std::int32_t k = 0; k < l.blockSize / l.sectorSize; ++k) {
        const std::int32_t at = base + p * l.blockSize + k * l.sectorSize;
        if (at >= wanted) break;
        std::uint8_t sector[1024];
        if (!BlockSector(disk, l, BlockOf(cpm, entry, p), k, sector)) return -1;
        const std::int32_t part = l.sectorSize < wanted - at ? l.sectorSize : wanted - at;
        for (std::int32_t i = 0; i < part; ++i) buffer[at + i] = sector[i];
        copied += part;
      }
    }
  }
  return copied == wanted ? wanted : -1;
}

}  // namespace file_system
