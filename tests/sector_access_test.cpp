// Finding sectors by ID, runs of sectors across tracks, and track listings.

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "d88image/d88image.h"
#include "marked_disk/block_read.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::Disk;
using d88test::Sector;

constexpr std::uint8_t kGuard = 0xCD;

// A reader with the given disk as the selected disk 0 of its image.
class SectorAccessTest : public ::testing::Test {
 protected:
  void Load(const Bytes& imageBytes) {
    ASSERT_TRUE(image_.Open(dir_.Write("image.d88", imageBytes).c_str()));
    ASSERT_TRUE(image_.SelectDisk(0));
  }
  void Load(const Disk& disk) { Load(disk.Build()); }

  // A buffer filled with guard bytes, larger than any read asks for, so that
  // a write past the length shows.
  Bytes buffer_ = Bytes(64 * 1024, kGuard);
  D88Image image_;
  d88test::TempDir dir_;
};

Bytes Head(const Bytes& bytes, std::size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

bool GuardedFrom(const Bytes& buffer, std::size_t from) {
  return std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(from), buffer.end(),
                     [](std::uint8_t b) { return b == kGuard; });
}

// Runs read exactly their sectors, in order, and nothing past their length.
TEST_F(SectorAccessTest, RunsReadTheirSectorsAcrossTracks) {
  Disk disk = d88test::MakeStandardDisk();
  disk.tracks.erase(77);  // the run in track 76 must not need the next track
  Load(disk);
  struct Run {
    std::int32_t track, c, h, r, length;
  };
  const Run runs[] = {
      {2, 1, 0, 1, 26624},  // tracks 2 to 7 whole, then sectors 1 to 8 of track 8
      {76, 38, 0, 10, 1280},  // sectors 10 to 14, inside one track
      {0, 0, 0, 1, 300},    // a short last chunk: 44 bytes of sector 2
  };
  for (const Run& run : runs) {
    std::fill(buffer_.begin(), buffer_.end(), kGuard);
    const auto length = static_cast<std::size_t>(run.length);
    ASSERT_EQ(image_.ReadSectors(run.track, run.c, run.h, run.r, 1, buffer_.data(), run.length),
              run.length);
    EXPECT_EQ(Head(buffer_, length), d88test::ExpectedRun(run.track, run.r, run.length));
    EXPECT_TRUE(GuardedFrom(buffer_, length)) << run.track;
  }
  // 128-byte sectors (N 0) run as any others do.
  Disk small;
  for (int r = 1; r <= 16; ++r) {
    Sector s;
    s.r = static_cast<std::uint8_t>(r);
    s.n = 0;
    s.data.assign(128, static_cast<std::uint8_t>(r));
    small.tracks[0].push_back(s);
  }
  Load(small);
  ASSERT_EQ(image_.ReadSectors(0, 0, 0, 3, 0, buffer_.data(), 300), 300);
  EXPECT_EQ(Head(buffer_, 300), d88test::Concat({Bytes(128, 3), Bytes(128, 4), Bytes(44, 5)}));
}

TEST_F(SectorAccessTest, RunStopsAtAMissingSectorCountingWholeChunks) {
  Disk disk = d88test::MakeStandardDisk();
  auto& track = disk.tracks[2];
  track.erase(track.begin() + 3);  // sector 4
  Load(disk);
  EXPECT_EQ(image_.ReadSectors(2, 1, 0, 1, 1, buffer_.data(), 4096), 768);
}

TEST_F(SectorAccessTest, RunStopsAtASectorShorterThanItsSize) {
  Disk disk = d88test::MakeStandardDisk();
  d88test::FindSector(&disk, 2, 3)->data.resize(100);
  Load(disk);
  EXPECT_EQ(image_.ReadSector(2, 1, 0, 3, 1, buffer_.data(), 256), 100);
  EXPECT_EQ(image_.ReadSectors(2, 1, 0, 1, 1, buffer_.data(), 1024), 512);
}

TEST_F(SectorAccessTest, SectorsAreFoundWhateverTheirStorageOrder) {
  Disk disk = d88test::MakeStandardDisk();
  auto& track = disk.tracks[8];
  const std::vector<Sector> stored = track;
  const int interleave[16] = {1, 14, 11, 8, 5, 2, 15, 12, 9, 6, 3, 16, 13, 10, 7, 4};
  for (int k = 0; k < 16; ++k) track[k] = stored[interleave[k] - 1];
  Load(disk);
  ASSERT_EQ(image_.ReadSectors(8, 4, 0, 1, 1, buffer_.data(), 4096), 4096);
  EXPECT_EQ(Head(buffer_, 4096), d88test::ExpectedRun(8, 1, 4096));

  std::uint8_t ids[64];
  ASSERT_EQ(image_.GetSectorIds(8, ids, sizeof ids), 64);
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(ids[4 * k + 2], interleave[k]);
    EXPECT_EQ(ids[4 * k], 4);
    EXPECT_EQ(ids[4 * k + 3], 1);
  }
}

