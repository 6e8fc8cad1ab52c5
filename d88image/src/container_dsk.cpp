// DSK and EDSK (CPCEMU and its extended form). A 256-byte disk block:
//   +0     "MV - CPCEMU Disk-File\r\nDisk-Info\r\n" or
//          "EXTENDED CPC DSK File\r\nDisk-Info\r\n"
//   +0x22  the creator (14 bytes)
//   +0x30  tracks, +0x31 sides
//   +0x32  DSK: u16 size of every track
//   +0x34  EDSK: a byte per track and side, its size / 256 (0: absent)
// then the tracks, cylinder by cylinder and side by side, each a 256-byte
// block and its sectors' data:
//   +0     "Track-Info\r\n"
//   +0x10  track, +0x11 side, +0x14 size code, +0x15 sectors, +0x16 gap,
//   +0x17  filler byte
//   +0x18  8 bytes per sector: C, H, R, N, ST1, ST2, u16 data length (EDSK;
//          a DSK's sectors all hold 128 << the track's size code)
// ST1 and ST2 are the controller's: ST1 bit 5 with ST2 bit 5 is a data CRC
// error, ST1 bit 5 alone an ID CRC error, ST2 bit 6 deleted data, ST1 bit 0
// no address mark, ST2 bit 0 no data mark. An EDSK sector whose data is
// longer than its size holds several reads of it (weak bits): the first is
// taken.

#include <cstring>

#include "container_reader.h"

namespace d88 {
namespace {

constexpr char kDskMagic[] = "MV - CPC";
constexpr char kEdskMagic[] = "EXTENDED CPC DSK";
constexpr char kTrackMagic[] = "Track-Info";
constexpr std::int32_t kBlockSize = 256;
constexpr std::int32_t kTracksOffset = 0x30;
constexpr std::int32_t kSidesOffset = 0x31;
constexpr std::int32_t kTrackSizeOffset = 0x32;
constexpr std::int32_t kTrackSizesOffset = 0x34;
constexpr std::int32_t kTrackSizeCodeOffset = 0x14;
constexpr std::int32_t kSectorCountOffset = 0x15;
constexpr std::int32_t kSectorInfoOffset = 0x18;
constexpr std::int32_t kSectorInfoSize = 8;
constexpr std::int32_t kMaxSectors = (kBlockSize - kSectorInfoOffset) / kSectorInfoSize;  // 29
constexpr std::int32_t kLargestSizeCode = 7;

bool Begins(ContainerFile& file, const char* magic) {
  std::uint8_t bytes[16];
  const std::size_t length = std::strlen(magic);
  return file.Read(0, bytes, static_cast<std::int32_t>(length)) &&
         std::memcmp(bytes, magic, length) == 0;
}

// The facts the controller's status registers give a sector.
void ApplyStatus(std::uint8_t st1, std::uint8_t st2, SectorFacts* facts) {
  const bool crcError = (st1 & 0x20) != 0;
  const bool deleted = (st2 & 0x40) != 0;
  facts->deletedMark = deleted ? kDeletedData : 0;
  if ((st1 & 0x01) != 0) {
    facts->status = kStatusNoAddressMark;
  } else if ((st2 & 0x01) != 0) {
    facts->status = kStatusNoDataMark;
  } else if (crcError) {
    facts->status = (st2 & 0x20) != 0 ? kStatusDataCrcError : kStatusIdCrcError;
  } else {
    facts->status = deleted ? kDeletedData : kStatusNone;
  }
}

// Lays out the track whose block is at `at`, of `size` bytes; false, with
// the fault noted, where it cannot be read.
bool ReadTrack(ContainerFile& file, D88Writer& writer, bool extended, std::int32_t track,
               std::int32_t at, std::int32_t size, Container* container) {
  using Kind = ContainerProblem::Kind;
  using Part = ContainerProblem::Part;
  std::uint8_t block[kBlockSize];
  if (size < kBlockSize || !file.Read(at, block, kBlockSize)) {
    NoteProblem(container, Kind::kCutShort, Part::kTrackHeader, track);
    return false;
  }
  if (std::memcmp(block, kTrackMagic, sizeof kTrackMagic - 1) != 0) {
    NoteProblem(container, Kind::kBadField, Part::kTrackHeader, track);
    return false;
  }
  const std::int32_t count = block[kSectorCountOffset];
  const std::int32_t trackSizeCode = block[kTrackSizeCodeOffset];
  if (count > kMaxSectors || (!extended && trackSizeCode > kLargestSizeCode)) {
    NoteProblem(container, Kind::kBadField, Part::kTrackHeader, track,
                count > kMaxSectors ? count : trackSizeCode);
    return false;
  }
  std::int32_t position = at + kBlockSize;
  const std::int32_t end = at + size;
  for (std::int32_t k = 0; k < count; ++k) {
    const std::uint8_t* info = block + kSectorInfoOffset + k * kSectorInfoSize;
    SectorFacts facts = FactsOfId(info);
    ApplyStatus(info[4], info[5], &facts);
    const std::int32_t stored =
        extended ? DecodeU16Le(info + 6) : std::int32_t{128} << trackSizeCode;
    const std::int32_t nominal = info[3] <= kLargestSizeCode ? std::int32_t{128} << info[3] : stored;
    // Several reads of a weak sector: the first.
    const std::int32_t size = stored > nominal && stored % nominal == 0 ? nominal : stored;
    const std::int32_t kept = facts.status == kStatusNoDataMark ? 0 : size;
    if (stored > end - position || stored > file.Size() - position) {
      NoteProblem(container, Kind::kCutShort, Part::kSectorData, track);
      return false;
    }
    std::uint8_t* data = writer.AddSector(track, facts, kept);
    if (data == nullptr) return false;
    file.Read(position, data, kept);
    position += stored;
  }
  return true;
}

}  // namespace

Match RecogniseDsk(ContainerFile& file) {
  return Begins(file, kDskMagic) ? Match::kByContent : Match::kNo;
}

Match RecogniseEdsk(ContainerFile& file) {
  return Begins(file, kEdskMagic) ? Match::kByContent : Match::kNo;
}

void ReadDsk(ContainerFile& file, D88Writer& writer, Container* container) {
  writer.BeginDisk(nullptr, 0, D88Writer::kImpliedMedia);
  std::uint8_t disk[kBlockSize];
  if (!file.Read(0, disk, kBlockSize)) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kHeader, -1);
    writer.EndDisk();
    return;
  }
  const bool extended = Begins(file, kEdskMagic);
  const std::int32_t tracks = disk[kTracksOffset];
  const std::int32_t sides = disk[kSidesOffset];
  if (sides < 1 || sides > 2 || tracks > kTrackCount / 2 ||
      (extended && kTrackSizesOffset + tracks * sides > kBlockSize)) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kHeader, -1,
                sides < 1 || sides > 2 ? sides : tracks);
    writer.EndDisk();
    return;
  }
  std::int32_t at = kBlockSize;
  for (std::int32_t k = 0; k < tracks * sides; ++k) {
    const std::int32_t size =
        extended ? disk[kTrackSizesOffset + k] * 256 : DecodeU16Le(disk + kTrackSizeOffset);
    if (size == 0) continue;  // an absent track (EDSK)
    const std::int32_t track = 2 * (k / sides) + k % sides;
    if (!ReadTrack(file, writer, extended, track, at, size, container)) break;
    at += size;
  }
  writer.EndDisk();
}

}  // namespace d88
