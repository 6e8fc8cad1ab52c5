#ifndef D88IMAGE_SRC_TRACK_ENCODER_H
#define D88IMAGE_SRC_TRACK_ENCODER_H

// Records one track's sectors as a drive writes them, in FM or MFM, in
// IBM's layout (the one the decoder reads: fm_mfm_decoder.h):
//   MFM: 80 bytes of 4E, 12 of 00, the index mark (three C2 written with
//     a clock missing, and FC), 50 of 4E; per sector 12 of 00, three A1
//     with a clock missing, FE, C H R N, the CRC, 22 of 4E, 12 of 00,
//     three A1, FB (F8 deleted), the data, the CRC, and a gap of 4E;
//   FM: 40 bytes of FF, 6 of 00, the index mark (FC with clock D7), 26 of
//     FF; per sector 6 of 00, FE with clock C7, C H R N, the CRC, 11 of FF,
//     6 of 00, FB (F8) with clock C7, the data, the CRC, and a gap of FF;
// the gap after each sector 54 bytes (27 in FM), fewer where the track
// needs them, down to 8 (4); the rest of the revolution 4E (FF). FM is
// written at twice its rate, each cell as two, so that FM and MFM tracks
// share one rate. A sector's facts are recorded as they were met: an ID
// CRC error as a bad ID CRC, a data CRC error as a bad data CRC, an ID
// without data as the ID field alone.

#include <cstdint>

#include "d88image/d88_writer.h"

namespace d88 {

struct EncodedSector {
  SectorFacts facts;
  const std::uint8_t* data;  // 128 << N bytes
};

// Writes the track's cells into `cells` (bits, the first in the top bit
// of byte 0), a revolution of `revolution` cells; returns false where the
// sectors need more, with the cells they need in `*needed`.
bool EncodeTrack(const EncodedSector* sectors, std::int32_t count, bool fm,
                 std::int32_t revolution, std::uint8_t* cells, std::int32_t* needed);

}  // namespace d88

#endif  // D88IMAGE_SRC_TRACK_ENCODER_H
