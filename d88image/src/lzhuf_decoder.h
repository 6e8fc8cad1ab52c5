#ifndef D88IMAGE_SRC_LZHUF_DECODER_H
#define D88IMAGE_SRC_LZHUF_DECODER_H

// The LZSS and adaptive Huffman scheme Teledisk's advanced compression
// uses (LZHUF): a 4,096-byte window that starts filled with spaces, matches
// of 3 to 60 bytes, literals and match lengths coded by one adaptive
// Huffman tree of 314 symbols, and a match's distance by a fixed code for
// its upper 6 bits followed by its lower 6 bits as they stand.
//
// It decodes a stream of the container's bytes from a position on, a byte
// at a time, with fixed state (no allocation); every byte it gives costs a
// bounded amount of work.

#include <cstdint>

#include "container_reader.h"

namespace d88 {

class LzhufDecoder {
 public:
  LzhufDecoder(ContainerFile& file, std::int32_t start);
  // The next `count` decoded bytes; false where the compressed stream ends
  // before they do.
  bool Read(std::uint8_t* buffer, std::int32_t count);

 private:
  static constexpr std::int32_t kWindow = 4096;
  static constexpr std::int32_t kLongestMatch = 60;
  static constexpr std::int32_t kThreshold = 2;
  static constexpr std::int32_t kSymbols = 256 - kThreshold + kLongestMatch;  // 314
  static constexpr std::int32_t kNodes = 2 * kSymbols - 1;
  static constexpr std::int32_t kRoot = kNodes - 1;
  static constexpr std::int32_t kMaxFrequency = 0x8000;

  bool NextByte(std::uint8_t* byte);
  bool Bit(std::int32_t* bit);
  bool Bits(std::int32_t count, std::int32_t* value);
  bool DecodeSymbol(std::int32_t* symbol);
  bool DecodeDistance(std::int32_t* distance);
  void Update(std::int32_t symbol);
  void Rebuild();

  ContainerFile& file_;
  std::int32_t at_;
  std::int32_t bitBuffer_ = 0;
  std::int32_t bitCount_ = 0;
  std::uint8_t window_[kWindow];
  std::int32_t windowAt_ = kWindow - kLongestMatch;
  // A match being copied out: how many of its bytes are left, from where.
  std::int32_t matchLeft_ = 0;
  std::int32_t matchFrom_ = 0;
  // The tree: each node's frequency (and one past the root, a sentinel),
  // its parent, and its child (a leaf's symbol plus kNodes).
  std::int32_t frequency_[kNodes + 1];
  std::int32_t parent_[kNodes + kSymbols];
  std::int32_t child_[kNodes];
};

}  // namespace d88

#endif  // D88IMAGE_SRC_LZHUF_DECODER_H
