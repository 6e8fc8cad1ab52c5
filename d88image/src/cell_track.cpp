#include "cell_track.h"

namespace d88 {

void CellTrack::Clear() {
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
