// HxC MFM: a floppy emulator's files of plain bit cells. A 19-byte header:
//   +0  "HXCMFM" and a NUL, +7 u16 tracks (cylinders), +9 sides,
//   +10 u16 rpm, +12 u16 bit rate (kbit/s), +14 interface,
//   +15 u32 the track list's place
// and the list, per track 11 bytes: u16 cylinder, side, u32 length (bytes)
// and u32 place. A track's cells follow each other from a byte's top bit.

#include <cstring>

#include "bitstream_disk.h"
#include "container_reader.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 19;
constexpr std::int32_t kEntrySize = 11;

struct MfmHeader {
  std::int32_t tracks;  // entries in the list
  std::int32_t cylinders;
  std::int32_t sides;
  std::int32_t trackList;
};

bool ReadHeader(ContainerFile& file, MfmHeader* header) {
  std::uint8_t bytes[kHeaderSize];
  if (!file.Read(0, bytes, kHeaderSize) || std::memcmp(bytes, "HXCMFM", 7) != 0) return false;
  header->cylinders = DecodeU16Le(bytes + 7);
  header->sides = bytes[9];
  header->tracks = header->cylinders * header->sides;
  header->trackList = DecodeU32Le(bytes + 15);
  return true;
}

// The list's entry for (cylinder, head): where it would be in a list in
// order, else wherever it is.
bool FindEntry(ContainerFile& file, const MfmHeader& header, std::int32_t cylinder,
               std::int32_t head, std::int32_t* length, std::int32_t* place) {
  const std::int32_t expected = cylinder * header.sides + head;
  for (std::int32_t n = 0; n < header.tracks; ++n) {
    const std::int32_t k = (expected + n) % header.tracks;
    std::uint8_t entry[kEntrySize];
    std::int32_t at = 0;
    if (!AddToPosition(header.trackList, k * kEntrySize, &at) || !file.Read(at, entry, kEntrySize)) {
      return false;
    }
    if (DecodeU16Le(entry) == cylinder && entry[2] == head) {
      *length = DecodeU32Le(entry + 3);
      *place = DecodeU32Le(entry + 7);
      return true;
    }
  }
  return false;
}

bool LoadTrack(void* context, ContainerFile& file, std::int32_t cylinder, std::int32_t head,
               CellTrack* cells, Container* container) {
  const MfmHeader& header = *static_cast<const MfmHeader*>(context);
  const std::int32_t track = 2 * cylinder + head;
  std::int32_t length = 0;
  std::int32_t place = 0;
  if (!FindEntry(file, header, cylinder, head, &length, &place)) return false;
  // No revolution is longer than the cells a track holds.
  const std::int32_t most = CellTrack::kMaxRevolutionCells / 8;
  if (length < 0 || length > most) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kTrackTable,
                track, length);
    length = length < 0 ? 0 : most;
  }
  AddFileCells(file, place, 8 * length, track, cells, container);
  return true;
}

}  // namespace

Match RecogniseHxcMfm(ContainerFile& file) {
  MfmHeader header = {};
  return ReadHeader(file, &header) ? Match::kByContent : Match::kNo;
}

void ReadHxcMfm(ContainerFile& file, D88Writer& writer, Container* container) {
  MfmHeader header = {};
  ReadHeader(file, &header);
  if (header.cylinders == 0 || header.cylinders > 255 || header.sides < 1 || header.sides > 2) {
    ReadNoTracks(writer, container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kHeader,
                 header.sides < 1 || header.sides > 2 ? header.sides : header.cylinders);
    return;
  }
  const BitstreamTracks tracks = {header.cylinders, header.sides, LoadTrack, &header, nullptr};
  ReadBitstreamDisk(file, tracks, 0, writer, container);
}

}  // namespace d88
