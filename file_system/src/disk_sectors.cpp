#include "disk_sectors.h"

namespace file_system {

DiskSectors::DiskSectors(D88Image& image, bool invertedAndSwapped)
    : image_(image), inverted_(invertedAndSwapped) {
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    if (image_.GetTrackOffset(t) != 0) lastTrack_ = t;
  }
}

// Where the disk keeps what the file system calls `track`.
std::int32_t DiskSectors::Stored(std::int32_t track) const {
  return inverted_ ? track ^ 1 : track;
}

const D88Image::SectorRecord* DiskSectors::Records(std::int32_t track, std::int32_t* count) {
  if (track != cachedTrack_) {
    cachedTrack_ = track;
    cachedCount_ = track < 0 || track >= d88::kTrackCount
                       ? 0
                       : image_.GetSectorRecords(Stored(track), cached_, kMaxRecords);
  }
  *count = cachedCount_;
  return cached_;
}

std::int32_t DiskSectors::Read(std::int32_t track, std::int32_t r, std::uint8_t* buffer,
                               std::int32_t capacity) {
  std::int32_t count = 0;
  const D88Image::SectorRecord* records = Records(track, &count);
  for (std::int32_t k = 0; k < count; ++k) {
    if (records[k].r != r) continue;
    const std::int32_t size = records[k].dataSize < capacity ? records[k].dataSize : capacity;
    const std::int32_t got =
        image_.ReadImageBytes(records[k].position + d88::kSectorHeaderSize, buffer, size);
    if (inverted_) {
      for (std::int32_t i = 0; i < got; ++i) buffer[i] = static_cast<std::uint8_t>(~buffer[i]);
    }
    return got;
  }
  return 0;
}

}  // namespace file_system
