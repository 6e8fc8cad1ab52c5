// Opening an image, its disk directory and disk selection. Each reader is
// made on the heap: it holds room for a whole disk of another container.

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "d88image/d88image.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::Disk;
using d88test::TempDir;

Bytes HeaderOnlyDisk(const std::string& name, std::uint8_t mediaType) {
  Disk disk;
  disk.name = name;
  disk.mediaType = mediaType;
  return disk.Build();
}

TEST(DirectoryTest, FindsDisksFromTheirSizeFields) {
  TempDir dir;
  Disk second = d88test::MakeStandardDisk("SECOND");
  second.mediaType = 0x10;
  const std::string path = dir.Write(
      "two.d88", d88test::Concat({HeaderOnlyDisk("FIRST", 0x20), second.Build()}));

  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  ASSERT_TRUE(image.Open(path.c_str()));
  ASSERT_EQ(image.GetDiskCount(), 2);
  ASSERT_TRUE(image.SelectDisk(1));
  EXPECT_STREQ(image.GetDiskName(), "SECOND");
  EXPECT_EQ(image.GetMediaType(), 0x10);
  EXPECT_EQ(image.GetCurrentDisk(), 1);
  EXPECT_EQ(image.GetDiskStart(), 688);
  EXPECT_EQ(image.GetDiskSize(), 348848);
  EXPECT_EQ(image.GetTrackOffset(0), 688);
  EXPECT_EQ(image.GetTrackOffset(80), 0);
  EXPECT_EQ(image.GetTrackOffset(164), 0);
  EXPECT_EQ(image.GetTrackOffset(-1), 0);
  // Disk 1 starts 688 bytes in: its sectors are found through its own table.
  std::uint8_t sector[256];
  EXPECT_EQ(image.ReadSector(0, 0, 0, 1, 1, sector, 256), 256);
  ASSERT_TRUE(image.SelectDisk(0));
  EXPECT_STREQ(image.GetDiskName(), "FIRST");
  EXPECT_EQ(image.GetMediaType(), 0x20);
}

TEST(DirectoryTest, StopsAtSixtyFourDisks) {
  TempDir dir;
  Bytes seventy;
  for (int k = 0; k < 70; ++k) seventy = d88test::Concat({seventy, HeaderOnlyDisk("D", 0)});
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  ASSERT_TRUE(image.Open(dir.Write("many.d88", seventy).c_str()));
  EXPECT_EQ(image.GetDiskCount(), 64);
  EXPECT_TRUE(image.SelectDisk(63));
  EXPECT_FALSE(image.SelectDisk(64));

  // A size of 0 finds the same header again, up to the limit.
  Disk zero;
  zero.name = "ZERO";
  zero.overrideDiskSize = true;
  zero.diskSizeField = 0;
  ASSERT_TRUE(image.Open(dir.Write("zero.d88", zero.Build()).c_str()));
  EXPECT_EQ(image.GetDiskCount(), 64);
  ASSERT_TRUE(image.SelectDisk(63));
  EXPECT_STREQ(image.GetDiskName(), "ZERO");
}

TEST(DirectoryTest, CountsOnlyWholeHeaders) {
  TempDir dir;
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  ASSERT_TRUE(image.Open(dir.Write("empty.d88", {}).c_str()));
  EXPECT_EQ(image.GetDiskCount(), 0);
  EXPECT_FALSE(image.SelectDisk(0));

  Bytes truncated = d88test::Concat({HeaderOnlyDisk("A", 0), HeaderOnlyDisk("B", 0)});
  truncated.pop_back();
  ASSERT_TRUE(image.Open(dir.Write("truncated.d88", truncated).c_str()));
  EXPECT_EQ(image.GetDiskCount(), 1);
}

