#ifndef TESTS_IMAGE_BUILDER_IMAGE_BUILDER_H
#define TESTS_IMAGE_BUILDER_IMAGE_BUILDER_H

// Builds D88 images byte by byte for tests, fuzz seeds and the sample image.
// Every field can be set, including ones a well-formed image would never
// hold, so that damaged images are as easy to make as good ones.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace d88test {

using Bytes = std::vector<std::uint8_t>;

struct Sector {
  std::uint8_t c = 0;
  std::uint8_t h = 0;
  std::uint8_t r = 1;
  std::uint8_t n = 1;
  // The sectors-in-track field; -1 stands for the track's real count.
  std::int32_t sectorsInTrack = -1;
  // How the read that made the image went: density (0x40 single), the
  // deleted-data mark (0x10) and the status (0xB0 data CRC error, ...).
  std::uint8_t density = 0;
  std::uint8_t deletedMark = 0;
  std::uint8_t status = 0;
  std::uint8_t reserved[5] = {};
  Bytes data;
  // The data-size field; -1 stands for data.size().
  std::int32_t dataSizeField = -1;
};

struct Disk {
  std::string name;  // the first 16 bytes go into the name field
  std::uint8_t mediaType = 0;
  std::uint8_t writeProtect = 0;
  // Tracks by index, laid out after the header in ascending order.
  std::map<std::int32_t, std::vector<Sector>> tracks;
  // Field values that replace the computed ones.
  std::map<std::int32_t, std::uint32_t> trackEntryOverrides;
  bool overrideDiskSize = false;
  std::uint32_t diskSizeField = 0;

  Bytes Build() const;
};

// The byte at position i of sector R on track t in the standard disk: a
// different sequence for every sector, so a wrong sector shows.
std::uint8_t PatternByte(std::int32_t track, std::int32_t r, std::int32_t i);

// Tracks 0 to 79 (cylinders 0 to 39, both heads) of sectors 1 to 16 with 256
// bytes of PatternByte data each, as a 2D disk is laid out.
constexpr std::int32_t kStandardTracks = 80;
Disk MakeStandardDisk(const std::string& name = "TEST DISK");

// Sets byte 254 of sector 16 on track 0, where the tool looks for its marker.
void SetMarker(Disk* disk, std::uint8_t value = 'A');

// Finds sector R of a track in the disk (nullptr if absent).
Sector* FindSector(Disk* disk, std::int32_t track, std::int32_t r);

// The bytes a run of 256-byte PatternByte sectors from (track, r) holds,
// moving to the next track after sector 16, cut to `size`.
Bytes ExpectedRun(std::int32_t track, std::int32_t r, std::int32_t size);

Bytes Concat(const std::vector<Bytes>& parts);
// Paths in UTF-8.
void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

}  // namespace d88test

#endif  // TESTS_IMAGE_BUILDER_IMAGE_BUILDER_H
