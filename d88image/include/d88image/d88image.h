#ifndef D88IMAGE_D88IMAGE_H
#define D88IMAGE_D88IMAGE_H

#include <cstddef>
#include <cstdint>

#include "d88image/container.h"
#include "d88image/d88_format.h"
#include "d88image/image_stream.h"

// Reader for D88 floppy-disk images (layout in d88_format.h), and for the
// other containers disks are kept in (container.h), each read as the D88
// it would be.
//
// One instance holds one image file open, knows where each of its disks
// starts (at most 64), and holds the header of one selected disk. Sector
// reads work on the selected disk. Every outcome is reported through the
// result: a success flag or a count of bytes, 0 meaning nothing. The class
// never prints and never throws. It allocates nothing: an instance holds a
// 64 KiB window of the file, room for the D88 another container is read
// as (4 MiB) and room to decode a bitstream's tracks in (1.75 MiB), so give
// it static or heap storage; on Windows, Open converts
// the path to UTF-16 in 64 KiB of the caller's stack.
class D88Image {
 public:
  D88Image();
  ~D88Image();
  D88Image(const D88Image&) = delete;
  D88Image& operator=(const D88Image&) = delete;

  // Opens an image and indexes its disks, with none selected; nullptr
  // closes the image instead. Only a regular file opens, and opening never
  // waits. The container is told from the file (GetContainer); one other
  // than D88 is read whole at once, as the D88 it would be. On Windows
  // `path` is UTF-8; elsewhere it goes to the system unchanged.
  bool Open(const char* path);
  // The container the open image was read from, and what was wrong with it.
  const d88::Container& GetContainer() const { return container_; }
  // Why the last Open with a path failed: the system's error number, or
  // what stands at the path where it is no regular file (a folder, a
  // device, a FIFO, a socket); none after an Open that succeeded.
  d88::OpenFailure GetOpenFailure() const;
  std::int32_t GetDiskCount() const;
  // The image file's size when it was opened (2^31 - 1 for a file that
  // large or larger), for telling a disk that runs past its end; for
  // another container, the size of the D88 it is read as; 0 when no image
  // is open.
  std::int32_t GetImageFileSize() const;
  // Loads the header of disk `index`; on failure no disk is selected.
  bool SelectDisk(std::int32_t index);
  std::int32_t GetCurrentDisk() const;
  // The selected disk's name, NUL-terminated; empty when none is selected.
  const char* GetDiskName() const;
  // The selected disk's media-type byte, or -1 when none is selected.
  std::int32_t GetMediaType() const;
  // The selected disk's write-protect byte (0 writable, anything else
  // protected), or -1 when none is selected.
  std::int32_t GetWriteProtect() const;
  // Copies up to `length` bytes of the image file from `position` on into
  // `buffer`; returns how many it copied, fewer where the file ends.
  std::int32_t ReadImageBytes(std::int32_t position, std::uint8_t* buffer, std::int32_t length);
  // The selected disk's file offset (-1 after a failed selection), its
  // disk-size field, and its track-table entry for `track` (0 for an index
  // outside 0 to 163, as for an absent track, and when no disk is selected).
  // Whether the selected disk could be what its header says: at least a
  // header long, and within the file, or where the file was cut short,
  // still with a track to read.
  bool SelectedDiskIsPlausible();
  std::int32_t GetDiskStart() const;
  std::int32_t GetDiskSize() const;
  std::int32_t GetTrackOffset(std::int32_t track) const;

  // How every sector operation finds `track` of the selected disk: kFound,
  // with the file position of its first record in `*position`, or why it
  // counts as absent: no image open, an index outside 0 to 163, an entry of
  // 0, an entry past the disk size, or a position outside 0 to 2^31 - 1.
  enum class TrackLookup { kFound, kNoImage, kNoSuchTrack, kNoEntry, kPastDiskSize, kOutsideFile };
  TrackLookup LookUpTrack(std::int32_t track, std::int32_t* position) const;

  // A sector record as the image holds it: every field of its header
  // (layout in d88_format.h), and where it stands in the file.
  struct SectorRecord {
    std::uint8_t c;
    std::uint8_t h;
    std::uint8_t r;
    std::uint8_t n;
    std::int32_t sectorsInTrack;
    std::int32_t density;
    std::int32_t deletedMark;
    std::int32_t status;
    std::uint8_t reserved[d88::kReservedSize];
    std::int32_t dataSize;
    std::int32_t position;  // of the record's header; its data follows
  };

