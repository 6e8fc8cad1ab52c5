#include "d88image/hfe_writer.h"

#include <cstring>

#include "track_encoder.h"

namespace d88 {
namespace {

constexpr std::int32_t kBlock = 512;
constexpr std::int32_t kSideBytes = 256;
constexpr std::int32_t kLargestSizeCode = 7;

void Put16(std::uint8_t* at, std::int32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint8_t Reversed(std::uint8_t byte) {
  std::int32_t turned = 0;
  for (std::int32_t bit = 0; bit < 8; ++bit) turned = (turned << 1) | ((byte >> bit) & 1);
  return static_cast<std::uint8_t>(turned);
}

// The status the decoder gives a sector recorded from `facts`.
std::int32_t StatusReadBack(const SectorFacts& facts) {
  if (facts.status == kStatusIdCrcError) return kStatusIdCrcError;
  if (facts.status == kStatusNoDataMark) return kStatusNoDataMark;
  if (facts.status == kStatusDataCrcError) return kStatusDataCrcError;
  return facts.deletedMark == kDeletedData ? kDeletedData : kStatusNone;
}

// Whether bits read back as `facts` say: the status, the deleted mark (of
// a sector with data) and the density.
bool ReadsBackSo(const SectorFacts& facts) {
  const bool marked = facts.deletedMark == kDeletedData && facts.status != kStatusNoDataMark;
  return facts.status == StatusReadBack(facts) && (facts.deletedMark == 0 || marked) &&
         (facts.density == kDoubleDensity || facts.density == kSingleDensity);
}

}  // namespace

HfeWriter::HfeWriter(std::uint8_t* buffer, std::int32_t capacity)
    : buffer_(buffer), capacity_(capacity) {}

bool HfeWriter::Fail(Fault fault, std::int32_t track, std::int32_t value, std::int32_t limit) {
  if (problem_.fault == Fault::kNone) problem_ = {fault, track, value, limit};
  return false;
}

void HfeWriter::BeginDisk(std::int32_t kbps, std::int32_t rpm, std::int32_t cylinders,
                          std::int32_t heads, bool writeProtected) {
  problem_ = Problem{};
  inexact_ = Inexact{};
  cylinders_ = cylinders;
  heads_ = heads == 2 ? 2 : 1;
  // Cells a revolution: twice the bit rate, for a revolution's time.
  revolution_ = static_cast<std::int32_t>(std::int64_t{2000} * kbps * 60 / rpm);
  if (revolution_ > 8 * kMaxSideBytes) revolution_ = 8 * kMaxSideBytes;
  const std::int32_t listBlocks = (4 * cylinders + kBlock - 1) / kBlock;
  used_ = kBlock * (1 + listBlocks);
  if (used_ > capacity_) {
    Fail(Fault::kTooLarge, 0, used_, capacity_);
    return;
  }
  std::memset(buffer_, 0xFF, static_cast<std::size_t>(used_));
  std::memcpy(buffer_, "HXCPICFE", 8);
  buffer_[8] = 0;  // revision
  buffer_[9] = static_cast<std::uint8_t>(cylinders);
  buffer_[10] = static_cast<std::uint8_t>(heads_);
  buffer_[11] = 0;  // IBM's MFM, the encoding of the tracks it does not say
  Put16(buffer_ + 12, kbps);
  Put16(buffer_ + 14, rpm);
  buffer_[16] = 7;  // a generic Shugart interface
  buffer_[17] = 1;
  Put16(buffer_ + 18, 1);  // the track list, from block 1
  buffer_[20] = writeProtected ? 0 : 0xFF;
  buffer_[21] = 0xFF;  // one step a cylinder
  track_ = -1;
  cylinder_ = 0;
  sideDone_[0] = sideDone_[1] = false;
  count_ = 0;
  dataUsed_ = 0;
}

bool HfeWriter::AddSector(std::int32_t track, const SectorFacts& facts, const std::uint8_t* data,
                          std::int32_t size) {
  if (problem_.fault != Fault::kNone) return false;
  if (track != track_) {
    if (track_ >= 0 && !EndTrack()) return false;
    while (cylinder_ < track / 2) {
      if (!WriteCylinder()) return false;
    }
    track_ = track;
  }
  if (count_ == kMaxSectors) return Fail(Fault::kTooManySectors, track, count_ + 1, kMaxSectors);
  if (count_ > 0 && (facts.density == kSingleDensity) != (facts_[0].density == kSingleDensity)) {
    return Fail(Fault::kMixedDensity, track, 0, 0);
  }
  SectorFacts kept = facts;
  const bool recordable = facts.n <= kLargestSizeCode;
  const std::int32_t nominal = recordable ? std::int32_t{128} << facts.n : 0;
  if (!recordable) kept.status = kStatusNoDataMark;
  // What reads back otherwise than the D88 says, the first of it said.
  const bool sizeDiffers = kept.status != kStatusNoDataMark && size != nominal;
  const bool statusDiffers = !recordable || !ReadsBackSo(facts);
  if (sizeDiffers || statusDiffers) {
    Note({true, statusDiffers, track, facts.r, size, nominal, facts.status, facts.deletedMark,
          recordable ? StatusReadBack(facts) : kStatusNoDataMark});
  }
  const std::int32_t stored = kept.status == kStatusNoDataMark ? 0 : nominal;
  // More data than any revolution holds: at least 16 cells a byte.
  if (stored > kMaxTrackData - dataUsed_) {
    return Fail(Fault::kTrackTooLong, track, 16 * (dataUsed_ + stored), revolution_);
  }
  std::uint8_t* at = data_ + dataUsed_;
  const std::int32_t copied = size < stored ? size : stored;
  if (copied > 0) std::memcpy(at, data, static_cast<std::size_t>(copied));
  if (stored > copied) std::memset(at + copied, 0, static_cast<std::size_t>(stored - copied));
  facts_[count_] = kept;
  dataAt_[count_] = dataUsed_;
  ++count_;
  dataUsed_ += stored;
  return true;
}

void HfeWriter::Note(const Inexact& inexact) {
  if (!inexact_.any) inexact_ = inexact;
}

bool HfeWriter::EndTrack() {
  // A track of IDs that all read bad reads back as no sectors at all.
  bool anyGood = false;
  for (std::int32_t k = 0; k < count_; ++k) anyGood = anyGood || facts_[k].status != kStatusIdCrcError;
  if (count_ > 0 && !anyGood) {
    Note({true, true, track_, facts_[0].r, 0, 0, facts_[0].status, facts_[0].deletedMark, -1});
  }
  EncodedSector sectors[kMaxSectors];
  for (std::int32_t k = 0; k < count_; ++k) sectors[k] = {facts_[k], data_ + dataAt_[k]};
  const bool fm = count_ > 0 && facts_[0].density == kSingleDensity;
  std::int32_t needed = 0;
  const std::int32_t head = track_ & 1;
  if (!EncodeTrack(sectors, count_, fm, revolution_, sides_[head], &needed)) {
    return Fail(Fault::kTrackTooLong, track_, needed, revolution_);
  }
  sideDone_[head] = true;
  count_ = 0;
  dataUsed_ = 0;
  return true;
}

bool HfeWriter::WriteCylinder() {
  const std::int32_t sideBytes = (revolution_ + 7) / 8;
  std::int32_t needed = 0;
  for (std::int32_t h = 0; h < 2; ++h) {
    // A side the disk has no track on: a track of gap alone.
    if (!sideDone_[h]) EncodeTrack(nullptr, 0, false, revolution_, sides_[h], &needed);
    sideDone_[h] = false;
  }
  const std::int32_t blocks = (sideBytes + kSideBytes - 1) / kSideBytes;
  if (blocks * kBlock > capacity_ - used_) return Fail(Fault::kTooLarge, track_, 0, capacity_);
  std::uint8_t* entry = buffer_ + kBlock + 4 * cylinder_;
  Put16(entry, used_ / kBlock);
  Put16(entry + 2, 2 * sideBytes);
  for (std::int32_t b = 0; b < blocks; ++b) {
    for (std::int32_t h = 0; h < 2; ++h) {
      std::uint8_t* out = buffer_ + used_ + b * kBlock + h * kSideBytes;
      for (std::int32_t k = 0; k < kSideBytes; ++k) {
        const std::int32_t at = b * kSideBytes + k;
        out[k] = at < sideBytes ? Reversed(sides_[h][at]) : 0;
      }
    }
  }
  used_ += blocks * kBlock;
  ++cylinder_;
  return true;
}

bool HfeWriter::EndDisk() {
  if (problem_.fault != Fault::kNone) return false;
  if (track_ >= 0 && !EndTrack()) return false;
  while (cylinder_ < cylinders_) {
    if (!WriteCylinder()) return false;
  }
  return true;
}

}  // namespace d88
