// TD0 (Teledisk). A 12-byte header:
//   +0  "TD" (stored as it is) or "td" (all that follows the header is
//       compressed: lzhuf_decoder.h)
//   +2  volume sequence, +3 check signature, +4 version, +5 data rate (bit
//       7: single density throughout), +6 drive type, +7 stepping (bit 7: a
//       comment block follows), +8 DOS allocation, +9 sides
//   +10 u16 CRC of the first 10 bytes
// The comment block: u16 CRC, u16 length, 6 date bytes, then the text.
// Then the tracks: sector count (0xFF ends the image), cylinder, head (bit
// 7: single density), CRC byte; then for each sector C, H, R, N, flags, CRC
// byte, and unless the flags say it has none, its data: a u16 block size
// (the encoding byte included) and an encoding:
//   0 the bytes as they are;
//   1 a u16 count and 2 bytes, repeated count times;
//   2 blocks: 0, a length and that many bytes; or n > 0, a repeat count and
//     a pattern of 2 x n bytes (one source reads 2^n bytes; they agree for
//     n = 1 and 2, the only ones seen in real files; 2 x n is read here).
// Flags: 0x02 data CRC error, 0x04 deleted data, 0x10 not allocated (no
// data stored), 0x20 an ID without data. A sector's CRC byte is the low
// byte of the CRC (polynomial 0xA097, from 0) of its data alone.
// Version 1 files compress with an older scheme, which is not read.

#include <cstring>

#include "container_reader.h"
#include "lzhuf_decoder.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 12;
constexpr std::int32_t kCommentFollows = 0x80;
constexpr std::int32_t kSingleDensityFlag = 0x80;
constexpr std::int32_t kEndOfImage = 0xFF;
constexpr std::int32_t kFirstNewCompressionVersion = 20;
constexpr std::int32_t kDataCrcError = 0x02;
constexpr std::int32_t kDeleted = 0x04;
constexpr std::int32_t kNotAllocated = 0x10;
constexpr std::int32_t kIdWithoutData = 0x20;
constexpr std::int32_t kLargestSizeCode = 7;

// Teledisk's CRC-16: polynomial 0xA097, from 0, high bit first.
std::int32_t Crc(const std::uint8_t* bytes, std::int32_t count) {
  std::int32_t crc = 0;
  for (std::int32_t k = 0; k < count; ++k) {
    crc ^= bytes[k] << 8;
    for (std::int32_t bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) != 0 ? ((crc << 1) ^ 0xA097) & 0xFFFF : (crc << 1) & 0xFFFF;
    }
  }
  return crc;
}

// The bytes after the header, as stored or decompressed.
class Td0Stream {
 public:
  Td0Stream(ContainerFile& file, bool compressed)
      : file_(file), compressed_(compressed), decoder_(file, kHeaderSize) {}
  bool Read(std::uint8_t* buffer, std::int32_t count) {
    if (compressed_) return decoder_.Read(buffer, count);
    const bool read = file_.Read(at_, buffer, count);
    at_ += count;
    return read;
  }

 private:
  ContainerFile& file_;
  bool compressed_;
  std::int32_t at_ = kHeaderSize;
  LzhufDecoder decoder_;
};

// Expands a sector's data block of `blockSize` bytes into `data`, `size`
// bytes; false where the block does not make exactly that many, with
// `*ended` set where that is because the stream ended.
bool ExpandData(Td0Stream& stream, std::int32_t blockSize, std::uint8_t* data, std::int32_t size,
                bool* ended) {
  std::uint8_t encoding = 0;
  *ended = false;
  if (blockSize < 1) return false;
  if (!stream.Read(&encoding, 1)) return !(*ended = true);
  std::int32_t left = blockSize - 1;
  std::int32_t done = 0;
  const auto take = [&stream, &left, ended](std::uint8_t* into, std::int32_t count) {
    if (count > left) return false;
    left -= count;
    if (stream.Read(into, count)) return true;
    *ended = true;
    return false;
  };
  if (encoding == 0) {
    return left == size && take(data, size);
  }
  if (encoding == 1) {
    std::uint8_t fields[4];
    if (!take(fields, 4)) return false;
    const std::int32_t count = DecodeU16Le(fields);
    if (2 * count != size) return false;
    for (std::int32_t k = 0; k < count; ++k) {
      data[2 * k] = fields[2];
      data[2 * k + 1] = fields[3];
    }
    return left == 0;
  }
  if (encoding != 2) return false;
  while (left > 0) {
    std::uint8_t run[2];
    if (!take(run, 2)) return false;
    if (run[0] == 0) {
      if (run[1] > size - done || !take(data + done, run[1])) return false;
      done += run[1];
      continue;
    }
    const std::int32_t length = 2 * run[0];
    std::uint8_t pattern[2 * 255];
    if (!take(pattern, length)) return false;
    for (std::int32_t k = 0; k < run[1]; ++k) {
      if (length > size - done) return false;
      std::memcpy(data + done, pattern, static_cast<std::size_t>(length));
      done += length;
    }
  }
  return done == size;
}

}  // namespace

