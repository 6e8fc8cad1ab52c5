// Writes the fuzz targets' seed images into a folder: make_fuzz_seeds FOLDER.
// They are small, so that the fuzzer spends its time on variations.

#include <cstdio>
#include <exception>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "image_builder/expected_blocks.h"
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

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s FOLDER\n", argv[0]);
    return 1;
  }
  try {
    const std::string folder = argv[1];
    d88test::WriteFile(folder + "/marked_blocks.d88", MarkedBlocksDisk().Build());
    d88test::WriteFile(folder + "/second_of_two.d88",
                       d88test::Concat({TrackZeroDisk(false).Build(), TrackZeroDisk(true).Build()}));
    d88test::WriteFile(folder + "/odd_track.d88", OddTrackDisk().Build());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
