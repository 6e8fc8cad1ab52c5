#ifndef D88IMAGE_SRC_FM_MFM_DECODER_H
#define D88IMAGE_SRC_FM_MFM_DECODER_H

// The sectors FM and MFM recording left in a track's bit cells, as IBM's
// System 34 layout has them, the one these disks were written in:
//   MFM: each data bit is two cells, a clock cell and a data cell; the
//     clock cell is 1 only between two 0 data bits. A field begins with
//     three A1 bytes written with a clock missing (cells 0x4489, which no
//     data makes) and its mark: FE an ID, FB data, F8 deleted data.
//   FM: each data bit is two cells, a clock cell (always 1) and a data
//     cell; a mark is written with clock C7 instead of FF (FE, FB, F8, and
//     F9 and FA, which read as F8 and FB), which no data makes. An FM track
//     kept at twice its rate (a 125 kbit/s track in a file of 250) has
//     each of its cells as two: a 1 and a 0, or two 0s.
//   An ID field is its mark, C H R N and a CRC; the data field, after a
//   gap, is its mark, 128 << N bytes and a CRC. The CRC is CRC-16-CCITT
//   from 0xFFFF over the field's mark and bytes, and in MFM over the three
//   A1s before the mark too.
// One track keeps to one of these: the one whose IDs read with good CRCs
// most often. An ID with a bad CRC counts only on a track where some ID
// reads good, lest noise be taken for sectors.
//
// Work is bounded by the cells: one pass finds the marks (at most
// kMaxMarks), and no more data is read than the cells could hold.

#include <cstdint>

#include "cell_track.h"
#include "d88image/container.h"
#include "track_reads.h"

namespace d88 {

// The marks one pass over a track's cells finds, kept for the fields to be
// read after: the cell after each, how it was recorded, and its byte.
struct TrackMarks {
  static constexpr std::int32_t kMaxMarks = 8192;
  enum class Mode : std::uint8_t { kMfm, kFm, kFmDoubled };
  struct Mark {
    std::int32_t at;
    Mode mode;
    std::uint8_t byte;
  };
  Mark marks[kMaxMarks];
  std::int32_t count = 0;
};

// Adds the sectors read from every revolution of `cells` to `reads`, each
// revolution a round of its own (`marks` is room to work in); returns how
// the track was recorded, kNone where no ID read good.
TrackDecoding::Encoding DecodeTrack(const CellTrack& cells, TrackMarks* marks, TrackReads* reads);

}  // namespace d88

#endif  // D88IMAGE_SRC_FM_MFM_DECODER_H
