#ifndef D88IMAGE_SRC_REGULAR_TRACKS_H
#define D88IMAGE_SRC_REGULAR_TRACKS_H

// Containers whose disk is stored as whole tracks of sectors numbered from
// 1, cylinder by cylinder and head by head, with no IDs of their own: raw
// images, FDI, DIM and DCP, which differ in their headers and in which
// tracks they store.

#include <cstdint>

#include "container_reader.h"

namespace d88 {

struct RegularLayout {
  Geometry geometry;
  std::int32_t dataStart = 0;
  // Which tracks (2 x cylinder + head, up to 159) the file stores, one byte
  // each, non-zero for stored; every track where nullptr.
  const std::uint8_t* stored = nullptr;
  // Cylinder 0 head 0 holds sectors of 128 bytes in single density, as
  // N88-BASIC's 2HD disks have it.
  bool singleDensityTrackZero = false;
  // Sectors are numbered from 10 but on cylinder 0 head 0 (the 2HS
  // layout).
  bool numberedFromTen = false;
};

// How many bytes the file gives to `track`; 0 for a track it does not store.
std::int32_t RegularTrackBytes(const RegularLayout& layout, std::int32_t track);

// How many bytes the file gives to all of its tracks.
std::int32_t RegularDataBytes(const RegularLayout& layout);

// Whether a geometry read from a header is one the reader can hold.
bool PlausibleGeometry(const Geometry& geometry);

// Lays the disk out as one D88 disk; a file that ends early ends it there.
void ReadRegularTracks(ContainerFile& file, D88Writer& writer, const RegularLayout& layout,
                       std::int32_t mediaType, Container* container);

}  // namespace d88

#endif  // D88IMAGE_SRC_REGULAR_TRACKS_H
