// DMK: the bytes of each track as a controller reads them, marks and gaps
// and CRCs and all, with no sector facts: the reader learns them itself.
// A 16-byte header:
//   +0  write protect (0xFF protected, 0 not), +1 tracks (cylinders),
//   +2  u16 track length (with its pointer table), +4 options (bit 4 one
//       side, bit 6 single density throughout), +5 reserved, +12 u32 for a
//       real drive's own images
// then the tracks, cylinder by cylinder and side by side, each:
//   64 u16 pointers to its ID fields' 0xFE marks, from the track's start
//   (bit 15: double density; 0 ends the list); then the track's bytes.
// An ID field is FE C H R N and a CRC; its data field, after a gap, a mark
// (FB, or F8 for deleted data; FA and F9 in single density alike), 128 << N
// bytes and a CRC. In double density each CRC also covers the three A1
// bytes before the mark, which the track does not always hold. In single
// density, unless the whole disk is, each byte is stored twice.
// The file is DMK where its header's fields add up to its size.

#include <cstring>

#include "container_reader.h"
#include "crc_ccitt.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 16;
constexpr std::int32_t kPointers = 64;
constexpr std::int32_t kPointerTableSize = 2 * kPointers;
constexpr std::int32_t kMaxTrackLength = 0x8000;
constexpr std::int32_t kOneSide = 0x10;
constexpr std::int32_t kSingleDensityOnly = 0x40;
constexpr std::int32_t kDoubleDensityPointer = 0x8000;
constexpr std::int32_t kIdMark = 0xFE;
// How far after an ID field its data mark may stand: the gap between them
// is 22 bytes of 4E, 12 of 00 and three A1 in double density, 11 of FF and
// 6 of 00 in single; twice that is allowed for.
constexpr std::int32_t kDataMarkWindow = 80;
constexpr std::int32_t kLargestSizeCode = 6;
constexpr std::uint8_t kSyncBytes[3] = {0xA1, 0xA1, 0xA1};

struct DmkHeader {
  bool writeProtected;
  std::int32_t cylinders;
  std::int32_t sides;
  std::int32_t trackLength;
  bool singleDensityOnly;
};

// How the file answers to DMK: by content where its header's fields add up
// to its size; by name where, in a file named .dmk, they do not.
Match ReadHeader(ContainerFile& file, DmkHeader* header) {
  std::uint8_t bytes[kHeaderSize];
  if (!file.Read(0, bytes, kHeaderSize)) return Match::kNo;
  for (std::int32_t k = 5; k < 12; ++k) {
    if (bytes[k] != 0) return Match::kNo;
  }
  header->writeProtected = bytes[0] == 0xFF;
  header->cylinders = bytes[1];
  header->sides = (bytes[4] & kOneSide) != 0 ? 1 : 2;
  header->trackLength = DecodeU16Le(bytes + 2);
  header->singleDensityOnly = (bytes[4] & kSingleDensityOnly) != 0;
  if ((bytes[0] != 0 && bytes[0] != 0xFF) || header->cylinders == 0 ||
      header->cylinders > kTrackCount / 2 || header->trackLength <= kPointerTableSize ||
      header->trackLength > kMaxTrackLength) {
    return Match::kNo;
  }
  if (file.Size() - kHeaderSize == header->cylinders * header->sides * header->trackLength) {
    return Match::kByContent;
  }
  return file.HasExtension("dmk") ? Match::kByName : Match::kNo;
}

// The bytes of a field that starts at `at`, each `step` bytes apart, into
// `field`; false where the track ends first.
bool Field(const std::uint8_t* track, std::int32_t length, std::int32_t at, std::int32_t step,
           std::uint8_t* field, std::int32_t count) {
  if (at < 0 || count > (length - at + step - 1) / step) return false;
  for (std::int32_t k = 0; k < count; ++k) field[k] = track[at + k * step];
  return true;
}

std::int32_t FieldCrc(bool doubleDensity, const std::uint8_t* bytes, std::int32_t count) {
  const std::int32_t start = doubleDensity ? CrcCcitt(kCrcStart, kSyncBytes, 3) : kCrcStart;
  return CrcCcitt(start, bytes, count);
}

