#include "track_reads.h"

#include <cstring>

namespace d88 {
namespace {

bool SameId(const SectorFacts& a, const SectorFacts& b) {
  return a.c == b.c && a.h == b.h && a.r == b.r && a.n == b.n;
}

}  // namespace

void TrackReads::Clear() {
  count_ = 0;
  used_ = 0;
  rounds_ = 0;
  full_ = false;
  sectorCount_ = 0;
}

bool TrackReads::BeginRound(std::int32_t cells) {
  if (rounds_ == kMaxRounds) {
    full_ = true;
    return false;
  }
  roundCells_[rounds_++] = cells > 0 ? cells : 1;
  return true;
}

SectorRead* TrackReads::Add(const SectorFacts& facts, ReadQuality quality, std::int32_t angle,
                            std::int32_t size) {
  if (rounds_ == 0 || count_ == kMaxReads || size > kMaxPool - used_) {
    full_ = true;
    return nullptr;
  }
  SectorRead* read = &reads_[count_++];
  *read = {facts, quality, rounds_ - 1, angle, used_, size};
  used_ += size;
  return read;
}

// How far apart two reads' IDs are around the track, in cells of the later
// read's revolution.
std::int32_t TrackReads::Distance(const SectorRead& a, const SectorRead& b) const {
  const std::int32_t length = roundCells_[b.round];
  std::int32_t d = a.angle - b.angle;
  if (d < 0) d = -d;
  d %= length;
  return d < length - d ? d : length - d;
}

// The sector a read is of, among those the read's round has not read yet:
// one of the same ID (the nearest around the track where several have it);
// else, where the ID was not read or names no sector yet, the nearest
// within a 32nd of a revolution. -1 for a sector not seen before.
std::int32_t TrackReads::Match(const SectorRead& read) const {
  const std::uint32_t bit = 1u << read.round;
  const std::int32_t tolerance = roundCells_[read.round] / 32;
  std::int32_t best = -1;
  std::int32_t bestDistance = 0;
  if (read.quality != ReadQuality::kIdCrcError) {
    for (std::int32_t s = 0; s < sectorCount_; ++s) {
      const Sector& sector = sectors_[s];
      if ((sector.rounds & bit) != 0 || sector.named < 0 ||
          !SameId(reads_[sector.named].facts, read.facts)) {
        continue;
      }
      const std::int32_t distance = Distance(reads_[sector.first], read);
      if (best < 0 || distance < bestDistance) {
        best = s;
        bestDistance = distance;
      }
    }
    if (best >= 0) return best;
  }
  for (std::int32_t s = 0; s < sectorCount_; ++s) {
    const Sector& sector = sectors_[s];
    if ((sector.rounds & bit) != 0) continue;
    if (read.quality != ReadQuality::kIdCrcError && sector.named >= 0) continue;
    const std::int32_t distance = Distance(reads_[sector.first], read);
    if (distance <= tolerance && (best < 0 || distance < bestDistance)) {
      best = s;
      bestDistance = distance;
    }
  }
  return best;
}

bool TrackReads::SameRead(const SectorRead& a, const SectorRead& b) const {
  return a.quality == b.quality && SameId(a.facts, b.facts) && a.facts.status == b.facts.status &&
         a.facts.deletedMark == b.facts.deletedMark && a.facts.density == b.facts.density &&
         a.size == b.size &&
         std::memcmp(pool_ + a.data, pool_ + b.data, static_cast<std::size_t>(a.size)) == 0;
}

bool TrackReads::Write(D88Writer& writer, std::int32_t track, TrackDecoding* decoding) {
  sectorCount_ = 0;
  for (std::int32_t k = 0; k < count_; ++k) {
    const SectorRead& read = reads_[k];
    const bool named = read.quality != ReadQuality::kIdCrcError;
    std::int32_t s = Match(read);
    if (s < 0) {
      sectorOf_[k] = -1;
      if (sectorCount_ == kMaxSectors) {
        full_ = true;
        continue;
      }
      s = sectorCount_++;
      sectors_[s] = {k, k, named ? k : -1, 0};
    }
    Sector& sector = sectors_[s];
    sectorOf_[k] = s;
    sector.rounds |= 1u << read.round;
    if (sector.named < 0 && named) sector.named = k;
    // A better read replaces the one kept; of equal ones, the first stays.
    if (read.quality > reads_[sector.kept].quality) sector.kept = k;
  }
  // A round disagrees where it missed a sector, or read one otherwise than
  // it is kept.
  const std::uint32_t everyRound = (1u << rounds_) - 1;
  std::uint32_t disagreeing = 0;
  for (std::int32_t s = 0; s < sectorCount_; ++s) disagreeing |= everyRound & ~sectors_[s].rounds;
  for (std::int32_t k = 0; k < count_; ++k) {
    const std::int32_t s = sectorOf_[k];
    if (s >= 0 && k != sectors_[s].kept && !SameRead(reads_[k], reads_[sectors_[s].kept])) {
      disagreeing |= 1u << reads_[k].round;
    }
  }
  std::int32_t disagreeingCount = 0;
  for (std::int32_t r = 0; r < rounds_; ++r) disagreeingCount += (disagreeing >> r) & 1;
  // In their order around the track (a few dozen: insertion will do).
  std::int32_t order[kMaxSectors];
  for (std::int32_t i = 0; i < sectorCount_; ++i) {
    std::int32_t j = i;
    while (j > 0 && reads_[sectors_[order[j - 1]].first].angle > reads_[sectors_[i].first].angle) {
      order[j] = order[j - 1];
      --j;
    }
    order[j] = i;
  }
  decoding->reads = static_cast<std::uint8_t>(rounds_);
  decoding->disagreeing = static_cast<std::uint8_t>(disagreeingCount);
  decoding->sectorCount = 0;
  for (std::int32_t i = 0; i < sectorCount_; ++i) {
    const SectorRead& kept = reads_[sectors_[order[i]].kept];
    if (!writer.AddSector(track, kept.facts, kept.size > 0 ? pool_ + kept.data : nullptr, kept.size)) {
      return false;
    }
    if (decoding->sectorCount < TrackDecoding::kMaxSectors) {
      decoding->sectorRead[decoding->sectorCount++] = static_cast<std::uint8_t>(kept.round);
    }
  }
  return true;
}

}  // namespace d88