TEST(DirectoryTest, PositionsStayWithin32Bits) {
  TempDir dir;
  // A size of 2^32 - 1 decodes as -1: the next disk would start before 0.
  Disk negative;
  negative.overrideDiskSize = true;
  negative.diskSizeField = 0xFFFFFFFFu;
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  ASSERT_TRUE(image.Open(dir.Write("negative.d88", negative.Build()).c_str()));
  EXPECT_EQ(image.GetDiskCount(), 1);

  // A second header just below 2^31 whose size would carry past 2^31 - 1,
  // with a sector whose data crosses that position and a track whose
  // position cannot be formed at all. The file is sparse: it costs no space.
  constexpr std::uint32_t kFarStart = 0x7FFFFD00u;
  Disk first;
  first.overrideDiskSize = true;
  first.diskSizeField = kFarStart;
  Disk far;
  far.overrideDiskSize = true;
  far.diskSizeField = 0x1000;
  far.trackEntryOverrides[0] = 0x2C0;   // at 2^31 - 64
  far.trackEntryOverrides[1] = 0x1000;  // at 2^31 + 0xD00
  Disk record;
  d88test::Sector crossing;
  crossing.data.assign(256, 0x42);
  record.tracks[0] = {crossing};
  const Bytes recordBytes = record.Build();
  const Bytes farBytes = d88test::Concat(
      {far.Build(), Bytes(16, 0), Bytes(recordBytes.begin() + 688, recordBytes.end())});
  const std::string path = dir.Write("far.d88", first.Build());
  std::filesystem::resize_file(path, kFarStart);
  {
    std::FILE* out = std::fopen(path.c_str(), "ab");
    ASSERT_EQ(std::fwrite(farBytes.data(), 1, farBytes.size(), out), farBytes.size());
    std::fclose(out);
  }
  ASSERT_TRUE(image.Open(path.c_str()));
  EXPECT_EQ(image.GetDiskCount(), 2);
  EXPECT_EQ(image.GetImageFileSize(), d88::kInt32Max);  // past 2^31 - 1: held at it
  ASSERT_TRUE(image.SelectDisk(1));
  std::uint8_t sector[256];
  // Nothing is read past position 2^31 - 1: 47 of the 256 bytes.
  EXPECT_EQ(image.ReadSector(0, 0, 0, 1, 1, sector, 256), 47);
  EXPECT_EQ(image.GetSectorIds(0, sector, 16), 4);
  EXPECT_EQ(image.ReadSector(1, 0, 0, 1, 1, sector, 256), 0);
  EXPECT_EQ(image.GetSectorIds(1, sector, 16), 0);
}