bool IsDataMark(std::uint8_t byte) { return byte >= 0xF8 && byte <= 0xFB; }

// Lays out the sectors of one track's bytes.
bool ReadTrack(const std::uint8_t* bytes, std::int32_t length, std::int32_t track,
               bool singleDensityOnly, D88Writer& writer) {
  for (std::int32_t k = 0; k < kPointers; ++k) {
    const std::int32_t pointer = DecodeU16Le(bytes + 2 * k);
    if (pointer == 0) break;
    const bool doubleDensity = (pointer & kDoubleDensityPointer) != 0;
    const std::int32_t step = doubleDensity || singleDensityOnly ? 1 : 2;
    const std::int32_t at = pointer & 0x3FFF;
    std::uint8_t id[7];
    if (!Field(bytes, length, at, step, id, 7) || id[0] != kIdMark) continue;
    SectorFacts facts = FactsOfId(id + 1);
    facts.density = doubleDensity ? kDoubleDensity : kSingleDensity;
    const bool idGood = FieldCrc(doubleDensity, id, 5) == ((id[5] << 8) | id[6]);
    // The data mark: the first of its kind in the gap after the ID, before
    // any other ID.
    std::int32_t mark = -1;
    for (std::int32_t n = 7; n < kDataMarkWindow && mark < 0; ++n) {
      std::uint8_t byte = 0;
      if (!Field(bytes, length, at + n * step, step, &byte, 1) || byte == kIdMark) break;
      if (IsDataMark(byte)) mark = at + n * step;
    }
    std::uint8_t data[(std::int32_t{128} << kLargestSizeCode) + 3];
    const std::int32_t size = id[4] <= kLargestSizeCode ? std::int32_t{128} << id[4] : 0;
    const bool found = mark >= 0 && size > 0 && Field(bytes, length, mark, step, data, size + 3);
    if (!found) {
      facts.status = kStatusNoDataMark;
      if (!writer.AddSector(track, facts, nullptr, 0)) return false;
      continue;
    }
    const bool deleted = data[0] == 0xF8 || data[0] == 0xF9;
    const bool dataGood = FieldCrc(doubleDensity, data, size + 1) == ((data[size + 1] << 8) | data[size + 2]);
    facts.deletedMark = deleted ? kDeletedData : 0;
    facts.status = !idGood      ? kStatusIdCrcError
                   : !dataGood  ? kStatusDataCrcError
                   : deleted    ? kDeletedData
                                : kStatusNone;
    if (!writer.AddSector(track, facts, data + 1, size)) return false;
  }
  return true;
}

}  // namespace

Match RecogniseDmk(ContainerFile& file) {
  DmkHeader header = {};
  return ReadHeader(file, &header);
}

void ReadDmk(ContainerFile& file, D88Writer& writer, Container* container) {
  DmkHeader header = {};
  ReadHeader(file, &header);
  if (header.cylinders * header.sides * header.trackLength < file.Size() - kHeaderSize) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kHeader, -1,
                header.cylinders);
  }
  writer.BeginDisk(nullptr, header.writeProtected ? 0x10 : 0, D88Writer::kImpliedMedia);
  std::uint8_t bytes[kMaxTrackLength];
  for (std::int32_t c = 0; c < header.cylinders; ++c) {
    for (std::int32_t h = 0; h < header.sides; ++h) {
      const std::int32_t track = 2 * c + h;
      const std::int32_t at = kHeaderSize + (c * header.sides + h) * header.trackLength;
      if (!file.Read(at, bytes, header.trackLength)) {
        NoteProblem(container, ContainerProblem::Kind::kCutShort,
                    ContainerProblem::Part::kTrackHeader, track);
        writer.EndDisk();
        return;
      }
      if (!ReadTrack(bytes, header.trackLength, track, header.singleDensityOnly, writer)) {
        writer.EndDisk();
        return;
      }
    }
  }
  writer.EndDisk();
}

}  // namespace d88
