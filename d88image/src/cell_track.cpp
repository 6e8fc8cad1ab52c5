#include "cell_track.h"

#include <cstring>

namespace d88 {

void CellTrack::Clear() {
  std::memset(bits_, 0, static_cast<std::size_t>((count_ + 7) / 8));
  count_ = 0;
  revolutions_ = 1;
  starts_[0] = 0;
  dropped_ = false;
  refused_ = false;
}

bool CellTrack::BeginRevolution() {
  if (revolutions_ == kMaxRevolutions) {
    refused_ = true;
    dropped_ = true;
    return false;
  }
  starts_[revolutions_++] = count_;
  return true;
}

}  // namespace d88
