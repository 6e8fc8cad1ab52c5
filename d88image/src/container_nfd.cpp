// NFD (T98-Next, PC-98), revisions 0 and 1. Both begin alike:
//   +0      "T98FDDIMAGE.R0" or ".R1", and a NUL
//   +0x10   a comment of 256 bytes
//   +0x110  u32 header size (r0: where the data begins)
//   +0x114  write protect (non-zero: protected)
//   +0x115  heads
// r0: from 0x120, 163 tracks x 26 entries x 16 bytes:
//   C, H, R, N, MFM (0: single density), DDAM (1: deleted data), the BIOS
//   status (as a D88's), ST0, ST1, ST2, PDA, 5 reserved; C = 0xFF: unused.
//   The data follows from the header size on, 128 << N bytes for each used
//   entry, in the table's order.
// r1: from 0x120, 164 u32 offsets, one per track (0: none). At each, a
//   16-byte summary (u16 sectors, u16 "special read" entries, 12 reserved),
//   the sectors' 16-byte entries (C, H, R, N, MFM, DDAM, status, ST0, ST1,
//   ST2, retries, PDA, 4 reserved), the special-read entries (16 bytes
//   each), then each sector's data, 128 << N bytes, in the entries' order.
//   Where the special reads' alternate data stands no source says; it is
//   taken to follow the sectors' data, and it is not read.

#include <cstring>

#include "container_reader.h"

namespace d88 {
namespace {

constexpr char kMagicR0[] = "T98FDDIMAGE.R0";
constexpr char kMagicR1[] = "T98FDDIMAGE.R1";
constexpr std::int32_t kMagicSize = 15;  // with its NUL
constexpr std::int32_t kHeaderSizeOffset = 0x110;
constexpr std::int32_t kProtectOffset = 0x114;
constexpr std::int32_t kTablesOffset = 0x120;
constexpr std::int32_t kR0Tracks = 163;
constexpr std::int32_t kR0EntriesPerTrack = 26;
constexpr std::int32_t kEntrySize = 16;
constexpr std::int32_t kR1Tracks = 164;
constexpr std::int32_t kTrackSummarySize = 16;
constexpr std::int32_t kUnused = 0xFF;
constexpr std::int32_t kLargestSizeCode = 7;

std::int32_t Revision(ContainerFile& file) {
  std::uint8_t magic[kMagicSize];
  if (!file.Read(0, magic, kMagicSize)) return -1;
  if (std::memcmp(magic, kMagicR0, kMagicSize) == 0) return 0;
  if (std::memcmp(magic, kMagicR1, kMagicSize) == 0) return 1;
  return -1;
}

SectorFacts FactsOf(const std::uint8_t* entry) {
  SectorFacts facts = FactsOfId(entry);
  facts.density = entry[4] != 0 ? kDoubleDensity : kSingleDensity;
  facts.deletedMark = entry[5] != 0 ? kDeletedData : 0;
  facts.status = entry[6];
  if (facts.deletedMark != 0 && facts.status == kStatusNone) facts.status = kDeletedData;
  return facts;
}

// Adds the sector of `entry` with its data from `*position` on; false,
// with the fault noted, where it cannot be.
bool AddSector(ContainerFile& file, D88Writer& writer, std::int32_t track,
               const std::uint8_t* entry, std::int32_t* position, Container* container) {
  if (entry[3] > kLargestSizeCode) {
    NoteProblem(container, ContainerProblem::Kind::kBadField,
                ContainerProblem::Part::kSectorHeader, track, entry[3]);
    return false;
  }
  const std::int32_t size = std::int32_t{128} << entry[3];
  if (*position < 0 || size > file.Size() - *position) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kSectorData,
                track);
    return false;
  }
  // A sector read without its data mark keeps no data, whatever the file
  // holds in its place.
  const SectorFacts facts = FactsOf(entry);
  const std::int32_t kept = facts.status == kStatusNoDataMark ? 0 : size;
  std::uint8_t* data = writer.AddSector(track, facts, kept);
  if (data == nullptr) return false;
  file.Read(*position, data, kept);
  *position += size;
  return true;
}

void ReadR0(ContainerFile& file, D88Writer& writer, std::int32_t headerSize,
            Container* container) {
  std::int32_t position = headerSize;
  for (std::int32_t track = 0; track < kR0Tracks; ++track) {
    std::uint8_t entries[kR0EntriesPerTrack * kEntrySize];
    if (!file.Read(kTablesOffset + track * kR0EntriesPerTrack * kEntrySize, entries,
                   sizeof entries)) {
      NoteProblem(container, ContainerProblem::Kind::kCutShort,
                  ContainerProblem::Part::kTrackTable, track);
      return;
    }
    for (std::int32_t k = 0; k < kR0EntriesPerTrack; ++k) {
      const std::uint8_t* entry = entries + k * kEntrySize;
      if (entry[0] == kUnused) continue;
      if (!AddSector(file, writer, track, entry, &position, container)) return;
    }
  }
}

void ReadR1(ContainerFile& file, D88Writer& writer, Container* container) {
  std::uint8_t offsets[kR1Tracks * 4];
  if (!file.Read(kTablesOffset, offsets, sizeof offsets)) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kTrackTable,
                -1);
    return;
  }
  for (std::int32_t track = 0; track < kR1Tracks; ++track) {
    const std::int32_t at = DecodeU32Le(offsets + 4 * track);
    if (at == 0) continue;
    std::uint8_t summary[kTrackSummarySize];
    if (!file.Read(at, summary, kTrackSummarySize)) {
      NoteProblem(container, ContainerProblem::Kind::kCutShort,
                  ContainerProblem::Part::kTrackHeader, track);
      return;
    }
    const std::int32_t sectors = DecodeU16Le(summary);
    const std::int32_t specials = DecodeU16Le(summary + 2);
    // The summary was read whole, so it ends within the file; so must the
    // entries after it (at most 2 x 65,535 of them).
    const std::int32_t entriesBytes = kEntrySize * (sectors + specials);
    if (entriesBytes > file.Size() - at - kTrackSummarySize) {
      NoteProblem(container, ContainerProblem::Kind::kCutShort,
                  ContainerProblem::Part::kSectorHeader, track);
      return;
    }
    std::int32_t position = at + kTrackSummarySize + entriesBytes;
    for (std::int32_t k = 0; k < sectors; ++k) {
      std::uint8_t entry[kEntrySize];
      file.Read(at + kTrackSummarySize + k * kEntrySize, entry, kEntrySize);
      if (!AddSector(file, writer, track, entry, &position, container)) return;
    }
  }
}

}  // namespace

Match RecogniseNfd(ContainerFile& file) {
  return Revision(file) >= 0 ? Match::kByContent : Match::kNo;
}

void ReadNfd(ContainerFile& file, D88Writer& writer, Container* container) {
  container->revision = Revision(file);
  std::uint8_t fields[8];
  if (!file.Read(kHeaderSizeOffset, fields, sizeof fields)) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kHeader, -1);
    writer.BeginDisk(nullptr, 0, D88Writer::kImpliedMedia);
    writer.EndDisk();
    return;
  }
  const std::int32_t writeProtect = fields[kProtectOffset - kHeaderSizeOffset] != 0 ? 0x10 : 0;
  writer.BeginDisk(nullptr, writeProtect, D88Writer::kImpliedMedia);
  if (container->revision == 0) {
    ReadR0(file, writer, DecodeU32Le(fields), container);
  } else {
    ReadR1(file, writer, container);
  }
  writer.EndDisk();
}

}  // namespace d88