TEST(DirectoryTest, NameIsAtMostSixteenCharactersUpToTheFirstNul) {
  TempDir dir;
  Bytes full = HeaderOnlyDisk("ABCDEFGHIJKLMNOP", 0);
  full[16] = 'Q';  // the byte after the name field is not part of the name
  Bytes cut = HeaderOnlyDisk("AB", 0);
  cut[3] = 'C';  // after the NUL at 2
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  ASSERT_TRUE(image.Open(dir.Write("names.d88", d88test::Concat({full, cut})).c_str()));
  ASSERT_TRUE(image.SelectDisk(0));
  EXPECT_STREQ(image.GetDiskName(), "ABCDEFGHIJKLMNOP");
  ASSERT_TRUE(image.SelectDisk(1));
  EXPECT_STREQ(image.GetDiskName(), "AB");
  EXPECT_EQ(std::memcmp(image.GetDiskName(), "AB\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 17), 0);
}

TEST(DirectoryTest, FailedSelectionForgetsTheDisk) {
  TempDir dir;
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  EXPECT_EQ(image.GetMediaType(), -1);
  EXPECT_EQ(image.GetCurrentDisk(), -1);
  EXPECT_STREQ(image.GetDiskName(), "");
  EXPECT_FALSE(image.SelectDisk(0));  // nothing open

  const Bytes disk = d88test::MakeStandardDisk("KEPT").Build();
  ASSERT_TRUE(image.Open(dir.Write("one.d88", disk).c_str()));
  ASSERT_TRUE(image.SelectDisk(0));
  EXPECT_FALSE(image.SelectDisk(1));
  EXPECT_EQ(image.GetDiskStart(), -1);
  EXPECT_EQ(image.GetDiskSize(), 0);
  EXPECT_EQ(image.GetMediaType(), -1);
  EXPECT_EQ(image.GetCurrentDisk(), -1);
  EXPECT_STREQ(image.GetDiskName(), "");
  EXPECT_EQ(image.GetTrackOffset(0), 0);  // nothing of disk 0's table
  std::uint8_t sector[256];
  EXPECT_EQ(image.ReadSector(0, 0, 0, 1, 1, sector, 256), 0);
  EXPECT_FALSE(image.SelectDisk(-1));

  // Another image opened: the disk selected was the first one's.
  ASSERT_TRUE(image.SelectDisk(0));
  Bytes other = disk;
  other[32] = 0x10;  // track 0 elsewhere: read through the old table, it would be found
  ASSERT_TRUE(image.Open(dir.Write("other.d88", other).c_str()));
  EXPECT_EQ(image.GetCurrentDisk(), -1);
  EXPECT_EQ(image.GetTrackOffset(0), 0);
  EXPECT_EQ(image.ReadSector(0, 0, 0, 1, 1, sector, 256), 0);
}

TEST(DirectoryTest, ClosingKeepsTheNameAndRefusesSelection) {
  TempDir dir;
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  ASSERT_TRUE(image.Open(dir.Write("one.d88", HeaderOnlyDisk("NAME", 3)).c_str()));
  ASSERT_TRUE(image.SelectDisk(0));
  EXPECT_TRUE(image.Open(nullptr));
  EXPECT_EQ(image.GetDiskCount(), 0);
  EXPECT_EQ(image.GetMediaType(), -1);
  EXPECT_FALSE(image.SelectDisk(0));
  EXPECT_STREQ(image.GetDiskName(), "NAME");
}

// Why an image did not open, as the open itself found it: the system's
// reason, or what stands there; nothing after one that opened.
TEST(DirectoryTest, OnlyRegularFilesOpenAndAFailureSaysWhy) {
  TempDir dir;
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  EXPECT_FALSE(image.Open((dir / "missing.d88").c_str()));
  EXPECT_EQ(image.GetOpenFailure().error, ENOENT);
  EXPECT_EQ(image.GetOpenFailure().kind, d88::FileKind::kNone);
  EXPECT_FALSE(image.Open(dir.path().c_str()));
  EXPECT_EQ(image.GetOpenFailure().error, 0);
  EXPECT_EQ(image.GetOpenFailure().kind, d88::FileKind::kFolder);
  EXPECT_FALSE(image.SelectDisk(0));
  ASSERT_TRUE(image.Open(dir.Write("one.d88", HeaderOnlyDisk("ONE", 0)).c_str()));
  EXPECT_EQ(image.GetOpenFailure().error, 0);
  EXPECT_EQ(image.GetOpenFailure().kind, d88::FileKind::kNone);
}

TEST(DirectoryTest, ReopeningClosesTheEarlierImage) {
  TempDir dir;
  const std::string one = dir.Write("one.d88", HeaderOnlyDisk("ONE", 0));
  const std::string two =
      dir.Write("two.d88", d88test::Concat({HeaderOnlyDisk("A", 0), HeaderOnlyDisk("B", 0)}));
  // With few files allowed open, a leaked one would soon fail Open.
  const int saved = d88test::SetOpenFileLimit(64);
  if (saved < 0) GTEST_SKIP() << "this system sets no limit on open files";
  const auto ownedImage = std::make_unique<D88Image>();
  D88Image& image = *ownedImage;
  for (int k = 0; k < 200; ++k) {
    ASSERT_TRUE(image.Open(k % 2 == 0 ? one.c_str() : two.c_str())) << k;
    ASSERT_EQ(image.GetDiskCount(), k % 2 == 0 ? 1 : 2);
  }
  d88test::SetOpenFileLimit(saved);
}

}  // namespace
