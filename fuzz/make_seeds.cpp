// Writes the fuzz targets' seed images into a folder: make_fuzz_seeds FOLDER
// [IMAGE...]. They are small, so that the fuzzer spends its time on
// variations: a disk in each file system keeps only the tracks that hold
// more than their format's fill, and so does each disk of each IMAGE given
// (in any container the reader knows), written as a D88 of its own.

#include <cstdio>
#include <exception>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "d88image/d88image.h"
#include "image_builder/bitstream_builder.h"
#include "image_builder/container_builder.h"
#include "image_builder/expected_blocks.h"
#include "image_builder/file_system_builder.h"
#include "image_builder/image_builder.h"

namespace {

using d88test::Disk;

// A marked disk with only the tracks the tool reads.
Disk MarkedBlocksDisk() {
  Disk disk = d88test::MakeStandardDisk("SEED");
  d88test::SetMarker(&disk);
  const std::set<std::int32_t> read = d88test::TracksRead();
  for (auto it = disk.tracks.begin(); it != disk.tracks.end();) {
    it = read.count(it->first) != 0 ? std::next(it) : disk.tracks.erase(it);
  }
  return disk;
}

Disk TrackZeroDisk(bool marked) {
  Disk disk = d88test::MakeStandardDisk(marked ? "MARKED" : "PLAIN");
  if (marked) d88test::SetMarker(&disk);
  disk.tracks.erase(disk.tracks.find(1), disk.tracks.end());
  return disk;
}

// Sectors stored out of order, repeated and short, with counts that end the
// track early or never.
Disk OddTrackDisk() {
  Disk disk;
  disk.name = "ODD";
  const int order[] = {1, 14, 11, 8, 5, 2, 16, 12, 9};
  for (int k = 0; k < 9; ++k) {
    d88test::Sector s;
    s.r = static_cast<std::uint8_t>(order[k]);
    s.data.assign(k == 4 ? 100 : 256, static_cast<std::uint8_t>(k));
    s.sectorsInTrack = k == 6 ? 0 : 40;
    disk.tracks[0].push_back(s);
  }
  d88test::Sector foreign;
  foreign.c = 1;
  foreign.r = 3;
  foreign.data.assign(32, 0x33);
  disk.tracks[2] = {foreign, foreign};
  disk.trackEntryOverrides[5] = 0x80000010u;
  return disk;
}

// The bitstream fuzzer's seeds: a track of MFM cells, one of FM cells
// (each twice), each after the byte that says cells of one revolution;
// and the MFM track's flux, after the byte that says flux.
void WriteBitstreamSeeds(const std::string& folder, const Disk& disk) {
  for (std::int32_t t = 0; t < 2; ++t) {
    const std::vector<std::uint8_t> cells = d88test::TrackCells(disk.tracks.at(t), 100000);
    d88test::Bytes bytes(1 + (cells.size() + 7) / 8, 0);
    for (std::size_t k = 0; k < cells.size(); ++k) {
      if (cells[k] != 0) bytes[1 + k / 8] = static_cast<std::uint8_t>(bytes[1 + k / 8] | (0x80 >> (k % 8)));
    }
    d88test::WriteFile(folder + (t == 0 ? "/bitstream_mfm" : "/bitstream_fm"), bytes);
    if (t != 0) continue;
    d88test::Bytes flux = {1};
    std::uint32_t since = 0;
    for (const std::uint8_t cell : cells) {
      since += 80;
      if (cell == 0) continue;
      flux.push_back(static_cast<std::uint8_t>(since >> 8));
      flux.push_back(static_cast<std::uint8_t>(since));
      since = 0;
    }
    d88test::WriteFile(folder + "/bitstream_flux", flux);
  }
}

// A small disk of two tracks, one of them single density and with a
// sector of each kind a container can say, in every container, each after
// the byte by which the container fuzzer picks its name's extension (in
// the order of its list).
void WriteContainerSeeds(const std::string& folder) {
  Disk disk;
  for (std::int32_t t = 0; t < 2; ++t) {
    for (std::int32_t r = 1; r <= 8; ++r) {
      d88test::Sector s;
      s.c = 0;
      s.h = static_cast<std::uint8_t>(t);
      s.r = static_cast<std::uint8_t>(r);
      s.n = 2;
      s.data = d88test::Bytes(512, static_cast<std::uint8_t>(t * 16 + r));
      if (t == 1) s.density = 0x40;
      disk.tracks[t].push_back(s);
    }
  }
  d88test::Disk facts = disk;
  facts.tracks[0][1].status = 0xB0;
  facts.tracks[0][2].deletedMark = 0x10;
  facts.tracks[0][2].status = 0x10;
  facts.tracks[0][3].status = 0xF0;
  facts.tracks[0][3].data.clear();
  facts.tracks[0][4].status = 0xA0;
  const struct {
    d88test::Container container;
    std::uint8_t extension;  // its place in the fuzzer's list
    const char* name;
  } seeds[] = {{d88test::Container::kRaw, 0, "raw"},  {d88test::Container::kFdi, 3, "fdi"},
               {d88test::Container::kDcp, 5, "dcp"},   {d88test::Container::kNfd0, 6, "nfd0"},
               {d88test::Container::kNfd1, 6, "nfd1"}, {d88test::Container::kVfd, 7, "vfd"},
               {d88test::Container::kImd, 8, "imd"},   {d88test::Container::kDsk, 9, "dsk"},
               {d88test::Container::kEdsk, 9, "edsk"}, {d88test::Container::kTd0, 10, "td0"},
               {d88test::Container::kTd0Compressed, 10, "td0_compressed"},
               {d88test::Container::kDmk, 11, "dmk"},  {d88test::Container::kHfe, 13, "hfe"},
               {d88test::Container::kHfeV3, 13, "hfe3"}, {d88test::Container::kHxcMfm, 14, "mfm"},
               {d88test::Container::k86f, 15, "86f"}};
  for (const auto& seed : seeds) {
    const bool plain = seed.container == d88test::Container::kRaw ||
                       seed.container == d88test::Container::kFdi ||
                       seed.container == d88test::Container::kDcp;
    d88test::Bytes bytes = {seed.extension};
    const d88test::Bytes file = d88test::BuildContainer(plain ? disk : facts, seed.container);
    bytes.insert(bytes.end(), file.begin(), file.end());
    d88test::WriteFile(folder + "/container_" + seed.name, bytes);
  }
  // Flux: one revolution, that the seed stay within what the fuzzer reads.
  d88test::BitstreamOptions once;
  once.revolutions = 1;
  d88test::Bytes scp = {16};
  const d88test::Bytes flux = d88test::BuildBitstream(facts, d88test::Bitstream::kScp, once);
  scp.insert(scp.end(), flux.begin(), flux.end());
  d88test::WriteFile(folder + "/container_scp", scp);
  WriteBitstreamSeeds(folder, facts);
}

// Drops the tracks whose every sector holds one byte over and over: what
// is left is the file system's own sectors and its files' data.
Disk WithoutBlankTracks(Disk disk) {
  for (auto it = disk.tracks.begin(); it != disk.tracks.end();) {
    bool blank = true;
    for (const d88test::Sector& s : it->second) {
      for (const std::uint8_t byte : s.data) blank = blank && byte == s.data[0];
    }
    it = blank ? disk.tracks.erase(it) : std::next(it);
  }
  return disk;
}

void WriteFileSystemSeeds(const std::string& folder) {
  const d88test::FileSystem systems[] = {
      d88test::FileSystem::kN88Basic, d88test::FileSystem::kFBasic, d88test::FileSystem::kHuBasic,
      d88test::FileSystem::kMzBasic,  d88test::FileSystem::kFat12,  d88test::FileSystem::kHuman68k,
      d88test::FileSystem::kCpm};
  for (const d88test::FileSystem system : systems) {
    const bool folders =
        system == d88test::FileSystem::kFat12 || system == d88test::FileSystem::kHuman68k;
    std::vector<d88test::TestFile> files = {{"A.TXT", d88test::Bytes(300, 'a')},
                                            {"B.BIN", d88test::Bytes(5000, 'b')},
                                            {"C.BAS", d88test::Bytes(10, 'c'), 0, true}};
    if (folders) files.push_back({"SYS/D.SYS", d88test::Bytes(700, 'd')});
    const Disk disk = WithoutBlankTracks(d88test::Format(system, files).disk);
    d88test::WriteFile(folder + "/file_system_" + d88test::FileSystemName(system) + ".d88",
                       disk.Build());
  }
}

// Each disk of a real image, as the reader reads it: every sector's ID,
// facts and data.
bool WriteImageSeeds(const std::string& folder, const char* path) {
  static D88Image image;
  if (!image.Open(path)) return false;
  std::string base = path;
  base = base.substr(base.find_last_of("/\\") + 1);
  for (std::int32_t d = 0; d < image.GetDiskCount(); ++d) {
    if (!image.SelectDisk(d)) continue;
    Disk disk;
    disk.mediaType = static_cast<std::uint8_t>(image.GetMediaType());
    static D88Image::SectorRecord records[256];
    for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
      const std::int32_t count = image.GetSectorRecords(t, records, 256);
      for (std::int32_t k = 0; k < count && k < 256; ++k) {
        const D88Image::SectorRecord& record = records[k];
        d88test::Sector s;
        s.c = record.c;
        s.h = record.h;
        s.r = record.r;
        s.n = record.n;
        s.density = static_cast<std::uint8_t>(record.density);
        s.deletedMark = static_cast<std::uint8_t>(record.deletedMark);
        s.status = static_cast<std::uint8_t>(record.status);
        s.data.resize(static_cast<std::size_t>(record.dataSize));
        image.ReadImageBytes(record.position + d88::kSectorHeaderSize, s.data.data(), record.dataSize);
        disk.tracks[t].push_back(s);
      }
    }
    d88test::WriteFile(folder + "/real_" + base + "_" + std::to_string(d) + ".d88",
                       WithoutBlankTracks(disk).Build());
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s FOLDER [IMAGE...]\n", argv[0]);
    return 1;
  }
  try {
    const std::string folder = argv[1];
    d88test::WriteFile(folder + "/marked_blocks.d88", MarkedBlocksDisk().Build());
    d88test::WriteFile(folder + "/second_of_two.d88",
                       d88test::Concat({TrackZeroDisk(false).Build(), TrackZeroDisk(true).Build()}));
    d88test::WriteFile(folder + "/odd_track.d88", OddTrackDisk().Build());
    WriteContainerSeeds(folder);
    WriteFileSystemSeeds(folder);
    for (int k = 2; k < argc; ++k) {
      if (!WriteImageSeeds(folder, argv[k])) std::fprintf(stderr, "%s: not read\n", argv[k]);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
