#ifndef D88IMAGE_SRC_TRACK_READS_H
#define D88IMAGE_SRC_TRACK_READS_H

// Every read of one track's sectors, over every revolution the file gives
// (and, for a cylinder recorded twice, over both recordings), and the
// choice among them: each sector is kept from the first read that found
// its ID and its data with good CRCs, else from its best bad read.
//
// Limits: kMaxReads reads of kMaxPool bytes of data in all, over
// kMaxRounds reads of the track; kMaxSectors sectors kept. A read past
// them is not kept, and Full() says so.

#include <cstdint>

#include "d88image/container.h"
#include "d88image/d88_writer.h"

namespace d88 {

// How well a sector was read, worst first.
enum class ReadQuality : std::uint8_t { kIdCrcError, kNoDataMark, kDataCrcError, kGood };

struct SectorRead {
  SectorFacts facts;
  ReadQuality quality;
  std::int32_t round;  // the read of the track it came from, from 0
  std::int32_t angle;  // cells from its revolution's start to its ID
  std::int32_t data;   // its data's place in the pool
  std::int32_t size;   // bytes of data (0 for none)
};

class TrackReads {
 public:
  static constexpr std::int32_t kMaxReads = 1024;
  static constexpr std::int32_t kMaxPool = 1 << 20;
  static constexpr std::int32_t kMaxRounds = 2 * 8;
  static constexpr std::int32_t kMaxSectors = 128;

  void Clear();
  // Begins the next read of the track, whose revolution is `cells` cells
  // long; false past kMaxRounds.
  bool BeginRound(std::int32_t cells);
  std::int32_t Rounds() const { return rounds_; }
  // Adds a read of the current round, with room for its `size` bytes of
  // data (DataOf), which the caller fills; nullptr where the reads are full.
  SectorRead* Add(const SectorFacts& facts, ReadQuality quality, std::int32_t angle,
                  std::int32_t size);
  std::uint8_t* DataOf(const SectorRead& read) { return pool_ + read.data; }
  bool Full() const { return full_; }
  std::int32_t Count() const { return count_; }
  const SectorRead& At(std::int32_t k) const { return reads_[k]; }

  // Chooses each sector's read and lays the sectors out on `track`, in
  // their order around it; notes in `*decoding` which read each came
  // from. False where the writer refused one.
  bool Write(D88Writer& writer, std::int32_t track, TrackDecoding* decoding);

 private:
  struct Sector {
    std::int32_t first;   // its first read, whose angle orders it on the track
    std::int32_t kept;    // the read it is kept from
    std::int32_t named;   // its first read with a good ID, or -1
    std::uint32_t rounds; // the rounds that read it, one bit each
  };
  std::int32_t Match(const SectorRead& read) const;
  std::int32_t Distance(const SectorRead& a, const SectorRead& b) const;
  bool SameRead(const SectorRead& a, const SectorRead& b) const;

  SectorRead reads_[kMaxReads];
  std::int32_t sectorOf_[kMaxReads];
  std::int32_t count_ = 0;
  std::uint8_t pool_[kMaxPool];
  std::int32_t used_ = 0;
  std::int32_t rounds_ = 0;
  std::int32_t roundCells_[kMaxRounds] = {};
  bool full_ = false;
  Sector sectors_[kMaxSectors];
  std::int32_t sectorCount_ = 0;
};

}  // namespace d88

#endif  // D88IMAGE_SRC_TRACK_READS_H
