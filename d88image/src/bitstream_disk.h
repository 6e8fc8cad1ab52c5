#ifndef D88IMAGE_SRC_BITSTREAM_DISK_H
#define D88IMAGE_SRC_BITSTREAM_DISK_H

// A disk whose tracks a container gives as bit cells (or flux, made cells
// by the flux clock), decoded track by track into its sectors and laid out
// as a D88. Each container says how many cylinders and heads it holds and
// loads a track's cells; this does the rest:
//   each track's sectors from its best reads (track_reads.h), placed on
//   the track they were read from, except on a disk of a drive of twice
//   the cylinders (a 40-track disk read in an 80-track drive), which holds
//   each cylinder twice: there the two recordings are one track, placed
//   by the cylinder their IDs name, each sector from its first good read.
// The disk is taken for one recorded so where the drive had more than 43
// cylinders and the IDs of its third cylinder (or the next even one that
// has any) name cylinder 1 (or half its own).

#include <cstdint>

#include "cell_track.h"
#include "container_reader.h"
#include "fm_mfm_decoder.h"
#include "track_reads.h"

namespace d88 {

// The room decoding works in, lent by the reader (kDecodeSpaceSize bytes).
struct DecodeSpace {
  CellTrack cells;
  TrackMarks marks;
  TrackReads reads;
};

struct BitstreamTracks {
  std::int32_t cylinders;
  std::int32_t heads;
  // Loads the cells of (cylinder, head) into `cells` (cleared before);
  // false where the file holds no such track, with a fault of the file's
  // noted in `container`.
  bool (*load)(void* context, ContainerFile& file, std::int32_t cylinder, std::int32_t head,
               CellTrack* cells, Container* container);
  void* context;
  // For flux: whether load found a clock on any track so far (nullptr for
  // cells, which need none).
  const bool* clockFound;
};

// Adds to `cells` the `count` cells kept in the file from `position` on,
// eight to a byte, the first in the top bit; where the file ends first, it
// says so (of `track`) and keeps what there was.
void AddFileCells(ContainerFile& file, std::int32_t position, std::int32_t count,
                  std::int32_t track, CellTrack* cells, Container* container);

// A container whose header says nothing of its tracks that can be read:
// its fault noted, an empty disk laid out.
void ReadNoTracks(D88Writer& writer, Container* container, ContainerProblem::Kind kind,
                  ContainerProblem::Part part, std::int32_t value);

// Lays the disk out in `writer` (begun and ended here), with what the
// decoding found in `container`.
void ReadBitstreamDisk(ContainerFile& file, const BitstreamTracks& tracks,
                       std::int32_t writeProtect, D88Writer& writer, Container* container);

}  // namespace d88

#endif  // D88IMAGE_SRC_BITSTREAM_DISK_H
