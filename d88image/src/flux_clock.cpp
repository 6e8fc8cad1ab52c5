#include "flux_clock.h"

#include <algorithm>

namespace d88 {
namespace {

// No field of FM or MFM holds more than three 0 cells running (seven at
// twice FM's rate); a longer silence is a gap, and its length does not
// matter beyond this.
constexpr std::int64_t kMaxZeros = 64;

}  // namespace

bool FindCellTime(std::int32_t* intervals, std::int32_t count, std::int32_t* cellTime) {
  if (count < 64) return false;
  // The shortest intervals that recur: around the tenth percentile.
  std::int32_t* tenth = intervals + count / 10;
  std::nth_element(intervals, tenth, intervals + count);
  const std::int64_t q = *tenth;
  if (q <= 0) return false;
  std::int64_t sum = 0;
  std::int64_t near = 0;
  for (std::int32_t k = 0; k < count; ++k) {
    if (4 * intervals[k] >= 3 * q && 4 * intervals[k] <= 5 * q) {
      sum += intervals[k];
      ++near;
    }
  }
  if (near == 0) return false;
  // Two cells, in ticks x 256.
  const std::int64_t cell = sum * 128 / near;
  if (cell <= 0 || cell > (std::int64_t{1} << 30)) return false;
  // A clock: nearly every interval is two, three or four cells.
  std::int64_t whole = 0;
  for (std::int32_t k = 0; k < count; ++k) {
    const std::int64_t t = std::int64_t{intervals[k]} * 256;
    const std::int64_t n = (t + cell / 2) / cell;
    const std::int64_t off = t - n * cell;
    if (n >= 2 && n <= 4 && 10 * (off < 0 ? -off : off) <= 3 * cell) ++whole;
  }
  if (whole * 10 < std::int64_t{count} * 8) return false;
  *cellTime = static_cast<std::int32_t>(cell);
  return true;
}

void FluxClock::Begin(std::int32_t cellTime) {
  nominal_ = cellTime > 0 ? cellTime : 1;
  period_ = nominal_;
  time_ = 0;
}

void FluxClock::Add(std::int32_t ticks, CellTrack* cells) {
  time_ += std::int64_t{ticks} * 256;
  std::int64_t n = (time_ + period_ / 2) / period_;
  if (n < 1) n = 1;
  for (std::int64_t k = 1; k < n && k <= kMaxZeros; ++k) cells->Add(0);
  cells->Add(1);
  const std::int64_t error = time_ - n * period_;
  // The cell time follows slowly, the phase halfway.
  period_ += error / (32 * n);
  period_ = std::min(std::max(period_, nominal_ - nominal_ / 8), nominal_ + nominal_ / 8);
  time_ = error / 2;
}

}  // namespace d88
