// LZHUF decoding, for Teledisk's advanced compression.
//
// The Huffman tree is kept as an array of nodes in order of frequency, each
// node's frequency no greater than the next's; a leaf is a node whose child
// is a symbol (stored as the symbol plus kNodes). Reading a symbol walks
// from the root by one bit a level. Each symbol read then counts once more
// at its leaf and every node above it, and a node that would outgrow the
// next is first swapped with the last node still below its new count, which
// keeps the order. When the root's count reaches kMaxFrequency every count
// is halved and the tree built anew.

#include "lzhuf_decoder.h"

namespace d88 {
namespace {

// A match's distance is 12 bits. Its upper 6 are coded by the first 8 bits
// read: 1 code of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7 and 16 of 8,
// for the upper values 0 to 63 in order; its lower 6 follow as they are.
struct DistanceCode {
  std::uint8_t upper[256];
  std::uint8_t length[256];
};

constexpr DistanceCode MakeDistanceCode() {
  DistanceCode code = {};
  constexpr std::int32_t kCodesOfLength[9] = {0, 0, 0, 1, 3, 8, 12, 24, 16};
  std::int32_t value = 0;
  std::int32_t upper = 0;
  for (std::int32_t length = 3; length <= 8; ++length) {
    for (std::int32_t k = 0; k < kCodesOfLength[length]; ++k, ++upper) {
      for (std::int32_t n = 0; n < (1 << (8 - length)); ++n, ++value) {
        code.upper[value] = static_cast<std::uint8_t>(upper);
        code.length[value] = static_cast<std::uint8_t>(length);
      }
    }
  }
  return code;
}

constexpr DistanceCode kDistanceCode = MakeDistanceCode();

}  // namespace

LzhufDecoder::LzhufDecoder(ContainerFile& file, std::int32_t start) : file_(file), at_(start) {
  for (std::uint8_t& byte : window_) byte = ' ';
  for (std::int32_t symbol = 0; symbol < kSymbols; ++symbol) {
    frequency_[symbol] = 1;
    child_[symbol] = symbol + kNodes;
    parent_[symbol + kNodes] = symbol;
  }
  for (std::int32_t left = 0, node = kSymbols; node <= kRoot; left += 2, ++node) {
    frequency_[node] = frequency_[left] + frequency_[left + 1];
    child_[node] = left;
    parent_[left] = node;
    parent_[left + 1] = node;
  }
  frequency_[kNodes] = 0xFFFF;  // above every count, so that no search passes it
  parent_[kRoot] = 0;
}

bool LzhufDecoder::NextByte(std::uint8_t* byte) {
  if (at_ >= file_.Size()) return false;
  *byte = static_cast<std::uint8_t>(file_.ByteAt(at_++));
  return true;
}

bool LzhufDecoder::Bit(std::int32_t* bit) {
  if (bitCount_ == 0) {
    std::uint8_t byte = 0;
    if (!NextByte(&byte)) return false;
    bitBuffer_ = byte;
    bitCount_ = 8;
  }
  *bit = (bitBuffer_ >> 7) & 1;
  bitBuffer_ = (bitBuffer_ << 1) & 0xFF;
  --bitCount_;
  return true;
}

bool LzhufDecoder::Bits(std::int32_t count, std::int32_t* value) {
  *value = 0;
  for (std::int32_t k = 0; k < count; ++k) {
    std::int32_t bit = 0;
    if (!Bit(&bit)) return false;
    *value = (*value << 1) | bit;
  }
  return true;
}

bool LzhufDecoder::DecodeSymbol(std::int32_t* symbol) {
  std::int32_t node = child_[kRoot];
  while (node < kNodes) {
    std::int32_t bit = 0;
    if (!Bit(&bit)) return false;
    node = child_[node + bit];
  }
  *symbol = node - kNodes;
  Update(*symbol);
  return true;
}

bool LzhufDecoder::DecodeDistance(std::int32_t* distance) {
  std::int32_t first = 0;
  std::int32_t rest = 0;
  if (!Bits(8, &first)) return false;
  const std::int32_t more = kDistanceCode.length[first] - 2;
  if (!Bits(more, &rest)) return false;
  const std::int32_t lower = ((first << more) | rest) & 0x3F;
  *distance = (kDistanceCode.upper[first] << 6) | lower;
  return true;
}

void LzhufDecoder::Update(std::int32_t symbol) {
  if (frequency_[kRoot] == kMaxFrequency) Rebuild();
  std::int32_t node = parent_[symbol + kNodes];
  do {
    const std::int32_t count = ++frequency_[node];
    if (count > frequency_[node + 1]) {
      // The last node still below `count` takes this one's place.
      std::int32_t other = node + 1;
      while (count > frequency_[other + 1]) ++other;
      frequency_[node] = frequency_[other];
      frequency_[other] = count;
      const std::int32_t mine = child_[node];
      const std::int32_t theirs = child_[other];
      parent_[mine] = other;
      if (mine < kNodes) parent_[mine + 1] = other;
      parent_[theirs] = node;
      if (theirs < kNodes) parent_[theirs + 1] = node;
      child_[other] = mine;
      child_[node] = theirs;
      node = other;
    }
    node = parent_[node];
  } while (node != 0);
}

void LzhufDecoder::Rebuild() {
  // The leaves, in their order, with their counts halved (rounding up).
  std::int32_t leaves = 0;
  for (std::int32_t node = 0; node < kNodes; ++node) {
    if (child_[node] < kNodes) continue;
    frequency_[leaves] = (frequency_[node] + 1) / 2;
    child_[leaves] = child_[node];
    ++leaves;
  }
  // Each new node joins the next two, and goes where its count belongs.
  for (std::int32_t left = 0, node = kSymbols; node < kNodes; left += 2, ++node) {
    const std::int32_t count = frequency_[left] + frequency_[left + 1];
    std::int32_t place = node;
    while (count < frequency_[place - 1]) --place;
    for (std::int32_t k = node; k > place; --k) {
      frequency_[k] = frequency_[k - 1];
      child_[k] = child_[k - 1];
    }
    frequency_[place] = count;
    child_[place] = left;
  }
  for (std::int32_t node = 0; node < kNodes; ++node) {
    const std::int32_t below = child_[node];
    parent_[below] = node;
    if (below < kNodes) parent_[below + 1] = node;
  }
}

bool LzhufDecoder::Read(std::uint8_t* buffer, std::int32_t count) {
  for (std::int32_t k = 0; k < count; ++k) {
    std::uint8_t byte = 0;
    if (matchLeft_ == 0) {
      std::int32_t symbol = 0;
      if (!DecodeSymbol(&symbol)) return false;
      if (symbol < 256) {
        byte = static_cast<std::uint8_t>(symbol);
      } else {
        std::int32_t distance = 0;
        if (!DecodeDistance(&distance)) return false;
        matchFrom_ = (windowAt_ - distance - 1) & (kWindow - 1);
        matchLeft_ = symbol - 256 + kThreshold + 1;
      }
    }
    if (matchLeft_ > 0) {
      byte = window_[matchFrom_];
      matchFrom_ = (matchFrom_ + 1) & (kWindow - 1);
      --matchLeft_;
    }
    window_[windowAt_] = byte;
    windowAt_ = (windowAt_ + 1) & (kWindow - 1);
    buffer[k] = byte;
  }
  return true;
}

}  // namespace d88
