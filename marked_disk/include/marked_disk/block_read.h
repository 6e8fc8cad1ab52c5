#ifndef MARKED_DISK_BLOCK_READ_H
#define MARKED_DISK_BLOCK_READ_H

// Reading a block, or any run of sectors, with what kept it short.

#include <cstdint>

#include "d88image/d88image.h"
#include "marked_disk/block_table.h"

namespace marked_disk {

// A sector of a run that the image marks: the read that made the image
// gave it a status other than none, or found its data under a deleted-data
// mark (both as d88_format.h names them).
struct MarkedSector {
  std::int32_t track;
  std::int32_t c;
  std::int32_t h;
  std::int32_t r;
  std::int32_t status;
  std::int32_t deletedMark;
};

// How far a run of sectors was read and, where not to its end, the first
// sector that stopped it and why; and which of the sectors read the image
// marks.
struct RunRead {
  enum class Stop {
    kNone,          // read to its end
    kMissing,       // the sector is not where the run needs it
    kShort,         // the sector holds fewer bytes than the run needs of it
    kOutOfNumbers,  // the next sector's track or R would leave 32 bits
  };
  std::int32_t bytes = 0;  // bytes read in full, in whole sectors
  Stop stop = Stop::kNone;
  // The sector the run stopped at; the last one it read where it stopped
  // for kNone or kOutOfNumbers.
  std::int32_t track = 0;
  std::int32_t c = 0;
  std::int32_t h = 0;
  std::int32_t r = 0;
  // kShort: the bytes the sector gave, of the `wanted` the run needs of it.
  std::int32_t sectorBytes = 0;
  std::int32_t wanted = 0;
  // kMissing: why the reader counts the sector's track as absent, or
  // kFound where the track is there without the sector.
  D88Image::TrackLookup lookup = D88Image::TrackLookup::kFound;
  // The first kMaxMarked of the marked sectors read, in the order read;
  // `markedCount` counts them all.
  static constexpr std::int32_t kMaxMarked = 16;
  MarkedSector marked[kMaxMarked] = {};
  std::int32_t markedCount = 0;
};

// Reads `length` bytes of the run of sectors that starts at (track; c, h,
// r, n) of the disk selected in `image`, as D88Image::ReadSectors does, into
// `buffer` (at least `length` bytes); returns the bytes read, with the rest
// of what was found in `*read`. The marks come from the records the run
// reads; finding what stopped a run costs one more search, made only when
// it stopped short.
std::int32_t ReadRun(D88Image& image, std::int32_t track, std::int32_t c, std::int32_t h,
                     std::int32_t r, std::int32_t n, std::uint8_t* buffer, std::int32_t length,
                     RunRead* read);

// The same for `block`, with the disk's sector range set first: `buffer`
// holds at least block.size bytes.
std::int32_t ReadBlock(D88Image& image, const Block& block, std::uint8_t* buffer, RunRead* read);

}  // namespace marked_disk

#endif  // MARKED_DISK_BLOCK_READ_H
