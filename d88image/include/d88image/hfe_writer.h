#ifndef D88IMAGE_HFE_WRITER_H
#define D88IMAGE_HFE_WRITER_H

// Lays a disk out as HFE (revision 1), the files of a floppy emulator, in
// a buffer the caller owns: each track's sectors recorded in FM or MFM as
// their density says, with IBM's gaps, at the rate and speed given (2HD
// disks turn at 360 rpm, or at 300 as 1.44 MB ones do, with 500 kbit/s;
// others at 300 rpm with 250; an FM track at half the rate, each of its
// cells written twice), so that the reader decodes the file back to the
// same sectors and facts. It writes no file.
//
// A disk is begun, given its sectors track by track (tracks in ascending
// order, each track's sectors together, in their stored order), and
// ended. What bits cannot keep is recorded as near as they can, and the
// first such sector said: data of another length than its size code's
// (recorded at that length); a size code over 7 (recorded as an ID alone);
// a status or mark bits do not tell (recorded as read well, or without
// the mark); a track whose every ID has a bad CRC (which no reader takes
// for sectors).

#include <cstdint>

#include "d88image/d88_writer.h"

namespace d88 {

class HfeWriter {
 public:
  enum class Fault {
    kNone,
    kTooLarge,      // the buffer cannot hold the file
    kTrackTooLong,  // `track`'s sectors need `value` cells of a revolution of `limit`
    kMixedDensity,  // `track` holds sectors of FM and of MFM
    kTooManySectors // `track` holds more than kMaxSectors (`limit`) sectors
  };
  struct Problem {
    Fault fault = Fault::kNone;
    std::int32_t track = 0;
    std::int32_t value = 0;
    std::int32_t limit = 0;
  };
  // The first sector recorded otherwise than the D88 says.
  struct Inexact {
    bool any = false;
    bool byStatus = false;      // its facts; else its data's size
    std::int32_t track = 0;
    std::int32_t r = 0;
    std::int32_t dataSize = 0;  // its data's size, and its size code's
    std::int32_t nominal = 0;
    std::int32_t status = 0;    // its status and deleted mark, and the status
    std::int32_t deletedMark = 0;  // it reads back with (-1: it reads back as
    std::int32_t readBack = 0;     // no sector, its track's IDs all bad)
  };
  static constexpr std::int32_t kMaxSectors = 128;

  HfeWriter(std::uint8_t* buffer, std::int32_t capacity);
  // `kbps` the data rate (250, 500), `rpm` the speed (300, 360);
  // `cylinders` and `heads` (1 or 2) as the disk's tracks reach.
  void BeginDisk(std::int32_t kbps, std::int32_t rpm, std::int32_t cylinders, std::int32_t heads,
                 bool writeProtected);
  bool AddSector(std::int32_t track, const SectorFacts& facts, const std::uint8_t* data,
                 std::int32_t size);
  bool EndDisk();
  std::int32_t Size() const { return used_; }
  const Problem& GetProblem() const { return problem_; }
  const Inexact& GetInexact() const { return inexact_; }

 private:
  static constexpr std::int32_t kMaxTrackData = 64 * 1024;
  static constexpr std::int32_t kMaxSideBytes = 32 * 1024;
  bool EndTrack();
  void Note(const Inexact& inexact);
  bool WriteCylinder();
  bool Fail(Fault fault, std::int32_t track, std::int32_t value, std::int32_t limit);

  std::uint8_t* buffer_;
  std::int32_t capacity_;
  std::int32_t used_ = 0;
  std::int32_t cylinders_ = 0;
  std::int32_t heads_ = 1;
  std::int32_t revolution_ = 100000;
  std::int32_t track_ = -1;
  std::int32_t cylinder_ = 0;  // the cylinder whose sides are being recorded
  bool sideDone_[2] = {};
  SectorFacts facts_[kMaxSectors];
  std::int32_t dataAt_[kMaxSectors];
  std::int32_t count_ = 0;
  std::uint8_t data_[kMaxTrackData];
  std::int32_t dataUsed_ = 0;
  std::uint8_t sides_[2][kMaxSideBytes];
  Problem problem_;
  Inexact inexact_;
};

}  // namespace d88

#endif  // D88IMAGE_HFE_WRITER_H
