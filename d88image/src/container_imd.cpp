// IMD (ImageDisk): "IMD " and a comment in ASCII, ended by 0x1A; then the
// tracks, each:
//   mode (0-2 single density at 500/300/250 kbit/s, 3-5 double density),
//   cylinder, head (bit 7: a cylinder map follows; bit 6: a head map
//   follows), sector count, size code (0-6: 128 << code; 0xFF: a table of
//   u16 sizes follows the maps);
//   the R map (a byte per sector), the C map, the H map, the size table;
//   then a record per sector: a type and its data:
//     0 no data; 1 data; 2 one byte, repeated; 3, 4 the same, deleted;
//     5, 6 the same, read with a data error; 7, 8 deleted, with an error.
// A sector whose data could not be read (type 0) is an ID without data.

#include <cstring>

#include "container_reader.h"

namespace d88 {
namespace {

constexpr char kMagic[] = "IMD ";
constexpr std::int32_t kCommentEnd = 0x1A;
constexpr std::int32_t kHighestMode = 5;
constexpr std::int32_t kFirstDoubleDensityMode = 3;
constexpr std::int32_t kCylinderMapFollows = 0x80;
constexpr std::int32_t kHeadMapFollows = 0x40;
constexpr std::int32_t kSizeTableFollows = 0xFF;
constexpr std::int32_t kLargestSizeCode = 6;
constexpr std::int32_t kHighestType = 8;

// The facts a record's type gives its sector.
void ApplyType(std::int32_t type, SectorFacts* facts) {
  const bool deleted = type == 3 || type == 4 || type == 7 || type == 8;
  const bool error = type >= 5;
  facts->deletedMark = deleted ? kDeletedData : 0;
  facts->status = error ? kStatusDataCrcError : deleted ? kDeletedData : kStatusNone;
  if (type == 0) facts->status = kStatusNoDataMark;
}

}  // namespace

Match RecogniseImd(ContainerFile& file) {
  std::uint8_t magic[4];
  if (!file.Read(0, magic, 4)) return Match::kNo;
  return std::memcmp(magic, kMagic, 4) == 0 ? Match::kByContent : Match::kNo;
}

void ReadImd(ContainerFile& file, D88Writer& writer, Container* container) {
  writer.BeginDisk(nullptr, 0, D88Writer::kImpliedMedia);
  std::int32_t at = 0;
  while (at < file.Size() && file.ByteAt(at) != kCommentEnd) ++at;
  ++at;
  using Kind = ContainerProblem::Kind;
  using Part = ContainerProblem::Part;
  if (at > file.Size()) NoteProblem(container, Kind::kCutShort, Part::kComment, -1);
  while (at < file.Size()) {
    std::uint8_t head[5];
    if (!file.Read(at, head, 5)) {
      NoteProblem(container, Kind::kCutShort, Part::kTrackHeader, -1);
      break;
    }
    const std::int32_t mode = head[0];
    const std::int32_t track = 2 * head[1] + (head[2] & 1);
    const std::int32_t count = head[3];
    const std::int32_t sizeCode = head[4];
    if (mode > kHighestMode || (head[2] & 0x3E) != 0 ||
        (sizeCode > kLargestSizeCode && sizeCode != kSizeTableFollows)) {
      NoteProblem(container, Kind::kBadField, Part::kTrackHeader, track,
                  mode > kHighestMode ? mode : sizeCode);
      break;
    }
    at += 5;
    // The maps: R, then C and H where the head byte says, then the sizes.
    std::uint8_t rMap[255];
    std::uint8_t cMap[255];
    std::uint8_t hMap[255];
    std::uint8_t sizes[2 * 255];
    const bool cFollows = (head[2] & kCylinderMapFollows) != 0;
    const bool hFollows = (head[2] & kHeadMapFollows) != 0;
    const bool tableFollows = sizeCode == kSizeTableFollows;
    if (!file.Read(at, rMap, count) ||
        (cFollows && !file.Read(at + count, cMap, count)) ||
        (hFollows && !file.Read(at + count * (1 + cFollows), hMap, count)) ||
        (tableFollows && !file.Read(at + count * (1 + cFollows + hFollows), sizes, 2 * count))) {
      NoteProblem(container, Kind::kCutShort, Part::kSectorHeader, track);
      break;
    }
    at += count * (1 + cFollows + hFollows + 2 * tableFollows);
    bool fault = false;
    for (std::int32_t k = 0; k < count && !fault; ++k) {
      const std::int32_t size =
          tableFollows ? DecodeU16Le(sizes + 2 * k) : std::int32_t{128} << sizeCode;
      const std::int32_t type = file.ByteAt(at);
      if (type < 0 || type > kHighestType) {
        NoteProblem(container, type < 0 ? Kind::kCutShort : Kind::kBadField, Part::kSectorData,
                    track, type);
        fault = true;
        break;
      }
      SectorFacts facts;
      facts.c = cFollows ? cMap[k] : head[1];
      facts.h = hFollows ? hMap[k] : static_cast<std::uint8_t>(head[2] & 1);
      facts.r = rMap[k];
      facts.n = tableFollows ? SizeCodeOf(size) : static_cast<std::uint8_t>(sizeCode);
      facts.density = mode >= kFirstDoubleDensityMode ? kDoubleDensity : kSingleDensity;
      ApplyType(type, &facts);
      const bool compressed = type != 0 && type % 2 == 0;
      const std::int32_t stored = type == 0 ? 0 : compressed ? 1 : size;
      if (stored > file.Size() - at - 1) {
        NoteProblem(container, Kind::kCutShort, Part::kSectorData, track);
        fault = true;
        break;
      }
      std::uint8_t* data = writer.AddSector(track, facts, type == 0 ? 0 : size);
      if (data == nullptr) {
        fault = true;
      } else if (compressed) {
        std::memset(data, file.ByteAt(at + 1), static_cast<std::size_t>(size));
      } else {
        file.Read(at + 1, data, stored);
      }
      at += 1 + stored;
    }
    if (fault) break;
  }
  writer.EndDisk();
}

}  // namespace d88
