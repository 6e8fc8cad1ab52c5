#include "marked_disk/marker.h"

namespace marked_disk {

bool CheckMarker(D88Image& image, MarkerCheck* check) {
  *check = MarkerCheck{};
  std::uint8_t sector[kIdSectorSize];
  check->bytes = image.ReadSector(kIdTrack, CylinderOf(kIdTrack), HeadOf(kIdTrack), kIdSector,
                                  kSizeCode, sector, kIdSectorSize);
  using Finding = MarkerCheck::Finding;
  if (check->bytes == 0) {
    std::int32_t position = 0;
    check->lookup = image.LookUpTrack(kIdTrack, &position);
    check->finding =
        check->lookup == D88Image::TrackLookup::kFound ? Finding::kNoSector : Finding::kTrackAbsent;
  } else if (check->bytes < kIdSectorSize) {
    check->finding = Finding::kShortSector;
  } else {
    check->byte = sector[kMarkerOffset];
    check->finding = check->byte == kMarker ? Finding::kMarked : Finding::kOtherByte;
  }
  return check->finding == Finding::kMarked;
}

}  // namespace marked_disk
