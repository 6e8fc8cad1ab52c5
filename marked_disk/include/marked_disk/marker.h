#ifndef MARKED_DISK_MARKER_H
#define MARKED_DISK_MARKER_H

// The marked disk is told from every other by one byte: byte 254 of the
// sector with ID C 0 H 0 R 16 N 1 on track 0 is 'A'.

#include <cstdint>

#include "d88image/d88image.h"
#include "marked_disk/block_table.h"

namespace marked_disk {

constexpr std::int32_t kIdTrack = 0;
constexpr std::int32_t kIdSector = 16;
constexpr std::int32_t kIdSectorSize = kSectorSize;
constexpr std::int32_t kMarkerOffset = 254;
constexpr std::uint8_t kMarker = 0x41;  // 'A'

// What the ID sector of a disk says.
struct MarkerCheck {
  enum class Finding {
    kMarked,
    kTrackAbsent,  // the reader counts track 0 as absent: `lookup` says why
    kNoSector,     // track 0 is there, without the ID sector
    kShortSector,  // the ID sector holds only `bytes` bytes
    kOtherByte,    // the ID sector is whole, with `byte` where the marker belongs
  };
  Finding finding = Finding::kNoSector;
  D88Image::TrackLookup lookup = D88Image::TrackLookup::kFound;
  std::int32_t bytes = 0;
  std::uint8_t byte = 0;
};

// Reads the ID sector of the disk selected in `image`; returns whether the
// disk carries the marker, with what was found in `*check`.
bool CheckMarker(D88Image& image, MarkerCheck* check);

}  // namespace marked_disk

#endif  // MARKED_DISK_MARKER_H
