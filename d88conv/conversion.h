#ifndef D88CONV_CONVERSION_H
#define D88CONV_CONVERSION_H

// The forms d88conv writes, laid out in a buffer from what the reader
// reads: a D88 of some of the image's disks, every sector's facts kept; a
// raw image of one disk; and one disk as the bits of HFE. Each says, where
// it cannot, what stopped it.

#include <cstdint>

#include "d88image/d88image.h"
#include "d88image/hfe_writer.h"

namespace d88conv {

// What keeps a disk from being written: the first track (and sector) that
// does not fit, or the buffer's end.
struct Misfit {
  enum class Kind {
    kNone,
    kTooLarge,        // more than the buffer holds (`expected` bytes)
    kTooManySectors,  // `track` holds more records than are read (`expected`)
    kNoTracks,        // a raw image: the disk has no track
    kTrackMissing,    // `track` is absent, a later one not
    kSectorMissing,   // `track` has no sector `r` of 1 to n
    kCountDiffers,    // `track` holds `value` sectors, track 0 `expected`
    kSizeDiffers,     // `track` R `r` holds `value` bytes, track 0's `expected`
    kSectorTwice,     // `track` holds R `r` twice
    kSizeCodeDiffers, // `track` R `r` has size code `value`, track 0's `expected`
    kDataCutShort,    // the image ends inside the data of `track` R `r`
    kTrackTooLong,    // HFE: `track`'s sectors need `value` cells, a revolution `expected`
    kMixedDensity,    // HFE: `track` holds sectors of FM and of MFM
  };
  Kind kind = Kind::kNone;
  std::int32_t track = 0;
  std::int32_t r = 0;
  std::int32_t value = 0;
  std::int32_t expected = 0;
};

// Lays disks `first` to `last` of `image` out as one D88 in `buffer`, but
// for those that repeat a disk before them (found where an earlier one is,
// as a size field of 0 makes them); returns its size, or 0 with why in
// `*misfit`.
std::int32_t LayOutD88(D88Image& image, std::int32_t first, std::int32_t last,
                       std::uint8_t* buffer, std::int32_t capacity, Misfit* misfit);

// Lays disk `disk` of `image` out as a raw image in `buffer`: every track
// from 0 to the last, both heads or, where no track of head 1 is there, head
// 0 alone, each holding sectors R 1 to n of one size, as track 0 does;
// returns its size, with its geometry in `*geometry`, or 0 with why in
// `*misfit`.
std::int32_t LayOutRaw(D88Image& image, std::int32_t disk, std::uint8_t* buffer,
                       std::int32_t capacity, Misfit* misfit, d88::Geometry* geometry);

// Lays disk `disk` of `image` out as HFE through `writer` (into the buffer
// of `capacity` bytes it was made with): its tracks from 0 to the last,
// both heads or head 0 alone as for a raw image; returns its size, or 0
// with why in `*misfit`; the first sector the bits keep otherwise than the
// D88 says is in `*inexact`.
std::int32_t LayOutHfe(D88Image& image, std::int32_t disk, d88::HfeWriter& writer,
                       std::int32_t capacity, Misfit* misfit, d88::HfeWriter::Inexact* inexact);

}  // namespace d88conv

#endif  // D88CONV_CONVERSION_H
