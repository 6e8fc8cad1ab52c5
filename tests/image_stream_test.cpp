// The reader's window on the image file: what a read gives wherever it
// starts and ends relative to the window, and when nothing can be read.

#include <algorithm>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "d88image/image_stream.h"
#include "test_support.h"

namespace {

using d88test::Bytes;

// 200,000 bytes, each telling its own position apart from its neighbours'.
Bytes Numbered() {
  Bytes bytes(200000);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
  }
  return bytes;
}

TEST(ImageStreamTest, ReadsGiveTheFileWhereverTheWindowStands) {
  d88test::TempDir dir;
  const Bytes file = Numbered();
  d88::ImageStream stream;
  ASSERT_TRUE(stream.Open(dir.Write("numbered", file).c_str()));
  EXPECT_EQ(stream.GetFileSize(), 200000);
  // In turn: inside the first window, across its end, back before it, across
  // several windows, at a 4 KiB boundary, and over the end of the file.
  const struct {
    std::int32_t position;
    std::int32_t count;
    std::int32_t arrived;
  } reads[] = {{10, 100, 100},       {65500, 100, 100},    {4000, 200, 200},
               {1, 150000, 150000},  {131072, 1, 1},       {199990, 100, 10},
               {200000, 16, 0},      {300000, 16, 0},      {65535, 2, 2}};
  for (const auto& read : reads) {
    Bytes got(static_cast<std::size_t>(read.count) + 1, 0xCD);
    stream.Seek(read.position);
    ASSERT_EQ(stream.Read(got.data(), read.count), read.arrived) << read.position;
    const auto from = file.begin() + read.position;
    EXPECT_TRUE(std::equal(from, from + read.arrived, got.begin())) << read.position;
    EXPECT_EQ(got[static_cast<std::size_t>(read.arrived)], 0xCD) << read.position;
  }
  // A read goes on from where the last one ended.
  std::uint8_t two[2];
  stream.Seek(70000);
  ASSERT_EQ(stream.Read(two, 1), 1);
  ASSERT_EQ(stream.Read(two + 1, 1), 1);
  EXPECT_EQ(two[1], file[70001]);
}

TEST(ImageStreamTest, NothingIsReadFromNoFileOrBeforeItsStart) {
  d88test::TempDir dir;
  const std::string path = dir.Write("numbered", Numbered());
  std::uint8_t byte = 0xCD;
  d88::ImageStream stream;
  EXPECT_EQ(stream.Read(&byte, 1), 0);  // never opened
  ASSERT_TRUE(stream.Open(path.c_str()));
  stream.Seek(-1);
  EXPECT_EQ(stream.Read(&byte, 1), 0);
  stream.Seek(0);
  EXPECT_EQ(stream.Read(&byte, 0), 0);
  stream.Close();
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_EQ(stream.GetFileSize(), 0);
  stream.Seek(0);
  EXPECT_EQ(stream.Read(&byte, 1), 0);  // closed, though the window still held it
  EXPECT_EQ(byte, 0xCD);
  EXPECT_FALSE(stream.Open((dir / "missing").c_str()));
  EXPECT_EQ(stream.Read(&byte, 1), 0);
}

}  // namespace
