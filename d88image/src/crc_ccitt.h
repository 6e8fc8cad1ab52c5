#ifndef D88IMAGE_SRC_CRC_CCITT_H
#define D88IMAGE_SRC_CRC_CCITT_H

// The CRC that floppy controllers write after every ID and data field:
// CRC-16-CCITT, polynomial 0x1021, from 0xFFFF, high bit first, over the
// field's marks (A1 A1 A1 in double density) and its bytes.

#include <cstdint>

namespace d88 {

constexpr std::int32_t kCrcStart = 0xFFFF;

constexpr std::int32_t CrcCcitt(std::int32_t crc, const std::uint8_t* bytes, std::int32_t count) {
  for (std::int32_t k = 0; k < count; ++k) {
    crc ^= bytes[k] << 8;
    for (std::int32_t bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) != 0 ? ((crc << 1) ^ 0x1021) & 0xFFFF : (crc << 1) & 0xFFFF;
    }
  }
  return crc;
}

}  // namespace d88

#endif  // D88IMAGE_SRC_CRC_CCITT_H
