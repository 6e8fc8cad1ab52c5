#ifndef D88IMAGE_SRC_FLUX_CLOCK_H
#define D88IMAGE_SRC_FLUX_CLOCK_H

// From flux to bit cells: the times between a track's flux changes, as a
// flux reader measured them, to the cells FM and MFM recording wrote, by a
// clock that follows the medium's speed as a drive's data separator does.
//
// The cell time is found from the intervals themselves: the shortest that
// recur are two cells (MFM's 1 0 1, FM's clock and data 1s at twice the
// rate), and a track whose intervals do not keep to whole cells has no
// clock. The clock then counts cells between changes, nudging its cell
// time and phase towards each change by a fraction of its error, within
// an eighth of the time found.

#include <cstdint>

#include "cell_track.h"

namespace d88 {

// The cell time, in ticks x 256, that `count` intervals (ticks each)
// keep to; false where they keep to none.
bool FindCellTime(std::int32_t* intervals, std::int32_t count, std::int32_t* cellTime);

class FluxClock {
 public:
  // Starts at `cellTime` (ticks x 256), in phase with the next change.
  void Begin(std::int32_t cellTime);
  // The cells up to and including a change `ticks` after the last.
  void Add(std::int32_t ticks, CellTrack* cells);

 private:
  std::int64_t nominal_ = 1;
  std::int64_t period_ = 1;
  std::int64_t time_ = 0;
};

}  // namespace d88

#endif  // D88IMAGE_SRC_FLUX_CLOCK_H
