#ifndef D88IMAGE_SRC_CELL_TRACK_H
#define D88IMAGE_SRC_CELL_TRACK_H

// The bit cells of one track, as a bitstream container holds them or the
// flux clock makes them: 1 where the medium's flux changes, 0 where it
// does not, eight to a byte, the first cell in the top bit. A track read
// over several revolutions keeps them one after another, with where each
// revolution begins; one of a single revolution is a circle, its last cell
// followed by its first.
//
// Limits: kMaxRevolutions revolutions of kMaxRevolutionCells cells (a 2HD
// revolution at 360 rpm is 166,667 cells; at 300 rpm, 200,000; one of
// 2.88 MB media, 400,000). Cells beyond them are dropped and Dropped()
// says so.

#include <cstdint>

namespace d88 {

class CellTrack {
 public:
  static constexpr std::int32_t kMaxRevolutions = 8;
  static constexpr std::int32_t kMaxRevolutionCells = 1 << 19;
  static constexpr std::int32_t kMaxCells = kMaxRevolutions * kMaxRevolutionCells;

  // Empties the track, which then has one revolution begun.
  void Clear();
  // Begins the next revolution at the cells added so far; false (and the
  // cells that follow dropped) past kMaxRevolutions.
  bool BeginRevolution();
  void Add(std::int32_t cell) {
    if (count_ - starts_[revolutions_ - 1] >= kMaxRevolutionCells || refused_) {
      dropped_ = true;
      return;
    }
    // Each cell is written, 0 or 1, over whatever the room held before.
    const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (count_ & 7));
    std::uint8_t& byte = bits_[count_ >> 3];
    byte = static_cast<std::uint8_t>(cell != 0 ? byte | bit : byte & ~bit);
    ++count_;
  }
  // Adds `count` cells of `byte`, from its top bit down.
  void AddByte(std::uint8_t byte, std::int32_t count = 8) {
    for (std::int32_t k = 0; k < count; ++k) Add((byte >> (7 - k)) & 1);
  }
  // Whether some cells were dropped (a revolution too long, or too many).
  bool Dropped() const { return dropped_; }

  std::int32_t Count() const { return count_; }
  std::int32_t Revolutions() const { return revolutions_; }
  std::int32_t RevolutionStart(std::int32_t r) const { return starts_[r]; }
  std::int32_t RevolutionEnd(std::int32_t r) const { return r + 1 < revolutions_ ? starts_[r + 1] : count_; }
  // Cell `k`: past the last, the circle goes on from the first where the
  // track is one revolution; else there is none (0).
  std::int32_t Cell(std::int32_t k) const {
    if (k >= count_) {
      if (revolutions_ != 1 || count_ == 0) return 0;
      k %= count_;
    }
    return (bits_[k >> 3] >> (7 - (k & 7))) & 1;
  }
  // Whether cells from `k` on, `length` of them, are there to read.
  bool Holds(std::int32_t k, std::int32_t length) const {
    return revolutions_ == 1 ? count_ > 0 : k <= count_ - length;
  }

 private:
  std::uint8_t bits_[kMaxCells / 8];
  std::int32_t count_ = 0;
  std::int32_t starts_[kMaxRevolutions] = {};
  std::int32_t revolutions_ = 1;
  bool dropped_ = false;
  bool refused_ = false;
};

}  // namespace d88

#endif  // D88IMAGE_SRC_CELL_TRACK_H
