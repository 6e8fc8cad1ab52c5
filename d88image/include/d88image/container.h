#ifndef D88IMAGE_CONTAINER_H
#define D88IMAGE_CONTAINER_H

// The containers disk images are kept in, and what the reader learnt of the
// one it opened. A container other than D88 is read as the D88 it would be
// (the same disks, tracks, sector IDs, data and facts), so that every sector
// operation reads it as it reads a D88; this says which container it was.
//
// Limits, which every container's reader keeps to: one disk per container
// (a D88 may hold 64), the D88's 164 tracks (track = 2 x cylinder + head),
// and at most kMaxConvertedSize bytes for the D88 it is read as (a 2.88 MB
// disk fits; the largest common floppy, 1.44 MB, is 1.52 MB as a D88).
// Sectors per track are bounded by each container's own fields (255 at
// most, a byte's worth).

#include <cstdint>

#include "d88image/d88_format.h"

namespace d88 {

constexpr std::int32_t kMaxConvertedSize = 4 * 1024 * 1024;

// In the order d88ls --json names them ("d88", "raw", ...).
enum class Format {
  kD88,
  kRaw,
  kFdi,
  kDim,
  kDcp,
  kNfd,
  kVfd,
  kImd,
  kDsk,
  kEdsk,
  kTd0,
  kDmk,
  // Bit cells or flux, decoded from FM and MFM recording.
  kHfe,
  kMfm,
  k86f,
  kScp,
};

// The container's name as d88ls gives it: "d88", "raw", "fdi", ...
const char* FormatName(Format format);

// A raw image's layout: cylinders x heads x sectors of sectorSize bytes.
struct Geometry {
  std::int32_t cylinders = 0;
  std::int32_t heads = 0;
  std::int32_t sectors = 0;
  std::int32_t sectorSize = 0;
};
constexpr bool operator==(const Geometry& a, const Geometry& b) {
  return a.cylinders == b.cylinders && a.heads == b.heads && a.sectors == b.sectors &&
         a.sectorSize == b.sectorSize;
}

// Why a container could not be read whole: what kind of fault, in which
// part of it and where. The reader keeps what it read up to the fault.
struct ContainerProblem {
  enum class Kind {
    kNone,
    kCutShort,     // the file ends inside `part`
    kBadField,     // a field of `part` holds `value`, which cannot be
    kBadChecksum,  // `part` does not match the checksum stored for it
    kTooLarge,     // the disk is larger, as a D88, than the reader holds
    kUnsupported,  // `part` is in a form the reader does not know
    kTrackTwice,   // the track comes again, later in the file
    kNoClock,      // no track's flux keeps to a clock: no data rate found
    kNoSectors,    // no track's bits hold a sector that FM or MFM recorded
  };
  enum class Part {
    kHeader,
    kComment,
    kTrackTable,
    kTrackHeader,
    kSectorHeader,
    kSectorData,
    kCompression,
    kTrackBits,  // a track's bit cells or flux
  };
  Kind kind = Kind::kNone;
  Part part = Part::kHeader;
  std::int32_t track = -1;  // the track (2 x cylinder + head), or -1
  std::int32_t value = 0;
};

// The geometry a raw image of `size` bytes named `name` is read as, by its
// size (the name's extension breaking ties between geometries of one
// size); false where no geometry has that size.
bool RawGeometryOf(std::int32_t size, const char* name, Geometry* geometry);

// What decoding a track's bits found (bitstream and flux containers):
// how many times the track was read (an SCP file's revolutions, and a
// cylinder recorded twice counts twice), how many of those reads saw some
// sector otherwise than it was kept, how it was recorded, and from which
// read (0 the first) each of its sectors was kept, in their stored order.
struct TrackDecoding {
  static constexpr std::int32_t kMaxSectors = 64;
  enum class Encoding : std::uint8_t { kNone, kFm, kMfm };
  std::uint8_t reads = 0;
  // Of them, those of the first recording of a cylinder recorded twice
  // (the rest are of the second); all, else.
  std::uint8_t firstRecordingReads = 0;
  std::uint8_t disagreeing = 0;
  Encoding encoding = Encoding::kNone;
  std::uint8_t sectorCount = 0;  // those whose read is kept here, at most kMaxSectors
  std::uint8_t sectorRead[kMaxSectors] = {};
};

// The room a reader lends the decoding of bitstream and flux containers:
// a track's cells over every revolution, and every read of its sectors.
constexpr std::int32_t kDecodeSpaceSize = 1792 * 1024;

// What the reader learnt of the container it opened.
struct Container {
  Format format = Format::kD88;
  // The size of the file itself (2^31 - 1 for one that large or larger);
  // the D88 it is read as has a size of its own.
  std::int32_t fileSize = 0;
  // A raw image: the geometry read, and the others its size also fits.
  Geometry geometry;
  static constexpr std::int32_t kMaxOtherGeometries = 4;
  Geometry otherGeometries[kMaxOtherGeometries];
  std::int32_t otherGeometryCount = 0;
  // NFD's revision (0 or 1); 0 for every other container.
  std::int32_t revision = 0;
  ContainerProblem problem;
  // A bitstream or flux container: what decoding found, track by track (by
  // the tracks the sectors were placed on), and whether each cylinder was
  // recorded twice, as a 40-track disk read in an 80-track drive is.
  bool decoded = false;
  bool doubleStepped = false;
  TrackDecoding decoding[kTrackCount];
};

}  // namespace d88

#endif  // D88IMAGE_CONTAINER_H
