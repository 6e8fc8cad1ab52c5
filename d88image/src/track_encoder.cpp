#include "track_encoder.h"

#include <cstring>

#include "crc_ccitt.h"

namespace d88 {
namespace {

constexpr std::int32_t kGap = 54;
constexpr std::int32_t kFmGap = 27;
constexpr std::int32_t kLeastGap = 8;
constexpr std::int32_t kLeastFmGap = 4;
constexpr std::uint8_t kSync[3] = {0xA1, 0xA1, 0xA1};

// Bytes of the track before its first sector, and of each sector but its
// data and the gap after it.
constexpr std::int32_t kMfmLead = 80 + 12 + 4 + 50;
constexpr std::int32_t kMfmSector = 12 + 3 + 1 + 4 + 2 + 22 + 12 + 3 + 1 + 2;
constexpr std::int32_t kFmLead = 40 + 6 + 1 + 26;
constexpr std::int32_t kFmSector = 6 + 1 + 4 + 2 + 11 + 6 + 1 + 2;

class Writer {
 public:
  Writer(std::uint8_t* cells, std::int32_t limit, bool fm) : cells_(cells), limit_(limit), fm_(fm) {}
  void Byte(std::uint8_t data, std::uint8_t fmClock = 0xFF) {
    for (std::int32_t bit = 7; bit >= 0; --bit) {
      const std::int32_t d = (data >> bit) & 1;
      if (fm_) {
        Cell((fmClock >> bit) & 1);
      } else {
        Cell(previous_ == 0 && d == 0 ? 1 : 0);
      }
      Cell(d);
      previous_ = d;
    }
  }
  void Bytes(std::uint8_t data, std::int32_t count) {
    for (std::int32_t k = 0; k < count; ++k) Byte(data);
  }
  // MFM's sync bytes, written with a clock missing: A1 (0x4489), C2 (0x5224).
  void Missing(std::uint32_t pattern, std::uint8_t data) {
    for (std::int32_t bit = 15; bit >= 0; --bit) Cell((pattern >> bit) & 1);
    previous_ = data & 1;
  }
  // A field's mark; its CRC so far.
  std::int32_t Mark(std::uint8_t mark) {
    std::int32_t crc = kCrcStart;
    if (fm_) {
      Byte(mark, 0xC7);
    } else {
      for (std::int32_t k = 0; k < 3; ++k) Missing(0x4489, 0xA1);
      crc = CrcCcitt(crc, kSync, 3);
      Byte(mark);
    }
    return CrcCcitt(crc, &mark, 1);
  }
  void Field(std::int32_t crc, const std::uint8_t* bytes, std::int32_t count, bool bad) {
    for (std::int32_t k = 0; k < count; ++k) Byte(bytes[k]);
    crc = CrcCcitt(crc, bytes, count);
    if (bad) crc ^= 0x0101;
    Byte(static_cast<std::uint8_t>(crc >> 8));
    Byte(static_cast<std::uint8_t>(crc));
  }
  std::int32_t Count() const { return count_; }

 private:
  void Cell(std::int32_t cell) {
    Put(cell);
    if (fm_) Put(0);
  }
  void Put(std::int32_t cell) {
    if (count_ < limit_ && cell != 0) cells_[count_ >> 3] = static_cast<std::uint8_t>(cells_[count_ >> 3] | (0x80 >> (count_ & 7)));
    ++count_;
  }
  std::uint8_t* cells_;
  std::int32_t limit_;
  bool fm_;
  std::int32_t previous_ = 0;
  std::int32_t count_ = 0;
};

std::int32_t DataBytes(const SectorFacts& facts) {
  return facts.status == kStatusNoDataMark ? 0 : std::int32_t{128} << facts.n;
}

}  // namespace

bool EncodeTrack(const EncodedSector* sectors, std::int32_t count, bool fm,
                 std::int32_t revolution, std::uint8_t* cells, std::int32_t* needed) {
  const std::int32_t perByte = fm ? 32 : 16;
  const std::int32_t capacity = revolution / perByte;
  // The bytes the track needs but for its gaps; then the widest gap that
  // fits, no wider than the usual.
  std::int64_t fixed = fm ? kFmLead : kMfmLead;
  for (std::int32_t k = 0; k < count; ++k) {
    fixed += (fm ? kFmSector : kMfmSector) + DataBytes(sectors[k].facts);
    if (sectors[k].facts.status == kStatusNoDataMark) fixed -= fm ? 6 + 1 + 2 : 12 + 3 + 1 + 2;
  }
  const std::int32_t least = fm ? kLeastFmGap : kLeastGap;
  std::int64_t gap = fm ? kFmGap : kGap;
  if (count > 0 && fixed + gap * count > capacity) gap = (capacity - fixed) / count;
  if (fixed + (count > 0 ? gap : least) * count > capacity || gap < least) {
    const std::int64_t bytes = fixed + std::int64_t{least} * count;
    *needed = bytes * perByte > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(bytes * perByte);
    return false;
  }
  std::memset(cells, 0, static_cast<std::size_t>((revolution + 7) / 8));
  Writer writer(cells, revolution, fm);
  const std::uint8_t fill = fm ? 0xFF : 0x4E;
  writer.Bytes(fill, fm ? 40 : 80);
  writer.Bytes(0x00, fm ? 6 : 12);
  if (fm) {
    writer.Byte(0xFC, 0xD7);
  } else {
    for (std::int32_t k = 0; k < 3; ++k) writer.Missing(0x5224, 0xC2);
    writer.Byte(0xFC);
  }
  writer.Bytes(fill, fm ? 26 : 50);
  for (std::int32_t k = 0; k < count; ++k) {
    const SectorFacts& f = sectors[k].facts;
    writer.Bytes(0x00, fm ? 6 : 12);
    const std::uint8_t id[4] = {f.c, f.h, f.r, f.n};
    writer.Field(writer.Mark(0xFE), id, 4, f.status == kStatusIdCrcError);
    writer.Bytes(fill, fm ? 11 : 22);
    if (f.status != kStatusNoDataMark) {
      writer.Bytes(0x00, fm ? 6 : 12);
      const std::int32_t crc = writer.Mark(f.deletedMark == kDeletedData ? 0xF8 : 0xFB);
      writer.Field(crc, sectors[k].data, DataBytes(f), f.status == kStatusDataCrcError);
    }
    writer.Bytes(fill, static_cast<std::int32_t>(gap));
  }
  while (writer.Count() + perByte <= revolution) writer.Byte(fill);
  *needed = writer.Count();
  return true;
}

}  // namespace d88
