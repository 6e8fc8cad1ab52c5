// 86F, an emulator's bitstream files: "86BF", a u16 version (minor byte,
// then major: 2.12 in the files seen), u16 disk flags, then a table of 512
// u32 places of tracks (0 for none), cylinder by cylinder, side by side.
// A track: u16 flags (its data rate and encoding, which the decoder finds
// for itself), a u32 count of its cells where the disk flags say so, a u32
// place of the index, then its cells from a byte's top bit, and after them
// (where the disk flags say) as many again of a map of weak cells.
// Of the disk flags these are read, as the real files bear out: 0x08 two
// sides, 0x80 each track's cell count given, 0x01 the weak-cell maps.
// Without the count, a track's cells run to the next track (half of that,
// with a map).

#include <cstring>

#include "bitstream_disk.h"
#include "container_reader.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 8;
constexpr std::int32_t kTableEntries = 512;
constexpr std::int32_t kTwoSides = 0x08;
constexpr std::int32_t kCellCounts = 0x80;
constexpr std::int32_t kWeakMaps = 0x01;

struct Header86f {
  std::int32_t flags;
  std::int32_t sides;
  std::int32_t places[kTableEntries];
  std::int32_t cylinders;
};

bool ReadHeader(ContainerFile& file, Header86f* header) {
  std::uint8_t bytes[kHeaderSize];
  if (!file.Read(0, bytes, kHeaderSize) || std::memcmp(bytes, "86BF", 4) != 0) return false;
  header->flags = DecodeU16Le(bytes + 6);
  header->sides = (header->flags & kTwoSides) != 0 ? 2 : 1;
  return true;
}

// The table; false where the file ends inside it.
bool ReadTable(ContainerFile& file, Header86f* header) {
  std::uint8_t entry[4];
  header->cylinders = 0;
  for (std::int32_t k = 0; k < kTableEntries; ++k) {
    if (!file.Read(kHeaderSize + 4 * k, entry, 4)) return false;
    header->places[k] = DecodeU32Le(entry);
    if (header->places[k] != 0) header->cylinders = k / header->sides + 1;
  }
  return true;
}

// Where the track after the one at `place` begins: the nearest place
// beyond it, or the file's end.
std::int32_t NextPlace(const Header86f& header, std::int32_t place, std::int32_t fileSize) {
  std::int32_t next = fileSize;
  for (const std::int32_t other : header.places) {
    if (other > place && other < next) next = other;
  }
  return next;
}

bool LoadTrack(void* context, ContainerFile& file, std::int32_t cylinder, std::int32_t head,
               CellTrack* cells, Container* container) {
  const Header86f& header = *static_cast<const Header86f*>(context);
  const std::int32_t track = 2 * cylinder + head;
  const std::int32_t place = header.places[cylinder * header.sides + head];
  if (place == 0) return false;
  const bool counted = (header.flags & kCellCounts) != 0;
  std::uint8_t head86f[10];
  const std::int32_t headSize = counted ? 10 : 6;
  std::int32_t start = 0;
  if (!AddToPosition(place, headSize, &start) || !file.Read(place, head86f, headSize)) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kTrackHeader,
                track);
    return false;
  }
  std::int32_t count = 0;
  if (counted) {
    count = DecodeU32Le(head86f + 2);
  } else {
    std::int32_t bytes = NextPlace(header, place, file.Size()) - start;
    if ((header.flags & kWeakMaps) != 0) bytes /= 2;
    if (bytes < 0) bytes = 0;
    count = bytes < CellTrack::kMaxRevolutionCells / 8 ? 8 * bytes : CellTrack::kMaxRevolutionCells;
  }
  if (count < 0 || count > CellTrack::kMaxRevolutionCells) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kTrackHeader,
                track, count);
    count = count < 0 ? 0 : CellTrack::kMaxRevolutionCells;
  }
  AddFileCells(file, start, count, track, cells, container);
  return true;
}

}  // namespace

Match Recognise86f(ContainerFile& file) {
  Header86f header = {};
  return ReadHeader(file, &header) ? Match::kByContent : Match::kNo;
}

void Read86f(ContainerFile& file, D88Writer& writer, Container* container) {
  static_assert(sizeof(Header86f) < 4096, "the header is kept on the stack");
  Header86f header = {};
  ReadHeader(file, &header);
  if (!ReadTable(file, &header)) {
    ReadNoTracks(writer, container, ContainerProblem::Kind::kCutShort,
                 ContainerProblem::Part::kTrackTable, 0);
    return;
  }
  const BitstreamTracks tracks = {header.cylinders, header.sides, LoadTrack, &header, nullptr};
  ReadBitstreamDisk(file, tracks, 0, writer, container);
}

}  // namespace d88
