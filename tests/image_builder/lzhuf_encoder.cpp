#include "image_builder/lzhuf_encoder.h"

#include <array>
#include <map>
#include <vector>

namespace d88test {
namespace {

constexpr int kWindow = 4096;
constexpr int kLongest = 60;
constexpr int kShortest = 3;
constexpr int kSymbols = 256 + kLongest - kShortest + 1;  // literals, then lengths 3 to 60
constexpr int kNodeCount = 2 * kSymbols - 1;
constexpr int kTop = kNodeCount - 1;

// Bits, first bit of a byte in its top place.
class BitWriter {
 public:
  void Put(unsigned value, int count) {
    for (int k = count - 1; k >= 0; --k) {
      current_ = static_cast<std::uint8_t>((current_ << 1) | ((value >> k) & 1));
      if (++used_ == 8) {
        out_.push_back(current_);
        used_ = 0;
        current_ = 0;
      }
    }
  }
  Bytes Finish() {
    if (used_ > 0) out_.push_back(static_cast<std::uint8_t>(current_ << (8 - used_)));
    return out_;
  }

 private:
  Bytes out_;
  std::uint8_t current_ = 0;
  int used_ = 0;
};

// The adaptive code: nodes kept in order of weight, each with the node
// (or, at kNodeCount and above, the symbol) below it; the encoder walks
// from a symbol's node up to the top, a node at an odd place being its
// parent's second child.
class AdaptiveCode {
 public:
  AdaptiveCode() {
    for (int s = 0; s < kSymbols; ++s) {
      nodes_[s] = {1, kNodeCount + s, 0};
      leaf_[s] = s;
    }
    for (int below = 0, at = kSymbols; at < kNodeCount; below += 2, ++at) {
      nodes_[at] = {nodes_[below].weight + nodes_[below + 1].weight, below, 0};
      nodes_[below].up = nodes_[below + 1].up = at;
    }
  }

  void Put(int symbol, BitWriter* bits) {
    std::vector<int> path;
    for (int at = leaf_[symbol]; at != kTop; at = nodes_[at].up) path.push_back(at & 1);
    for (auto bit = path.rbegin(); bit != path.rend(); ++bit) bits->Put(static_cast<unsigned>(*bit), 1);
    Count(symbol);
  }

 private:
  struct Node {
    int weight;
    int down;  // the first of two nodes below, or kNodeCount + a symbol
    int up;
  };

  int WeightAt(int at) const { return at == kNodeCount ? 0x10000 : nodes_[at].weight; }

  void Link(int at) {
    const int down = nodes_[at].down;
    if (down >= kNodeCount) {
      leaf_[down - kNodeCount] = at;
    } else {
      nodes_[down].up = at;
      nodes_[down + 1].up = at;
    }
  }

  void Count(int symbol) {
    if (nodes_[kTop].weight == 0x8000) Halve();
    int at = leaf_[symbol];
    while (true) {
      const int weight = ++nodes_[at].weight;
      if (weight > WeightAt(at + 1)) {
        int swap = at + 1;
        while (weight > WeightAt(swap + 1)) ++swap;
        std::swap(nodes_[at].down, nodes_[swap].down);
        nodes_[at].weight = nodes_[swap].weight;
        nodes_[swap].weight = weight;
        Link(at);
        Link(swap);
        at = swap;
      }
      at = nodes_[at].up;
      if (at == 0) break;
    }
  }

  void Halve() {
    std::vector<Node> leaves;
    for (int at = 0; at < kNodeCount; ++at) {
      if (nodes_[at].down >= kNodeCount) leaves.push_back({(nodes_[at].weight + 1) / 2, nodes_[at].down, 0});
    }
    for (int k = 0; k < kSymbols; ++k) nodes_[k] = leaves[static_cast<std::size_t>(k)];
    for (int below = 0, at = kSymbols; at < kNodeCount; below += 2, ++at) {
      const int weight = nodes_[below].weight + nodes_[below + 1].weight;
      int place = at;
      while (place > 0 && weight < nodes_[place - 1].weight) {
        nodes_[place] = nodes_[place - 1];
        --place;
      }
      nodes_[place] = {weight, below, 0};
    }
    for (int at = 0; at < kNodeCount; ++at) Link(at);
  }

  std::array<Node, kNodeCount> nodes_;
  std::array<int, kSymbols> leaf_;
};

// The fixed code of a distance's upper 6 bits: its length, and its bits
// as the top of the first byte read.
struct UpperCode {
  int length;
  unsigned bits;
};

UpperCode CodeFor(int upper) {
  const int perLength[] = {1, 3, 8, 12, 24, 16};  // of lengths 3 to 8
  int first = 0;  // the first byte a code of this length starts
  int value = 0;
  for (int length = 3; length <= 8; ++length) {
    for (int k = 0; k < perLength[length - 3]; ++k, ++value) {
      if (value == upper) return {length, static_cast<unsigned>(first >> (8 - length))};
      first += 1 << (8 - length);
    }
  }
  return {0, 0};
}

}  // namespace

Bytes LzhufEncode(const Bytes& input) {
  BitWriter bits;
  AdaptiveCode code;
  // Where each three bytes were last seen, for finding matches.
  std::map<std::uint32_t, std::vector<std::size_t>> seen;
  const auto key = [&input](std::size_t at) {
    return (static_cast<std::uint32_t>(input[at]) << 16) | (input[at + 1] << 8) | input[at + 2];
  };
  for (std::size_t at = 0; at < input.size();) {
    std::size_t bestLength = 0;
    std::size_t bestFrom = 0;
    if (at + kShortest <= input.size()) {
      const auto found = seen.find(key(at));
      if (found != seen.end()) {
        const std::vector<std::size_t>& from = found->second;
        for (auto it = from.rbegin(); it != from.rend() && it - from.rbegin() < 16; ++it) {
          if (at - *it > kWindow - kLongest) break;
          std::size_t length = 0;
          while (length < kLongest && at + length < input.size() && input[*it + length] == input[at + length]) {
            ++length;
          }
          if (length > bestLength) {
            bestLength = length;
            bestFrom = *it;
          }
        }
      }
    }
    const std::size_t step = bestLength >= kShortest ? bestLength : 1;
    if (bestLength >= kShortest) {
      code.Put(256 + static_cast<int>(bestLength) - kShortest, &bits);
      const int distance = static_cast<int>(at - bestFrom - 1);
      const UpperCode upper = CodeFor(distance >> 6);
      bits.Put(upper.bits, upper.length);
      bits.Put(static_cast<unsigned>(distance & 0x3F), 6);
    } else {
      code.Put(input[at], &bits);
    }
    for (std::size_t k = 0; k < step; ++k, ++at) {
      if (at + kShortest <= input.size()) seen[key(at)].push_back(at);
    }
  }
  return bits.Finish();
}

}  // namespace d88test
