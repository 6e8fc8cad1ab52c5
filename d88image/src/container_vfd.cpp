// FDD (Virtual98), named "vfd" here after its magic.
//   +0     "VFD1.00"
//   +0x08  a comment of 128 bytes
//   +0x88  u16 write protect (non-zero: protected)
//   +0xDC  the sector map: 160 tracks x 26 entries x 12 bytes: C, H, R, N,
//          fill byte, DDAM (1: deleted data), MFM (0: single density),
//          2HD, u32 data offset (from the file's start)
//   +0xC3FC the data, in any order
// A fill byte other than 0xFF makes the sector that byte throughout, with
// no data stored (its offset is 0xFFFFFFFF). An entry with C 0xFF is
// unused. One reader checks three bytes of the magic, another six: the six
// of "VFD1.0" are checked here.

#include <cstring>

#include "container_reader.h"

namespace d88 {
namespace {

constexpr char kMagic[] = "VFD1.0";
constexpr std::int32_t kMagicSize = 6;
constexpr std::int32_t kProtectOffset = 0x88;
constexpr std::int32_t kMapOffset = 0xDC;
constexpr std::int32_t kTracks = 160;
constexpr std::int32_t kEntriesPerTrack = 26;
constexpr std::int32_t kEntrySize = 12;
constexpr std::int32_t kUnused = 0xFF;
constexpr std::int32_t kNoFill = 0xFF;
constexpr std::int32_t kLargestSizeCode = 7;

}  // namespace

Match RecogniseVfd(ContainerFile& file) {
  std::uint8_t magic[kMagicSize];
  if (!file.Read(0, magic, kMagicSize)) return Match::kNo;
  return std::memcmp(magic, kMagic, kMagicSize) == 0 ? Match::kByContent : Match::kNo;
}

void ReadVfd(ContainerFile& file, D88Writer& writer, Container* container) {
  std::uint8_t protect[2] = {};
  if (!file.Read(kProtectOffset, protect, 2)) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kHeader, -1);
  }
  writer.BeginDisk(nullptr, DecodeU16Le(protect) != 0 ? 0x10 : 0, D88Writer::kImpliedMedia);
  for (std::int32_t track = 0; track < kTracks; ++track) {
    std::uint8_t entries[kEntriesPerTrack * kEntrySize];
    if (!file.Read(kMapOffset + track * kEntriesPerTrack * kEntrySize, entries, sizeof entries)) {
      NoteProblem(container, ContainerProblem::Kind::kCutShort,
                  ContainerProblem::Part::kTrackTable, track);
      break;
    }
    bool fault = false;
    for (std::int32_t k = 0; k < kEntriesPerTrack && !fault; ++k) {
      const std::uint8_t* entry = entries + k * kEntrySize;
      if (entry[0] == kUnused) continue;
      if (entry[3] > kLargestSizeCode) {
        NoteProblem(container, ContainerProblem::Kind::kBadField,
                    ContainerProblem::Part::kSectorHeader, track, entry[3]);
        fault = true;
        break;
      }
      SectorFacts facts = FactsOfId(entry);
      facts.deletedMark = entry[5] != 0 ? kDeletedData : 0;
      facts.status = entry[5] != 0 ? kDeletedData : kStatusNone;
      facts.density = entry[6] != 0 ? kDoubleDensity : kSingleDensity;
      const std::int32_t size = std::int32_t{128} << entry[3];
      const std::int32_t offset = DecodeU32Le(entry + 8);
      const bool filled = entry[4] != kNoFill;
      if (!filled && (offset < 0 || size > file.Size() - offset)) {
        NoteProblem(container, ContainerProblem::Kind::kCutShort,
                    ContainerProblem::Part::kSectorData, track);
        fault = true;
        break;
      }
      std::uint8_t* data = writer.AddSector(track, facts, size);
      if (data == nullptr) {
        fault = true;
      } else if (filled) {
        std::memset(data, entry[4], static_cast<std::size_t>(size));
      } else {
        file.Read(offset, data, size);
      }
    }
    if (fault) break;
  }
  writer.EndDisk();
}

}  // namespace d88
