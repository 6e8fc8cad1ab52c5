#ifndef D88IMAGE_D88_FORMAT_H
#define D88IMAGE_D88_FORMAT_H

// Layout of a D88 floppy-disk image, as this library reads it.
//
// An image is disks stored end to end, with no header of its own: disk 0
// starts at file offset 0, disk k+1 where disk k starts plus its disk size.
//
// Disk header, 688 bytes:
//   +0    16  disk name (not necessarily NUL-terminated)
//   +16   10  reserved
//   +26    1  write protect: 0x00 writable, anything else protected (0x10)
//   +27    1  media type (0x00 2D, 0x10 2DD, 0x20 2HD)
//   +28    4  disk size: bytes from this header to the next disk's header
//   +32  656  track table: 164 x u32, offset of track t's first sector
//             record from this header; 0 means the track is absent
//
// Track t holds cylinder t >> 1, head t & 1. Its sector records follow one
// another without gaps; each is a 16-byte header and then its data:
//   +0     1  C (cylinder)    +1  1  H (head)
//   +2     1  R (sector)      +3  1  N (size code: 128 << N bytes nominal)
//   +4     2  sectors in this track
//   +6     1  density: 0x00 double density (MFM), 0x40 single density (FM)
//   +7     1  deleted mark: 0x10 for data written with a deleted-data mark
//   +8     1  status of the read that made the image: 0x00 none, 0x10
//             deleted data, 0xA0 ID CRC error, 0xB0 data CRC error, 0xE0 no
//             address mark, 0xF0 no data mark
//   +9     5  reserved
//   +14    2  data size: bytes of data after this header
//
// Multi-byte fields are little-endian. Every value is held as a signed
// 32-bit integer once decoded, so a u32 with its top bit set is negative.

#include <cstdint>
#include <limits>

namespace d88 {

// The range every offset, size and count is held in.
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

constexpr std::int32_t kMaxDisks = 64;
constexpr std::int32_t kTrackCount = 164;
constexpr std::int32_t kDiskNameLength = 16;

constexpr std::int32_t kDiskHeaderSize = 688;
constexpr std::int32_t kWriteProtectOffset = 26;
constexpr std::int32_t kMediaTypeOffset = 27;
constexpr std::int32_t kDiskSizeOffset = 28;
constexpr std::int32_t kTrackTableOffset = 32;

constexpr std::int32_t kSectorHeaderSize = 16;
constexpr std::int32_t kSectorIdOffset = 0;  // C, H, R, N: one byte each
constexpr std::int32_t kSectorCountOffset = 4;
constexpr std::int32_t kDensityOffset = 6;
constexpr std::int32_t kDeletedMarkOffset = 7;
constexpr std::int32_t kStatusOffset = 8;
constexpr std::int32_t kReservedOffset = 9;
constexpr std::int32_t kReservedSize = 5;
constexpr std::int32_t kDataSizeOffset = 14;

// Values of the sector header's bytes.
constexpr std::int32_t kDoubleDensity = 0x00;
constexpr std::int32_t kSingleDensity = 0x40;
constexpr std::int32_t kDeletedData = 0x10;  // the deleted mark, and a status
constexpr std::int32_t kStatusNone = 0x00;
constexpr std::int32_t kStatusIdCrcError = 0xA0;
constexpr std::int32_t kStatusDataCrcError = 0xB0;
constexpr std::int32_t kStatusNoAddressMark = 0xE0;
constexpr std::int32_t kStatusNoDataMark = 0xF0;

// The name of a status value, as the format calls it ("data CRC error"),
// or nullptr for a value it has no name for.
constexpr const char* StatusName(std::int32_t status) {
  switch (status) {
    case kStatusNone: return "none";
    case kDeletedData: return "deleted data";
    case kStatusIdCrcError: return "ID CRC error";
    case kStatusDataCrcError: return "data CRC error";
    case kStatusNoAddressMark: return "no address mark";
    case kStatusNoDataMark: return "no data mark";
    default: return nullptr;
  }
}

// The name of how a sector is marked: by its status, or where that is
// none, by its deleted mark ("deleted data"); nullptr for a value the
// format has no name for, and for a sector not marked at all.
constexpr const char* MarkName(std::int32_t status, std::int32_t deletedMark) {
  if (status != kStatusNone) return StatusName(status);
  return deletedMark == kDeletedData ? StatusName(kDeletedData) : nullptr;
}

// Size codes whose nominal size (128 << N) fits in 32 bits.
constexpr std::int32_t kMaxSizeCode = 23;

// Decoders build the value from single bytes, so the host's byte order and
// the field's alignment do not matter.
constexpr std::int32_t DecodeU16Le(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8));
}

constexpr std::int32_t DecodeU32Le(const std::uint8_t* bytes) {
  const std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) |
                              (static_cast<std::uint32_t>(bytes[1]) << 8) |
                              (static_cast<std::uint32_t>(bytes[2]) << 16) |
                              (static_cast<std::uint32_t>(bytes[3]) << 24);
  // Values of 2^31 and above become negative (two's complement), spelled out
  // so that the conversion is defined in C++17 too.
  if (value <= 0x7FFFFFFFu) return static_cast<std::int32_t>(value);
  return static_cast<std::int32_t>(value - 0x80000000u) + kInt32Min;
}

// Positions in an image are 32-bit. Adds an offset to a position, failing
// (without overflowing) where the sum would leave 0 ... 2^31 - 1.
constexpr bool AddToPosition(std::int32_t position, std::int32_t offset, std::int32_t* sum) {
  if (offset > 0 ? position > kInt32Max - offset : position < kInt32Min - offset) {
    return false;
  }
  *sum = position + offset;
  return *sum >= 0;
}

}  // namespace d88

#endif  // D88IMAGE_D88_FORMAT_H
