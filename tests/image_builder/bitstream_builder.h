#ifndef TESTS_IMAGE_BUILDER_BITSTREAM_BUILDER_H
#define TESTS_IMAGE_BUILDER_BITSTREAM_BUILDER_H

// Writes a disk of the image builder as the bits a drive reads from it:
// each track recorded by this builder's own FM and MFM encoder (FM where
// its sectors are of single density), IBM's layout with its gaps, each
// sector's facts recorded as a controller would have met them (a CRC
// error as a bad CRC, deleted data with its mark, an ID without data
// alone), then kept as HFE (revision 1 or 3), HxC MFM, 86F, or as
// SuperCard Pro flux: the times between flux changes, off by a seeded
// jitter, over two revolutions.
// A revolution is 100,000 cells at 250 kbit/s (166,667 for 2HD, media
// 0x20); a track that needs more is given more.

#include <cstdint>
#include <utility>
#include <vector>

#include "image_builder/image_builder.h"

namespace d88test {

enum class Bitstream { kHfe, kHfeV3, kHxcMfm, k86f, kScp };

struct BitstreamOptions {
  std::int32_t revolutions = 2;  // SCP
  // SCP: each interval off by up to this share of it, from `seed` on.
  double jitter = 0.03;
  std::uint32_t seed = 1;
  // Sectors (track, R) whose data reads with a bad CRC on the first
  // revolution alone (SCP).
  std::vector<std::pair<std::int32_t, std::int32_t>> spoiltOnFirst;
  // The same for sectors whose ID reads with a bad CRC.
  std::vector<std::pair<std::int32_t, std::int32_t>> idSpoiltOnFirst;
  // Each cylinder recorded on two of the drive's, as a 40-track disk in an
  // 80-track drive (86F, HFE, HxC MFM and SCP alike).
  bool recordedTwice = false;
};

Bytes BuildBitstream(const Disk& disk, Bitstream kind, const BitstreamOptions& options = {});

// One track's cells, 0 or 1 each: the sectors in their order, FM cells
// twice over (the file's rate being MFM's), at least `revolution` long.
// `spoilt`, `idSpoilt`: the R of a sector whose data (or ID) is written
// wrong, or -1.
std::vector<std::uint8_t> TrackCells(const std::vector<Sector>& sectors, std::int32_t revolution,
                                     std::int32_t spoilt = -1, std::int32_t idSpoilt = -1);

}  // namespace d88test

#endif  // TESTS_IMAGE_BUILDER_BITSTREAM_BUILDER_H