  // Sector numbers at which every track starts and ends, for ReadSectors.
  void SetSectorRange(std::int32_t first, std::int32_t last);
  // Copies at most `maximum` bytes of the sector with ID (c, h, r, n) on
  // `track` into `buffer`; returns the count copied, 0 if not found.
  std::int32_t ReadSector(std::int32_t track, std::int32_t c, std::int32_t h, std::int32_t r,
                          std::int32_t n, std::uint8_t* buffer, std::int32_t maximum);
  // Reads `length` bytes of consecutive sectors from (c, h, r, n) on, moving
  // to the next track after the last sector of the range; returns the bytes
  // stored, counted in whole sectors (the last one may be cut to length).
  std::int32_t ReadSectors(std::int32_t track, std::int32_t c, std::int32_t h, std::int32_t r,
                           std::int32_t n, std::uint8_t* buffer, std::int32_t length);
  // The same, storing also the record of each sector it read from (the
  // last, which may be read in part, too), in the order read, in `records`
  // (at most `maxRecords` of them).
  std::int32_t ReadSectors(std::int32_t track, std::int32_t c, std::int32_t h, std::int32_t r,
                           std::int32_t n, std::uint8_t* buffer, std::int32_t length,
                           SectorRecord* records, std::int32_t maxRecords);
  // Moves (track; c, h, r) on to the sector that a run reads after it: the
  // next R, or after the range's last sector the range's first on the next
  // track (head 0 -> 1, or head 1 -> 0 of the next cylinder). Returns false,
  // changing nothing, where the step would leave the 32-bit range; a run
  // ends there.
  bool StepRun(std::int32_t* track, std::int32_t* c, std::int32_t* h, std::int32_t* r) const;
  // Stores the C, H, R, N bytes of each of the track's sectors in storage
  // order; returns the bytes stored, a multiple of 4.
  std::int32_t GetSectorIds(std::int32_t track, std::uint8_t* buffer, std::int32_t bufferLength);
  // The track's records in storage order, as GetSectorIds walks them, in
  // `records`; returns how many were stored, at most `maxRecords`.
  std::int32_t GetSectorRecords(std::int32_t track, SectorRecord* records,
                                std::int32_t maxRecords);
  // The record that ReadSector reads for the ID (c, h, r, n) on `track`:
  // true with it in `*record`, false where ReadSector finds none.
  bool FindSectorRecord(std::int32_t track, std::int32_t c, std::int32_t h, std::int32_t r,
                        std::int32_t n, SectorRecord* record);

 private:
  struct TrackWalk;
  struct TrackIndex;
  bool StartWalk(std::int32_t track, TrackWalk* walk);
  bool NextRecord(TrackWalk* walk, SectorRecord* record);
  std::int32_t ReadRecordData(const SectorRecord& record, std::uint8_t* buffer,
                              std::int32_t maximum);
  void IndexTrack(std::int32_t track, std::int32_t c, std::int32_t h, std::int32_t n,
                  TrackIndex* index);
  void ForgetDisk();

  d88::ImageStream stream_;
  d88::Container container_;
  std::int32_t currentDisk_ = -1;
  std::int32_t diskCount_ = 0;
  std::int32_t firstSector_ = 1;
  std::int32_t lastSector_ = 16;
  std::int32_t diskDirectory_[d88::kMaxDisks] = {};
  std::int32_t diskSize_ = 0;
  std::int32_t diskStart_ = 0;
  std::int32_t trackTable_[d88::kTrackCount] = {};
  std::int32_t mediaType_ = -1;
  std::int32_t writeProtect_ = -1;
  char diskName_[d88::kDiskNameLength + 1] = {};
  // The D88 another container is read as.
  std::uint8_t converted_[d88::kMaxConvertedSize];
  // Where the bits of a bitstream or flux container are decoded.
  alignas(std::max_align_t) std::uint8_t decodeRoom_[d88::kDecodeSpaceSize];
};

#endif  // D88IMAGE_D88IMAGE_H
