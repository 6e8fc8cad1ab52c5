#ifndef FILE_SYSTEM_SRC_DISK_SECTORS_H
#define FILE_SYSTEM_SRC_DISK_SECTORS_H

// The selected disk's sectors as a file system asks for them: by track
// (2 x cylinder + head) and R, whatever C, H and N their IDs hold, each
// track's records found once and kept while the file system stays on it.
// A disk written by MZ DISK BASIC holds its bytes inverted and its sides
// the other way round; read so, it gives them as they were written.

#include <cstdint>

#include "d88image/d88image.h"

namespace file_system {

class DiskSectors {
 public:
  DiskSectors(D88Image& image, bool invertedAndSwapped);
  // Copies sector R of `track` into `buffer`, at most `capacity` bytes;
  // returns its data's size (0 where there is no such sector).
  std::int32_t Read(std::int32_t track, std::int32_t r, std::uint8_t* buffer,
                    std::int32_t capacity);
  // The records of `track`, in storage order, and how many.
  const D88Image::SectorRecord* Records(std::int32_t track, std::int32_t* count);
  // The last track (2 x cylinder + head) the disk has, or -1.
  std::int32_t LastTrack() const { return lastTrack_; }
  D88Image& Image() { return image_; }

 private:
  static constexpr std::int32_t kMaxRecords = 64;
  std::int32_t Stored(std::int32_t track) const;

  D88Image& image_;
  bool inverted_;
  std::int32_t lastTrack_ = -1;
  std::int32_t cachedTrack_ = -1;
  std::int32_t cachedCount_ = 0;
  D88Image::SectorRecord cached_[kMaxRecords];
};

}  // namespace file_system

#endif  // FILE_SYSTEM_SRC_DISK_SECTORS_H
