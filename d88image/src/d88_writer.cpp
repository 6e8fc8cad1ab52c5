// D88Writer: D88 disks laid out in a buffer, header, track table and
// records as d88_format.h draws them.

#include "d88image/d88_writer.h"

#include <cstring>

namespace d88 {
namespace {

// The most data a track at 250 kbit/s and 300 rpm can hold in a revolution.
constexpr std::int32_t kDoubleDensityTrackBytes = 6250;
// The most cylinders a 40-track drive reaches.
constexpr std::int32_t kMaxCylindersOf40Tracks = 42;

void PutU16(std::uint8_t* at, std::int32_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutU32(std::uint8_t* at, std::int32_t value) {
  PutU16(at, value & 0xFFFF);
  PutU16(at + 2, (value >> 16) & 0xFFFF);
}

}  // namespace

std::int32_t ImpliedMediaType(std::int32_t cylinders, bool doubleSided,
                              std::int32_t largestTrackData) {
  if (largestTrackData > kDoubleDensityTrackBytes) return 0x20;  // 2HD
  const bool eighty = cylinders > kMaxCylindersOf40Tracks;
  if (!doubleSided) return eighty ? 0x40 : 0x30;  // 1DD, 1D
  return eighty ? 0x10 : 0x00;                    // 2DD, 2D
}

D88Writer::D88Writer(std::uint8_t* buffer, std::int32_t capacity)
    : buffer_(buffer), capacity_(capacity > 0 ? capacity : 0) {}

bool D88Writer::Reserve(std::int32_t bytes) {
  if (bytes <= capacity_ - used_) return true;
  if (problem_.kind == ContainerProblem::Kind::kNone) {
    problem_.kind = ContainerProblem::Kind::kTooLarge;
    problem_.part = ContainerProblem::Part::kSectorData;
    problem_.track = track_;
    problem_.value = kMaxConvertedSize;
  }
  return false;
}

void D88Writer::BeginDisk(const char* name, std::int32_t writeProtect, std::int32_t mediaType) {
  if (diskStart_ >= 0) EndDisk();
  if (!Reserve(kDiskHeaderSize)) return;
  diskStart_ = used_;
  std::uint8_t* header = buffer_ + diskStart_;
  std::memset(header, 0, static_cast<std::size_t>(kDiskHeaderSize));
  for (std::int32_t k = 0; name != nullptr && k < kDiskNameLength && name[k] != '\0'; ++k) {
    header[k] = static_cast<std::uint8_t>(name[k]);
  }
  header[kWriteProtectOffset] = static_cast<std::uint8_t>(writeProtect);
  mediaType_ = mediaType;
  used_ += kDiskHeaderSize;
  track_ = -1;
  largestTrackData_ = 0;
  rate_ = -1;
  lastTrack_ = -1;
  doubleSided_ = false;
  for (bool& done : trackDone_) done = false;
}

std::uint8_t* D88Writer::AddSector(std::int32_t track, const SectorFacts& facts,
                                   std::int32_t size) {
  if (diskStart_ < 0) return nullptr;
  const auto refuse = [this, track](ContainerProblem::Kind kind, ContainerProblem::Part part,
                                    std::int32_t value) -> std::uint8_t* {
    if (problem_.kind == ContainerProblem::Kind::kNone) problem_ = {kind, part, track, value};
    return nullptr;
  };
  if (track < 0 || track >= kTrackCount) {
    return refuse(ContainerProblem::Kind::kBadField, ContainerProblem::Part::kTrackHeader, track);
  }
  if (size < 0 || size > 0xFFFF) {
    return refuse(ContainerProblem::Kind::kBadField, ContainerProblem::Part::kSectorHeader, size);
  }
  if (track != track_) {
    if (trackDone_[track]) {
      return refuse(ContainerProblem::Kind::kTrackTwice, ContainerProblem::Part::kTrackHeader,
                    track);
    }
    EndTrack();
    track_ = track;
    trackStart_ = used_;
    trackRecords_ = 0;
    trackData_ = 0;
  }
  if (!Reserve(kSectorHeaderSize + size)) return nullptr;
  if (trackRecords_ == 0) {
    PutU32(buffer_ + diskStart_ + kTrackTableOffset + 4 * track, used_ - diskStart_);
  }
  std::uint8_t* record = buffer_ + used_;
  std::memset(record, 0, static_cast<std::size_t>(kSectorHeaderSize));
  record[kSectorIdOffset] = facts.c;
  record[kSectorIdOffset + 1] = facts.h;
  record[kSectorIdOffset + 2] = facts.r;
  record[kSectorIdOffset + 3] = facts.n;
  record[kDensityOffset] = facts.density;
  record[kDeletedMarkOffset] = facts.deletedMark;
  record[kStatusOffset] = facts.status;
  PutU16(record + kDataSizeOffset, size);
  used_ += kSectorHeaderSize + size;
  ++trackRecords_;
  trackData_ += size;
  return record + kSectorHeaderSize;
}

bool D88Writer::AddSector(std::int32_t track, const SectorFacts& facts,
                          const std::uint8_t* data, std::int32_t size) {
  std::uint8_t* room = AddSector(track, facts, size);
  if (room == nullptr) return false;
  if (size > 0) std::memcpy(room, data, static_cast<std::size_t>(size));
  return true;
}

// Every record of a track carries the track's count of records, known
// only once its last one is added.
void D88Writer::EndTrack() {
  if (track_ < 0) return;
  std::int32_t at = trackStart_;
  for (std::int32_t k = 0; k < trackRecords_; ++k) {
    PutU16(buffer_ + at + kSectorCountOffset, trackRecords_);
    at += kSectorHeaderSize + DecodeU16Le(buffer_ + at + kDataSizeOffset);
  }
  trackDone_[track_] = true;
  if (trackData_ > largestTrackData_) largestTrackData_ = trackData_;
  if (track_ > lastTrack_) lastTrack_ = track_;
  if ((track_ & 1) != 0) doubleSided_ = true;
  track_ = -1;
}

bool D88Writer::EndDisk() {
  if (diskStart_ < 0) return false;
  EndTrack();
  std::uint8_t* header = buffer_ + diskStart_;
  const std::int32_t media =
      mediaType_ != kImpliedMedia
          ? mediaType_
          : ImpliedMediaType(lastTrack_ / 2 + 1, doubleSided_,
                             rate_ < 0 ? largestTrackData_ : rate_ * (kDoubleDensityTrackBytes + 1));
  header[kMediaTypeOffset] = static_cast<std::uint8_t>(media);
  PutU32(header + kDiskSizeOffset, used_ - diskStart_);
  diskStart_ = -1;
  return true;
}

}  // namespace d88