TEST_F(SectorAccessTest, MatchNeedsAllFourIdBytesAndTakesTheFirst) {
  Disk disk = d88test::MakeStandardDisk();
  auto& track = disk.tracks[0];
  Sector duplicate = track[4];  // R 5
  duplicate.data.assign(256, 0xEE);
  track.push_back(duplicate);
  Load(disk);
  ASSERT_EQ(image_.ReadSector(0, 0, 0, 5, 1, buffer_.data(), 256), 256);
  EXPECT_EQ(buffer_[0], d88test::PatternByte(0, 5, 0));
  EXPECT_EQ(image_.ReadSector(0, 1, 0, 5, 1, buffer_.data(), 256), 0);  // C differs
  EXPECT_EQ(image_.ReadSector(0, 0, 1, 5, 1, buffer_.data(), 256), 0);  // H differs
  EXPECT_EQ(image_.ReadSector(0, 0, 0, 5, 2, buffer_.data(), 256), 0);  // N differs
  EXPECT_EQ(image_.ReadSector(0, 0, 0, 5 + 256, 1, buffer_.data(), 256), 0);
}

TEST_F(SectorAccessTest, ReadsAreCappedAtTheCallersLength) {
  Load(d88test::MakeStandardDisk());
  // Each call stores exactly what it returns and nothing past its length.
  const struct {
    bool ids;  // GetSectorIds, or else ReadSector
    std::int32_t length;
    std::int32_t stored;
  } calls[] = {{false, 100, 100}, {false, 1, 1},  {false, 0, 0}, {false, -5, 0},
               {true, 3, 0},      {true, 4, 4},   {true, 6, 4},  {true, 7, 4},
               {true, 11, 8},     {true, 64, 64}, {true, -4, 0}};
  for (const auto& call : calls) {
    std::fill(buffer_.begin(), buffer_.end(), kGuard);
    const std::int32_t stored =
        call.ids ? image_.GetSectorIds(0, buffer_.data(), call.length)
                 : image_.ReadSector(0, 0, 0, 1, 1, buffer_.data(), call.length);
    EXPECT_EQ(stored, call.stored) << call.ids << " " << call.length;
    EXPECT_TRUE(GuardedFrom(buffer_, static_cast<std::size_t>(call.stored))) << call.length;
  }
  EXPECT_EQ(image_.ReadSectors(0, 0, 0, 1, 1, buffer_.data(), 0), 0);
  // A sector's data is never read past its own size.
  EXPECT_EQ(image_.ReadSector(0, 0, 0, 1, 1, buffer_.data(), 4096), 256);
  // Size codes whose nominal size does not fit 32 bits read nothing.
  EXPECT_EQ(image_.ReadSectors(0, 0, 0, 1, 24, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.ReadSectors(0, 0, 0, 1, -1, buffer_.data(), 256), 0);
}

// A run's step: the next R, or the range's first on the next track (head 0
// to 1, or head 1 to 0 of the next cylinder); nothing past 2^31 - 1.
TEST_F(SectorAccessTest, RunStepsThroughTheRangeAndStopsAtTheEdgeOf32Bits) {
  image_.SetSectorRange(3, 9);
  const struct {
    std::int32_t from[4];  // track, C, H, R
    bool steps;
    std::int32_t to[4];
  } steps[] = {{{4, 2, 0, 5}, true, {4, 2, 0, 6}},
               {{4, 2, 0, 9}, true, {5, 2, 1, 3}},
               {{5, 2, 1, 9}, true, {6, 3, 0, 3}},
               {{4, 2, 0, INT32_MAX}, false, {4, 2, 0, INT32_MAX}},
               {{INT32_MAX, 2, 0, 9}, false, {INT32_MAX, 2, 0, 9}},
               {{5, INT32_MAX, 1, 9}, false, {5, INT32_MAX, 1, 9}}};
  for (const auto& step : steps) {
    std::int32_t at[4] = {step.from[0], step.from[1], step.from[2], step.from[3]};
    EXPECT_EQ(image_.StepRun(&at[0], &at[1], &at[2], &at[3]), step.steps) << step.from[3];
    EXPECT_TRUE(std::equal(at, at + 4, step.to)) << at[0] << " " << at[1] << " " << at[3];
  }
}

TEST_F(SectorAccessTest, SectorRangeShapesRunsAndSurvivesSelection) {
  Disk disk = d88test::MakeStandardDisk();
  for (int t = 0; t < 2; ++t) disk.tracks[t].resize(8);  // sectors 1 to 8 only
  Load(d88test::Concat({disk.Build(), disk.Build()}));
  image_.SetSectorRange(1, 8);
  ASSERT_TRUE(image_.SelectDisk(1));
  ASSERT_EQ(image_.ReadSectors(0, 0, 0, 7, 1, buffer_.data(), 1024), 1024);
  EXPECT_EQ(buffer_[0], d88test::PatternByte(0, 7, 0));
  EXPECT_EQ(buffer_[512], d88test::PatternByte(1, 1, 0));  // track 1 is C 0 H 1
  EXPECT_EQ(buffer_[768], d88test::PatternByte(1, 2, 0));
}

TEST_F(SectorAccessTest, TrackEntriesAreBoundedByTheDiskSize) {
  Disk disk = d88test::MakeStandardDisk();
  const std::uint32_t size = static_cast<std::uint32_t>(disk.Build().size());
  // A record just past the disk, reachable only through an entry equal to
  // the disk size.
  Sector outside;
  outside.c = 9;
  outside.r = 9;
  outside.data.assign(256, 0x99);
  Disk tail;
  tail.tracks[0] = {outside};
  const Bytes tailBytes = tail.Build();
  const Bytes record(tailBytes.begin() + 688, tailBytes.end());

  disk.trackEntryOverrides[10] = size;
  disk.trackEntryOverrides[11] = size + 1;
  disk.trackEntryOverrides[12] = 0;
  disk.trackEntryOverrides[13] = 0x80000000u;  // negative once decoded
  Load(d88test::Concat({disk.Build(), record, record}));
  EXPECT_EQ(image_.ReadSector(10, 9, 0, 9, 1, buffer_.data(), 256), 256);
  EXPECT_EQ(image_.ReadSector(11, 9, 0, 9, 1, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.ReadSector(12, 6, 0, 1, 1, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.ReadSector(13, 6, 1, 1, 1, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.GetSectorIds(11, buffer_.data(), 64), 0);
  EXPECT_EQ(image_.ReadSector(-1, 0, 0, 1, 1, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.ReadSector(164, 0, 0, 1, 1, buffer_.data(), 256), 0);
}

TEST_F(SectorAccessTest, ImageEndingInsideARecord) {
  Disk disk = d88test::MakeStandardDisk();
  disk.tracks.erase(disk.tracks.find(2), disk.tracks.end());
  Bytes bytes = disk.Build();
  // Track 1 is last: cut it inside sector 16's data, then inside its header.
  bytes.resize(bytes.size() - 56);
  Load(bytes);
  EXPECT_EQ(image_.ReadSector(1, 0, 1, 16, 1, buffer_.data(), 256), 200);
  EXPECT_EQ(image_.ReadSectors(1, 0, 1, 15, 1, buffer_.data(), 512), 256);
  bytes.resize(bytes.size() - 200 - 8);
  Load(bytes);
  EXPECT_EQ(image_.ReadSector(1, 0, 1, 16, 1, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.ReadSector(1, 0, 1, 15, 1, buffer_.data(), 256), 256);
  EXPECT_EQ(image_.GetSectorIds(1, buffer_.data(), 256), 60);
}

TEST_F(SectorAccessTest, OnlyACountEqualToThePositionEndsATrack) {
  Disk disk = d88test::MakeStandardDisk();
  // Track 0 claims 99 sectors: the search runs on into track 1's records,
  // whose own count (16) never equals their position there (16 to 31).
  for (Sector& s : disk.tracks[0]) s.sectorsInTrack = 99;
  // Track 2 ends by count after its second record.
  for (Sector& s : disk.tracks[2]) s.sectorsInTrack = 2;
  Load(disk);
  EXPECT_EQ(image_.ReadSector(0, 0, 1, 9, 1, buffer_.data(), 256), 256);
  EXPECT_EQ(image_.ReadSector(2, 1, 0, 2, 1, buffer_.data(), 256), 256);
  EXPECT_EQ(image_.ReadSector(2, 1, 0, 3, 1, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.GetSectorIds(2, buffer_.data(), 256), 8);
}

TEST_F(SectorAccessTest, CountOfZeroEndsASearchButNotAListing) {
  Disk disk = d88test::MakeStandardDisk();
  disk.tracks.erase(disk.tracks.find(1), disk.tracks.end());
  for (Sector& s : disk.tracks[0]) s.sectorsInTrack = 0;
  Load(disk);
  EXPECT_EQ(image_.ReadSector(0, 0, 0, 1, 1, buffer_.data(), 256), 0);
  // The listing runs to the end of the image: all 16 records.
  EXPECT_EQ(image_.GetSectorIds(0, buffer_.data(), 1024), 64);
  EXPECT_EQ(image_.GetSectorIds(0, buffer_.data(), 40), 40);
}

// A run, sector by sector, as separate searches of each chunk's track.
std::int32_t RunBySeparateSearches(D88Image& image, std::int32_t track, std::int32_t c,
                                   std::int32_t h, std::int32_t r, std::int32_t first,
                                   std::int32_t last, std::uint8_t* buffer, std::int32_t length) {
  std::int32_t done = 0;
  while (done < length) {
    const std::int32_t chunk = std::min(256, length - done);
    if (image.ReadSector(track, c, h, r, 1, buffer + done, chunk) < chunk) return done;
    done += chunk;
    if (r == last) {
      ++track;
      c += h;
      h ^= 1;
      r = first;
    } else {
      ++r;
    }
  }
  return done;
}

// A run finds all of a track's sectors in one walk of it; on tracks of every
// oddity (repeated, missing, mis-sized and foreign records, counts that end a
// track early or never, an image cut anywhere) it must read exactly what
// separate searches would.
TEST_F(SectorAccessTest, RunReadsWhatSeparateSearchesRead) {
  std::mt19937 random(20261208);
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int round = 0; round < 300; ++round) {
    Disk disk;
    for (int t = 0; t < 6; ++t) {
      std::vector<Sector>& records = disk.tracks[t];
      const int count = pick(0, 20);
      for (int k = 0; k < count; ++k) {
        Sector s;
        s.c = static_cast<std::uint8_t>(pick(0, 9) == 0 ? pick(0, 3) : t >> 1);
        s.h = static_cast<std::uint8_t>(pick(0, 9) == 0 ? pick(0, 1) : t & 1);
        s.r = static_cast<std::uint8_t>(pick(0, 18));
        s.n = static_cast<std::uint8_t>(pick(0, 9) == 0 ? 2 : 1);
        s.sectorsInTrack = pick(0, 4) == 0 ? pick(0, 20) : -1;
        const int sizes[] = {256, 256, 256, 100, 0, 300};
        s.data.resize(static_cast<std::size_t>(sizes[pick(0, 5)]));
        for (auto& byte : s.data) byte = static_cast<std::uint8_t>(pick(0, 255));
        records.push_back(s);
      }
    }
    Bytes bytes = disk.Build();
    if (pick(0, 2) == 0) bytes.resize(static_cast<std::size_t>(pick(688, static_cast<int>(bytes.size()))));
    Load(bytes);
    const int first = pick(0, 2);
    const int last = pick(8, 18);
    image_.SetSectorRange(first, last);
    for (int k = 0; k < 10; ++k) {
      const int track = pick(0, 5);
      const int r = pick(0, 18);
      const int length = pick(1, 20 * 256);
      Bytes expected(static_cast<std::size_t>(length));
      const std::int32_t want = RunBySeparateSearches(image_, track, track >> 1, track & 1, r,
                                                      first, last, expected.data(), length);
      const std::int32_t got =
          image_.ReadSectors(track, track >> 1, track & 1, r, 1, buffer_.data(), length);
      ASSERT_EQ(got, want) << "round " << round;
      ASSERT_EQ(Head(buffer_, static_cast<std::size_t>(got)),
                Head(expected, static_cast<std::size_t>(want)))
          << "round " << round;
    }
  }
}

// Every field of a record's header, as the image holds it, and where the
// record stands; the same records a run reads and a search finds.
TEST_F(SectorAccessTest, RecordsCarryEveryFieldOfTheirHeaders) {
  Disk disk = d88test::MakeStandardDisk();
  disk.writeProtect = 0x10;
  const std::uint8_t reserved[5] = {1, 2, 3, 4, 5};
  Sector& odd = *d88test::FindSector(&disk, 3, 5);
  odd.density = 0x40;
  odd.deletedMark = 0x10;
  odd.status = 0xB0;
  std::copy(reserved, reserved + 5, odd.reserved);
  odd.data.resize(200);
  Sector again = odd;  // the same ID later in the track: never the one found
  again.status = 0;
  disk.tracks[3].push_back(again);  // `odd` is no more from here on
  const Bytes bytes = disk.Build();
  Load(bytes);
  EXPECT_EQ(image_.GetWriteProtect(), 0x10);

  D88Image::SectorRecord records[40];
  ASSERT_EQ(image_.GetSectorRecords(3, records, 40), 17);
  const D88Image::SectorRecord& record = records[4];
  EXPECT_EQ(std::vector<int>({record.c, record.h, record.r, record.n, record.sectorsInTrack,
                              record.density, record.deletedMark, record.status, record.dataSize}),
            std::vector<int>({1, 1, 5, 1, 17, 0x40, 0x10, 0xB0, 200}));
  EXPECT_TRUE(std::equal(record.reserved, record.reserved + 5, reserved));
  EXPECT_EQ(record.position, image_.GetTrackOffset(3) + 4 * 272);
  EXPECT_EQ(image_.GetSectorRecords(3, records, 2), 2);
  D88Image::SectorRecord one[1];
  ASSERT_EQ(image_.GetSectorRecords(3, one, 1), 1);
  EXPECT_EQ(one[0].position, image_.GetTrackOffset(3));
  EXPECT_EQ(image_.GetSectorRecords(3, records, 0), 0);

  D88Image::SectorRecord found;
  ASSERT_TRUE(image_.FindSectorRecord(3, 1, 1, 5, 1, &found));
  EXPECT_EQ(found.position, record.position);
  EXPECT_EQ(found.status, 0xB0);
  EXPECT_FALSE(image_.FindSectorRecord(3, 1, 1, 17, 1, &found));
  // A run gives the record of each sector it read, in order, as many as
  // there is room for: R 15 and 16 of track 3, then R 1 of track 4.
  D88Image::SectorRecord run[3];
  ASSERT_EQ(image_.ReadSectors(3, 1, 1, 15, 1, buffer_.data(), 1024, run, 3), 1024);
  EXPECT_EQ(std::vector<int>({run[0].r, run[1].r, run[2].r, run[2].c, run[2].h}),
            std::vector<int>({15, 16, 1, 2, 0}));

  std::uint8_t raw[4];
  EXPECT_EQ(image_.ReadImageBytes(26, raw, 1), 1);
  EXPECT_EQ(raw[0], 0x10);
  EXPECT_EQ(image_.ReadImageBytes(static_cast<std::int32_t>(bytes.size()) - 2, raw, 4), 2);
  EXPECT_EQ(image_.ReadImageBytes(-1, raw, 4), 0);
  ASSERT_FALSE(image_.SelectDisk(1));
  EXPECT_EQ(image_.GetWriteProtect(), -1);
}

// A run read through the marked disk's rule says which sectors it read
// are marked, however long it is, and what stopped it.
TEST_F(SectorAccessTest, RunReadsSayWhatTheyReadAndWhatStoppedThem) {
  Disk disk = d88test::MakeStandardDisk();
  d88test::FindSector(&disk, 10, 1)->status = 0xB0;  // the 129th sector from track 2 R 1 on
  Load(disk);
  marked_disk::RunRead read;
  const std::int32_t length = 128 * 256 + 100;
  EXPECT_EQ(marked_disk::ReadRun(image_, 2, 1, 0, 1, 1, buffer_.data(), length, &read), length);
  ASSERT_EQ(read.markedCount, 1);
  EXPECT_EQ(std::vector<int>({read.marked[0].track, read.marked[0].c, read.marked[0].h,
                              read.marked[0].r, read.marked[0].status}),
            std::vector<int>({10, 5, 0, 1, 0xB0}));
  // A size code no run can take stops it at its first sector.
  EXPECT_EQ(marked_disk::ReadRun(image_, 2, 1, 0, 1, 30, buffer_.data(), 256, &read), 0);
  EXPECT_EQ(read.stop, marked_disk::RunRead::Stop::kMissing);
  EXPECT_EQ(read.r, 1);
}

TEST_F(SectorAccessTest, NothingIsReadWithoutASelectedDisk) {
  Load(d88test::MakeStandardDisk());
  ASSERT_FALSE(image_.SelectDisk(5));
  EXPECT_EQ(image_.ReadSectors(2, 1, 0, 1, 1, buffer_.data(), 512), 0);
  EXPECT_EQ(image_.GetSectorIds(0, buffer_.data(), 64), 0);
  ASSERT_TRUE(image_.SelectDisk(0));
  ASSERT_TRUE(image_.Open(nullptr));
  EXPECT_EQ(image_.ReadSector(0, 0, 0, 1, 1, buffer_.data(), 256), 0);
  EXPECT_EQ(image_.GetSectorIds(0, buffer_.data(), 64), 0);
}

}  // namespace
