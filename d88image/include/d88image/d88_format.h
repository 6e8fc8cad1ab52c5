#ifndef D88IMAGE_D88_FORMAT_H
#define D88IMAGE_D88_FORMAT_H

// Layout of a D88 floppy-disk image, as this library reads it.
//
// An image is disks stored end to end, with no header of its own: disk 0
// starts at file offset 0, disk k+1 where disk k starts plus its disk size.
//
// Disk header, 688 bytes:
//   +0    16  disk name (not necessarily NUL-terminated)
//   +16   11  not interpreted
//   +27    1  media type
//   +28    4  disk size: bytes from this header to the next disk's header
//   +32  656  track table: 164 x u32, offset of track t's first sector
//             record from this header; 0 means the track is absent
//
// Track t holds cylinder t >> 1, head t & 1. Its sector records follow one
// another without gaps; each is a 16-byte header and then its data:
//   +0     1  C (cylinder)    +1  1  H (head)
//   +2     1  R (sector)      +3  1  N (size code: 128 << N bytes nominal)
//   +4     2  sectors in this track
//   +6     8  not interpreted
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
constexpr std::int32_t kMediaTypeOffset = 27;
constexpr std::int32_t kDiskSizeOffset = 28;
constexpr std::int32_t kTrackTableOffset = 32;

constexpr std::int32_t kSectorHeaderSize = 16;
constexpr std::int32_t kSectorIdOffset = 0;  // C, H, R, N: one byte each
constexpr std::int32_t kSectorCountOffset = 4;
constexpr std::int32_t kDataSizeOffset = 14;

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
