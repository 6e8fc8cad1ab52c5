// D88Image: reading sectors of the selected disk.
//
// Every operation steps through a track's sector records the same way: seek
// to the track's first record, read a record header, then either take the
// record's data or skip over it to the next header.

#include <cstdint>
#include <cstdio>
#include <limits>

#include "d88image/d88image.h"

namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

}  // namespace

struct D88Image::RecordHeader {
  std::uint8_t id[4];  // C, H, R, N
  std::int32_t sectorsInTrack;
  std::int32_t dataSize;

  bool Matches(std::int32_t c, std::int32_t h, std::int32_t r, std::int32_t n) const {
    return id[0] == c && id[1] == h && id[2] == r && id[3] == n;
  }
  // True when the record at position `index` (from 0) is the track's last by
  // its own count. Only equality counts; a count of 0 never ends a track here.
  bool IsLastOfTrack(std::int32_t index) const { return index == sectorsInTrack - 1; }
};

// Finds the track in the selected disk and seeks to its first record. An
// absent track (entry 0), one beyond the disk's size, or one whose position
// cannot be formed in 32 bits yields false.
bool D88Image::SeekTrack(std::int32_t track) {
  if (stream_ == nullptr) return false;
  if (track < 0 || track >= d88::kTrackCount) return false;
  const std::int32_t entry = trackTable_[track];
  if (entry == 0 || entry > diskSize_) return false;
  // Formed in 64 bits so that the sum itself cannot overflow.
  const std::int64_t position = std::int64_t{diskStart_} + entry;
  if (position < 0 || position > kInt32Max) return false;
  return std::fseek(stream_, static_cast<long>(position), SEEK_SET) == 0;
}

// Reads the header at the current position; false when the image ends (or
// cannot be read) before 16 bytes arrive.
bool D88Image::ReadRecordHeader(RecordHeader* header) {
  std::uint8_t bytes[d88::kSectorHeaderSize];
  if (std::fread(bytes, 1, sizeof bytes, stream_) != sizeof bytes) return false;
  for (std::int32_t i = 0; i < 4; ++i) header->id[i] = bytes[d88::kSectorIdOffset + i];
  header->sectorsInTrack = d88::DecodeU16Le(bytes + d88::kSectorCountOffset);
  header->dataSize = d88::DecodeU16Le(bytes + d88::kDataSizeOffset);
  return true;
}

bool D88Image::SkipRecordData(const RecordHeader& header) {
  return std::fseek(stream_, header.dataSize, SEEK_CUR) == 0;
}

void D88Image::SetSectorRange(std::int32_t first, std::int32_t last) {
  firstSector_ = first;
  lastSector_ = last;
}

std::int32_t D88Image::ReadSector(std::int32_t track, std::int32_t c, std::int32_t h,
                                  std::int32_t r, std::int32_t n, std::uint8_t* buffer,
                                  std::int32_t maximum) {
  if (maximum <= 0 || !SeekTrack(track)) return 0;
  // The search ends at the first match, at a count of 0, at the record whose
  // own count says it is the last, or where the image ends. A position past
  // 2^31 - 1 would need a file of tens of gigabytes; the walk stops there.
  for (std::int32_t i = 0; i < kInt32Max; ++i) {
    RecordHeader header;
    if (!ReadRecordHeader(&header)) return 0;
    if (header.sectorsInTrack == 0) return 0;
    if (header.Matches(c, h, r, n)) {
      const std::int32_t length = header.dataSize < maximum ? header.dataSize : maximum;
      // If the image ends inside the data, only what arrived is reported.
      return static_cast<std::int32_t>(
          std::fread(buffer, 1, static_cast<std::size_t>(length), stream_));
    }
    if (!SkipRecordData(header) || header.IsLastOfTrack(i)) return 0;
  }
  return 0;
}

std::int32_t D88Image::ReadSectors(std::int32_t track, std::int32_t c, std::int32_t h,
                                   std::int32_t r, std::int32_t n, std::uint8_t* buffer,
                                   std::int32_t length) {
  if (length <= 0 || n < 0 || n > d88::kMaxSizeCode) return 0;
  const std::int32_t sectorSize = std::int32_t{128} << n;
  std::int32_t done = 0;
  while (done < length) {
    const std::int32_t chunk = sectorSize < length - done ? sectorSize : length - done;
    // Each chunk searches its track from the start: nothing is assumed about
    // the order in which a track's sectors are stored.
    if (ReadSector(track, c, h, r, n, buffer + done, chunk) < chunk) return done;
    done += chunk;
    if (done == length) break;
    // Step to the next sector; after the range's last one, to the first
    // sector of the next track (head 0 -> 1, or head 1 -> 0 of the next
    // cylinder). A step out of the 32-bit range ends the run.
    if (r == lastSector_) {
      if (track == kInt32Max) return done;
      ++track;
      if (h == 0) {
        h = 1;
      } else {
        if (c == kInt32Max) return done;
        h = 0;
        ++c;
      }
      r = firstSector_;
    } else {
      if (r == kInt32Max) return done;
      ++r;
    }
  }
  return done;
}

std::int32_t D88Image::GetSectorIds(std::int32_t track, std::uint8_t* buffer,
                                    std::int32_t bufferLength) {
  if (!SeekTrack(track)) return 0;
  // Unlike ReadSector, a count of 0 does not end the listing: it goes on
  // until a count matches, the buffer is full or the image ends.
  std::int32_t stored = 0;
  for (std::int32_t i = 0; bufferLength - stored >= 4; ++i) {
    RecordHeader header;
    if (!ReadRecordHeader(&header)) break;
    for (std::int32_t k = 0; k < 4; ++k) buffer[stored + k] = header.id[k];
    stored += 4;
    if (!SkipRecordData(header) || header.IsLastOfTrack(i)) break;
  }
  return stored;
}
