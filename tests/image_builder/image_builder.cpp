#include "image_builder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace d88test {
namespace {

constexpr std::size_t kHeaderSize = 688;
constexpr std::size_t kRecordHeaderSize = 16;

void PutU16(Bytes* bytes, std::size_t at, std::uint32_t value) {
  (*bytes)[at] = static_cast<std::uint8_t>(value);
  (*bytes)[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(Bytes* bytes, std::size_t at, std::uint32_t value) {
  PutU16(bytes, at, value & 0xFFFF);
  PutU16(bytes, at + 2, value >> 16);
}

}  // namespace

Bytes Disk::Build() const {
  Bytes image(kHeaderSize, 0);
  for (std::size_t i = 0; i < name.size() && i < 16; ++i) {
    image[i] = static_cast<std::uint8_t>(name[i]);
  }
  image[26] = writeProtect;
  image[27] = mediaType;
  for (const auto& [index, sectors] : tracks) {
    PutU32(&image, 32 + 4 * static_cast<std::size_t>(index),
           static_cast<std::uint32_t>(image.size()));
    for (const Sector& sector : sectors) {
      const std::size_t at = image.size();
      image.resize(at + kRecordHeaderSize + sector.data.size(), 0);
      image[at] = sector.c;
      image[at + 1] = sector.h;
      image[at + 2] = sector.r;
      image[at + 3] = sector.n;
      const std::int32_t count = sector.sectorsInTrack >= 0
                                     ? sector.sectorsInTrack
                                     : static_cast<std::int32_t>(sectors.size());
      PutU16(&image, at + 4, static_cast<std::uint32_t>(count));
      image[at + 6] = sector.density;
      image[at + 7] = sector.deletedMark;
      image[at + 8] = sector.status;
      std::copy(sector.reserved, sector.reserved + 5, image.begin() + at + 9);
      const std::int32_t dataSize = sector.dataSizeField >= 0
                                        ? sector.dataSizeField
                                        : static_cast<std::int32_t>(sector.data.size());
      PutU16(&image, at + 14, static_cast<std::uint32_t>(dataSize));
      std::copy(sector.data.begin(), sector.data.end(), image.begin() + at + kRecordHeaderSize);
    }
  }
  for (const auto& [index, entry] : trackEntryOverrides) {
    PutU32(&image, 32 + 4 * static_cast<std::size_t>(index), entry);
  }
  PutU32(&image, 28, overrideDiskSize ? diskSizeField : static_cast<std::uint32_t>(image.size()));
  return image;
}

std::uint8_t PatternByte(std::int32_t track, std::int32_t r, std::int32_t i) {
  return static_cast<std::uint8_t>(track * 31 + r * 17 + i * 7 + (i >> 8));
}

Disk MakeStandardDisk(const std::string& name) {
  Disk disk;
  disk.name = name;
  for (std::int32_t t = 0; t < kStandardTracks; ++t) {
    std::vector<Sector>& sectors = disk.tracks[t];
    for (std::int32_t r = 1; r <= 16; ++r) {
      Sector sector;
      sector.c = static_cast<std::uint8_t>(t >> 1);
      sector.h = static_cast<std::uint8_t>(t & 1);
      sector.r = static_cast<std::uint8_t>(r);
      sector.n = 1;
      for (std::int32_t i = 0; i < 256; ++i) sector.data.push_back(PatternByte(t, r, i));
      sectors.push_back(sector);
    }
  }
  return disk;
}

Sector* FindSector(Disk* disk, std::int32_t track, std::int32_t r) {
  auto found = disk->tracks.find(track);
  if (found == disk->tracks.end()) return nullptr;
  for (Sector& sector : found->second) {
    if (sector.r == r) return &sector;
  }
  return nullptr;
}

void SetMarker(Disk* disk, std::uint8_t value) {
  Sector* id = FindSector(disk, 0, 16);
  if (id == nullptr || id->data.size() < 255) throw std::logic_error("no ID sector to mark");
  id->data[254] = value;
}

Bytes ExpectedRun(std::int32_t track, std::int32_t r, std::int32_t size) {
  Bytes run;
  while (static_cast<std::int32_t>(run.size()) < size) {
    for (std::int32_t i = 0; i < 256 && static_cast<std::int32_t>(run.size()) < size; ++i) {
      run.push_back(PatternByte(track, r, i));
    }
    if (r == 16) {
      ++track;
      r = 1;
    } else {
      ++r;
    }
  }
  return run;
}

Bytes Concat(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  // Paths are UTF-8 on every system, as the tools take them.
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace d88test
