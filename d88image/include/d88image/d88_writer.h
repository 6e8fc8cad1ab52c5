#ifndef D88IMAGE_D88_WRITER_H
#define D88IMAGE_D88_WRITER_H

// Lays out D88 disks (layout in d88_format.h) in a buffer the caller owns:
// the form every other container is read as, and what d88conv writes. It
// writes no file.
//
// A disk is begun, given its sectors track by track (the tracks in any
// order, each track's sectors together and in their stored order), and
// ended, which fills in its header: the size, the track table and, where
// asked, the media type its tracks imply.

#include <cstdint>

#include "d88image/container.h"
#include "d88image/d88_format.h"

namespace d88 {

// A sector's ID and how the read that made the image went, as a D88
// record holds them.
struct SectorFacts {
  std::uint8_t c = 0;
  std::uint8_t h = 0;
  std::uint8_t r = 0;
  std::uint8_t n = 0;
  std::uint8_t density = kDoubleDensity;
  std::uint8_t deletedMark = 0;
  std::uint8_t status = kStatusNone;
};

// The facts of a sector whose ID reads C, H, R, N in `chrn`'s four bytes,
// in that order, as every container and a track's bits record them; its
// density, mark and status as SectorFacts begins them.
inline SectorFacts FactsOfId(const std::uint8_t* chrn) {
  SectorFacts facts;
  facts.c = chrn[0];
  facts.h = chrn[1];
  facts.r = chrn[2];
  facts.n = chrn[3];
  return facts;
}

// The media type a disk's tracks imply: 2HD where a track holds more data
// than a 250 kbit/s track can (6,250 bytes a revolution at 300 rpm), else
// by its cylinders (more than 42: 2DD) and sides (one: 1D or 1DD).
std::int32_t ImpliedMediaType(std::int32_t cylinders, bool doubleSided,
                              std::int32_t largestTrackData);

class D88Writer {
 public:
  // A media type EndDisk works out from the tracks.
  static constexpr std::int32_t kImpliedMedia = -1;

  D88Writer(std::uint8_t* buffer, std::int32_t capacity);

  // Begins a disk after the last one: `name` (up to 16 bytes; nullptr for
  // none), the write-protect byte and the media type, or kImpliedMedia.
  void BeginDisk(const char* name, std::int32_t writeProtect, std::int32_t mediaType);
  // Room for `size` bytes of a new sector's data on `track` (0 to 163),
  // which the caller fills; nullptr where the sector cannot be added (the
  // buffer is full, the track is out of range, or it came before and
  // another since): Problem() says why.
  std::uint8_t* AddSector(std::int32_t track, const SectorFacts& facts, std::int32_t size);
  // The same, with the data copied from `data`.
  bool AddSector(std::int32_t track, const SectorFacts& facts, const std::uint8_t* data,
                 std::int32_t size);
  // Where the disk's recording says its data rate (a bitstream's cells do),
  // the media type implied is 2HD for a high rate and, for a double one,
  // that of its cylinders and sides whatever its tracks hold.
  void SetHighDensity(bool high) { rate_ = high ? 1 : 0; }
  // Ends the disk; false where nothing of it could be laid out.
  bool EndDisk();

  // Bytes laid out so far, disks ended or not.
  std::int32_t Size() const { return used_; }
  // The first sector that could not be added, and why; kNone if none.
  const ContainerProblem& Problem() const { return problem_; }

 private:
  void EndTrack();
  bool Reserve(std::int32_t bytes);

  std::uint8_t* buffer_;
  std::int32_t capacity_;
  std::int32_t used_ = 0;
  std::int32_t diskStart_ = -1;
  std::int32_t mediaType_ = kImpliedMedia;
  std::int32_t track_ = -1;        // the track being laid out
  std::int32_t trackStart_ = 0;    // its first record
  std::int32_t trackRecords_ = 0;
  std::int32_t trackData_ = 0;
  std::int32_t largestTrackData_ = 0;
  std::int32_t rate_ = -1;  // as SetHighDensity says; -1 for not said
  std::int32_t lastTrack_ = -1;
  bool doubleSided_ = false;
  bool trackDone_[kTrackCount] = {};
  ContainerProblem problem_;
};

}  // namespace d88

#endif  // D88IMAGE_D88_WRITER_H