Match RecogniseTd0(ContainerFile& file) {
  std::uint8_t header[kHeaderSize];
  if (!file.Read(0, header, kHeaderSize)) return Match::kNo;
  const bool signature = (header[0] == 'T' && header[1] == 'D') || (header[0] == 't' && header[1] == 'd');
  return signature && Crc(header, 10) == DecodeU16Le(header + 10) ? Match::kByContent : Match::kNo;
}

void ReadTd0(ContainerFile& file, D88Writer& writer, Container* container) {
  using Kind = ContainerProblem::Kind;
  using Part = ContainerProblem::Part;
  writer.BeginDisk(nullptr, 0, D88Writer::kImpliedMedia);
  std::uint8_t header[kHeaderSize];
  file.Read(0, header, kHeaderSize);
  const bool compressed = header[0] == 't';
  if (compressed && header[4] < kFirstNewCompressionVersion) {
    NoteProblem(container, Kind::kUnsupported, Part::kCompression, -1, header[4]);
    writer.EndDisk();
    return;
  }
  const bool allSingleDensity = (header[5] & kSingleDensityFlag) != 0;
  Td0Stream stream(file, compressed);
  if ((header[7] & kCommentFollows) != 0) {
    std::uint8_t comment[10];
    std::uint8_t text[256];
    bool read = stream.Read(comment, sizeof comment);
    for (std::int32_t left = DecodeU16Le(comment + 2); read && left > 0;) {
      const std::int32_t part = left < 256 ? left : 256;
      read = stream.Read(text, part);
      left -= part;
    }
    if (!read) {
      NoteProblem(container, Kind::kCutShort, Part::kComment, -1);
      writer.EndDisk();
      return;
    }
  }
  for (;;) {
    std::uint8_t trackHeader[4];
    if (!stream.Read(trackHeader, 1)) {
      NoteProblem(container, Kind::kCutShort, Part::kTrackHeader, -1);
      break;
    }
    if (trackHeader[0] == kEndOfImage) break;
    if (!stream.Read(trackHeader + 1, 3)) {
      NoteProblem(container, Kind::kCutShort, Part::kTrackHeader, -1);
      break;
    }
    const std::int32_t track = 2 * trackHeader[1] + (trackHeader[2] & 1);
    if ((Crc(trackHeader, 3) & 0xFF) != trackHeader[3]) {
      NoteProblem(container, Kind::kBadChecksum, Part::kTrackHeader, track);
      break;
    }
    const bool singleDensity = allSingleDensity || (trackHeader[2] & kSingleDensityFlag) != 0;
    bool fault = false;
    for (std::int32_t k = 0; k < trackHeader[0] && !fault; ++k) {
      std::uint8_t id[6];
      if (!stream.Read(id, 6)) {
        NoteProblem(container, Kind::kCutShort, Part::kSectorHeader, track);
        fault = true;
        break;
      }
      SectorFacts facts = FactsOfId(id);
      facts.density = singleDensity ? kSingleDensity : kDoubleDensity;
      const std::int32_t flags = id[4];
      facts.deletedMark = (flags & kDeleted) != 0 ? kDeletedData : 0;
      facts.status = (flags & kDataCrcError) != 0 ? kStatusDataCrcError
                     : (flags & kDeleted) != 0    ? kDeletedData
                                                  : kStatusNone;
      const bool withData = (flags & (kNotAllocated | kIdWithoutData)) == 0;
      if ((flags & kIdWithoutData) != 0) facts.status = kStatusNoDataMark;
      if (withData && id[3] > kLargestSizeCode) {
        NoteProblem(container, Kind::kBadField, Part::kSectorHeader, track, id[3]);
        fault = true;
        break;
      }
      const std::int32_t size = withData ? std::int32_t{128} << id[3] : 0;
      std::uint8_t data[std::int32_t{128} << kLargestSizeCode];
      if (withData) {
        std::uint8_t blockSize[2] = {};
        bool ended = !stream.Read(blockSize, 2);
        if (ended || !ExpandData(stream, DecodeU16Le(blockSize), data, size, &ended)) {
          NoteProblem(container, ended ? Kind::kCutShort : Kind::kBadField, Part::kSectorData,
                      track, DecodeU16Le(blockSize));
          fault = true;
          break;
        }
        if ((Crc(data, size) & 0xFF) != id[5]) {
          NoteProblem(container, Kind::kBadChecksum, Part::kSectorData, track);
        }
      }
      if (!writer.AddSector(track, facts, data, size)) fault = true;
    }
    if (fault) break;
  }
  writer.EndDisk();
}

}  // namespace d88
