// HFE, the files of a floppy emulator: each track's bit cells as the
// emulator plays them to the drive's interface. A 512-byte header:
//   +0  "HXCPICFE" (revisions 1 and 2) or "HXCHFEV3" (revision 3)
//   +8  revision, +9 tracks (cylinders), +10 sides, +11 encoding,
//   +12 u16 bit rate (kbit/s), +14 u16 rpm, +16 interface, +17 unused,
//   +18 u16 the track list's place (in 512-byte blocks), +20 writes
//   allowed (0 none), +21 single step (0 the drive steps twice), then
//   track 0's alternative encodings
// and the track list, per cylinder a u16 place (blocks) and a u16 length
// (bytes, both sides'). A track's bytes lie in blocks of 512: the first 256
// of each are side 0's, the next 256 side 1's; a byte's first cell is its
// lowest bit. The cells run at twice the bit rate, so that an FM track of
// half the rate has each cell twice (the decoder reads either).
// Revision 3 reads each byte with its bits the other way round first;
// bytes F0 to F4 are then orders, not cells: F0 nothing, F1 the index,
// F2 a new bit rate (in the byte after), F3 skip the first cells of the
// byte after next (as many as the byte after says), F4 a byte of weak
// cells, which read differently each time. The bytes after F2 and F3 are
// read turned round too, as every byte of the track is; weak cells are
// given as cells no field's CRC would match.

#include <cstring>

#include "bitstream_disk.h"
#include "container_reader.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 26;
constexpr std::int32_t kBlock = 512;
constexpr std::int32_t kSideBytes = 256;

struct HfeHeader {
  bool revision3;
  std::int32_t cylinders;
  std::int32_t sides;
  std::int32_t trackList;
  bool writeProtected;
};

bool ReadHeader(ContainerFile& file, HfeHeader* header) {
  std::uint8_t bytes[kHeaderSize];
  if (!file.Read(0, bytes, kHeaderSize)) return false;
  const bool v1 = std::memcmp(bytes, "HXCPICFE", 8) == 0;
  const bool v3 = std::memcmp(bytes, "HXCHFEV3", 8) == 0;
  if (!v1 && !v3) return false;
  header->revision3 = v3;
  header->cylinders = bytes[9];
  header->sides = bytes[10];
  header->trackList = DecodeU16Le(bytes + 18) * kBlock;
  header->writeProtected = bytes[20] == 0;
  return true;
}

std::uint8_t Reversed(std::uint8_t byte) {
  std::int32_t turned = 0;
  for (std::int32_t bit = 0; bit < 8; ++bit) turned = (turned << 1) | ((byte >> bit) & 1);
  return static_cast<std::uint8_t>(turned);
}

// Weak cells: the same on every reading of the file, never a field's.
std::uint8_t WeakByte(std::uint32_t* state) {
  *state = *state * 1103515245u + 12345u;
  return static_cast<std::uint8_t>(*state >> 16);
}

bool LoadTrack(void* context, ContainerFile& file, std::int32_t cylinder, std::int32_t head,
               CellTrack* cells, Container* container) {
  const HfeHeader& header = *static_cast<const HfeHeader*>(context);
  const std::int32_t track = 2 * cylinder + head;
  std::uint8_t entry[4];
  if (!file.Read(header.trackList + 4 * cylinder, entry, 4)) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kTrackTable,
                track);
    return false;
  }
  const std::int32_t place = DecodeU16Le(entry) * kBlock;
  const std::int32_t length = DecodeU16Le(entry + 2) / 2;
  if (length == 0) return false;
  std::uint8_t bytes[kSideBytes];
  // Revision 3's orders, which may span the 256-byte pieces.
  enum class Next { kCells, kRate, kSkipCount, kSkipped };
  Next next = Next::kCells;
  std::int32_t skip = 0;
  std::uint32_t weak = static_cast<std::uint32_t>(track) + 1;
  for (std::int32_t at = 0; at < length; at += kSideBytes) {
    const std::int32_t count = length - at < kSideBytes ? length - at : kSideBytes;
    if (!file.Read(place + (at / kSideBytes) * kBlock + head * kSideBytes, bytes, count)) {
      NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kTrackBits,
                  track, at);
      return true;
    }
    for (std::int32_t k = 0; k < count; ++k) {
      const std::uint8_t byte = Reversed(bytes[k]);
      if (!header.revision3) {
        cells->AddByte(byte);
        continue;
      }
      switch (next) {
        case Next::kRate: next = Next::kCells; continue;
        case Next::kSkipCount:
          skip = byte < 8 ? byte : 0;
          next = Next::kSkipped;
          continue;
        case Next::kSkipped:
          cells->AddByte(static_cast<std::uint8_t>(byte << skip), 8 - skip);
          next = Next::kCells;
          continue;
        case Next::kCells: break;
      }
      switch (byte) {
        case 0xF0:
        case 0xF1: break;
        case 0xF2: next = Next::kRate; break;
        case 0xF3: next = Next::kSkipCount; break;
        case 0xF4: cells->AddByte(WeakByte(&weak)); break;
        default: cells->AddByte(byte); break;
      }
    }
  }
  return true;
}

}  // namespace

Match RecogniseHfe(ContainerFile& file) {
  HfeHeader header = {};
  return ReadHeader(file, &header) ? Match::kByContent : Match::kNo;
}

void ReadHfe(ContainerFile& file, D88Writer& writer, Container* container) {
  HfeHeader header = {};
  ReadHeader(file, &header);
  if (header.cylinders == 0 || header.sides < 1 || header.sides > 2 || header.trackList < kBlock) {
    ReadNoTracks(writer, container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kHeader,
                 header.sides < 1 || header.sides > 2 ? header.sides : header.cylinders);
    return;
  }
  const BitstreamTracks tracks = {header.cylinders, header.sides, LoadTrack, &header, nullptr};
  ReadBitstreamDisk(file, tracks, header.writeProtected ? 0x10 : 0, writer, container);
}

}  // namespace d88
