// Runs the built d88ls on images from the builder.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::Disk;
using d88test::RunResult;

const std::string kAllBlocksOk =
    "  block PROG: track 2 (C 1 H 0) R 1, 26624 bytes: ok\n"
    "  block FMBANK: track 0 (C 0 H 0) R 14, 256 bytes: ok\n"
    "  block MUS00: track 74 (C 37 H 0) R 1, 1792 bytes: ok\n"
    "  block MUS01: track 75 (C 37 H 1) R 1, 2816 bytes: ok\n"
    "  block MUS02: track 76 (C 38 H 0) R 1, 2304 bytes: ok\n"
    "  block MUS03: track 76 (C 38 H 0) R 10, 1280 bytes: ok\n"
    "  block MUS04: track 74 (C 37 H 0) R 9, 2048 bytes: ok\n";

class D88lsTest : public ::testing::Test {
 protected:
  RunResult List(const Bytes& image, bool tracks = false) {
    const std::string path = dir_.Write("image.d88", image);
    if (tracks) return Run({"d88ls", "-t", path});
    return Run({"d88ls", path});
  }
  RunResult Run(const std::vector<std::string>& args) {
    return d88test::RunTool(D88LS_PATH, args, dir_.path());
  }
  d88test::TempDir dir_;
};

Disk Game() { return d88test::MarkedDisk("GAME"); }

TEST_F(D88lsTest, MarkedDiskShowsEveryBlock) {
  Disk disk = Game();
  disk.mediaType = 0x20;
  const RunResult result = List(disk.Build());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "disk 0: offset 0, name \"GAME\", media 0x20 2HD, size 348848, tracks 80, marked\n" +
                kAllBlocksOk);
}

TEST_F(D88lsTest, SaysWhyADiskIsUnmarked) {
  Disk wrongByte = d88test::MakeStandardDisk("A");
  d88test::SetMarker(&wrongByte, 0x7F);
  Disk shortId = d88test::MarkedDisk("B");
  d88test::FindSector(&shortId, 0, 16)->data.resize(200);
  Disk noId = d88test::MarkedDisk("C");
  noId.tracks[0].pop_back();
  noId.mediaType = 0x33;
  const RunResult result =
      List(d88test::Concat({wrongByte.Build(), shortId.Build(), noId.Build()}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "disk 0: offset 0, name \"A\", media 0x00 2D, size 348848, tracks 80, "
            "unmarked: byte 254 of sector C 0 H 0 R 16 N 1 on track 0 is 0x7F, not 0x41 ('A')\n"
            "disk 1: offset 348848, name \"B\", media 0x00 2D, size 348792, tracks 80, "
            "unmarked: sector C 0 H 0 R 16 N 1 on track 0 is short (200 of 256 bytes)\n"
            "disk 2: offset 697640, name \"C\", media 0x33, size 348576, tracks 80, "
            "unmarked: no sector C 0 H 0 R 16 N 1 on track 0\n");
}

TEST_F(D88lsTest, HeadersRepeatedByASizeOfZeroAreListedOnce) {
  Disk zero;
  zero.name = "ZERO";
  zero.overrideDiskSize = true;
  zero.diskSizeField = 0;
  zero.tracks[0] = {d88test::Sector{}};  // there, but past the disk's size
  const std::string line =
      "name \"ZERO\", media 0x00 2D, size 0, tracks 1, unmarked: track 0 is absent: its entry "
      "688 is past the disk size 0\n";
  EXPECT_EQ(List(zero.Build()).out,
            "disk 0: offset 0, " + line +
                "disks 1 to 63: the same header again, because disk 0's size field is 0\n" +
                dir_ / "image.d88" + " does not look like a D88 image\n");
  // The last disk but one: a single repeat.
  Bytes image;
  for (int k = 0; k < 62; ++k) image = d88test::Concat({image, d88test::Disk{}.Build()});
  const std::string out = List(d88test::Concat({image, zero.Build()})).out;
  const std::string end = "disk 62: offset 42656, " + line +
                          "disk 63: the same header again, because disk 62's size field is 0\n";
  ASSERT_GE(out.size(), end.size());
  EXPECT_EQ(out.substr(out.size() - end.size()), end);
}

TEST_F(D88lsTest, NamesEveryBlockThatCannotBeCut) {
  Disk disk = Game();
  disk.tracks.erase(75);
  d88test::FindSector(&disk, 76, 12)->data.resize(100);
  d88test::FindSector(&disk, 6, 3)->c = 9;  // inside PROG's run
  const RunResult result = List(disk.Build());
  EXPECT_EQ(result.out,
            "disk 0: offset 0, name \"GAME\", media 0x00 2D, size 344340, tracks 79, marked\n"
            "  block PROG: track 2 (C 1 H 0) R 1, 26624 bytes: "
            "missing sector track 6 (C 3 H 0) R 3\n"
            "  block FMBANK: track 0 (C 0 H 0) R 14, 256 bytes: ok\n"
            "  block MUS00: track 74 (C 37 H 0) R 1, 1792 bytes: ok\n"
            "  block MUS01: track 75 (C 37 H 1) R 1, 2816 bytes: "
            "missing sector track 75 (C 37 H 1) R 1: track 75 is absent: its entry is 0\n"
            "  block MUS02: track 76 (C 38 H 0) R 1, 2304 bytes: ok\n"
            "  block MUS03: track 76 (C 38 H 0) R 10, 1280 bytes: "
            "short sector track 76 (C 38 H 0) R 12 (100 of 256 bytes)\n"
            "  block MUS04: track 74 (C 37 H 0) R 9, 2048 bytes: ok\n");
}

TEST_F(D88lsTest, TrackListingShowsStorageOrderAndOddIds) {
  Disk disk;
  disk.name = "T";
  for (int k = 0; k < 4; ++k) {
    d88test::Sector s;
    s.c = 2;
    s.h = 1;
    s.r = static_cast<std::uint8_t>(7 - 2 * k);
    s.data.assign(16, 0);
    disk.tracks[5].push_back(s);
  }
  disk.tracks[5][1].c = 9;
  disk.tracks[5][2].n = 3;
  disk.tracks[5][3].h = 0;
  d88test::Sector one;
  one.c = 3;
  one.r = 3;
  disk.tracks[6] = {one};
  // A chain longer than a listing holds is cut, and says so.
  std::string chain;
  for (int k = 0; k < 1030; ++k) {
    d88test::Sector s;
    s.c = 3;
    s.h = 1;
    s.r = static_cast<std::uint8_t>(k % 200);
    disk.tracks[7].push_back(s);
    if (k < 1024) chain += " " + std::to_string(k % 200);
  }
  disk.tracks[9] = {};
  disk.trackEntryOverrides[9] = 0x10000;      // beyond the disk
  disk.trackEntryOverrides[13] = 0x80000000;  // negative: before the file
  const RunResult result = List(disk.Build(), true);
  EXPECT_EQ(result.out,
            "disk 0: offset 0, name \"T\", media 0x00 2D, size 17312, tracks 5, "
            "unmarked: track 0 is absent: its entry is 0\n"
            "  track 5 (C 2 H 1) at 688: 4 sectors, N 1: 7 5(C 9) 3(N 3) 1(H 0)\n"
            "  track 6 (C 3 H 0) at 816: 1 sector, N 1: 3\n"
            "  track 7 (C 3 H 1) at 832: 1024+ sectors, N 1:" + chain + " ...\n"
            "  track 9 (C 4 H 1) at 65536: absent: its entry 65536 is past the disk size 17312\n"
            "  track 13 (C 6 H 1) at -2147483648: absent: its entry -2147483648 points outside "
            "the file\n");
}

TEST_F(D88lsTest, NameBytesOutsidePrintableAsciiAreEscaped) {
  Disk disk = d88test::MakeStandardDisk(std::string("\x83\x66 \"x\\\x01", 7));
  const RunResult result = List(disk.Build());
  // 0x66 is 'f'; the quote and the backslash are escaped too.
  EXPECT_EQ(result.out.substr(0, 51), "disk 0: offset 0, name \"\\x83f \\x22x\\x5C\\x01\", media");
}

TEST_F(D88lsTest, CommandLine) {
  const std::string image = dir_.Write("image.d88", Game().Build());
  const std::string withTracks = Run({"d88ls", "-t", image}).out;
  EXPECT_EQ(withTracks.substr(0, 86),
            "disk 0: offset 0, name \"GAME\", media 0x00 2D, size 348848, tracks 80, marked\n  track 0");
  EXPECT_EQ(Run({"d88ls", image, "-t"}).out, withTracks);  // options anywhere
  // After "--" an argument that looks like an option is a file name.
  dir_.Write("-t", Game().Build());
  EXPECT_EQ(Run({"d88ls", "--", "-t"}).out, Run({"d88ls", image}).out);

  for (const char* help : {"-h", "--help"}) {
    const RunResult result = Run({"./d88ls", help});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.substr(0, 31), "Usage: ./d88ls [-t] d88file...\n");
    EXPECT_EQ(result.err, "");
  }
  const RunResult version = Run({"d88ls", "--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "d88ls " D88CUT_VERSION "\n");

  for (const auto& args : std::vector<std::vector<std::string>>{
           {"./d88ls"}, {"./d88ls", "-t"}, {"./d88ls", "-x", "a.d88"}, {"./d88ls", "--"}}) {
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, std::string(args.size() == 3 ? "d88ls: unknown option -x\n" : "") +
                              "Usage: ./d88ls [-t] d88file...\n");
    EXPECT_EQ(result.out, "");
  }
  const RunResult empty = List({});
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "no disks: the image is shorter than a disk header\n" + dir_ / "image.d88" +
                           " does not look like a D88 image\n");
}

// Several images in one call, each under its name as ls lists folders;
// what cannot be opened is said on standard error, the rest still listed.
TEST_F(D88lsTest, SeveralImagesAndWhatIsWrongWithEach) {
  dir_.Write("good.d88", Game().Build());
  Bytes cut = Game().Build();
  cut.pop_back();  // cut short, and still cut by d88cut
  dir_.Write("cut.d88", cut);
  dir_.Write("text.txt", Bytes(700, 'x'));
  std::filesystem::create_directory(dir_ / "folder");
  // Disk 1's size field reads -688: the next disk is disk 0 again.
  Disk a;
  a.name = "A";
  Disk b;
  b.name = "B";
  b.overrideDiskSize = true;
  b.diskSizeField = 0x100000000u - 688;
  dir_.Write("back.d88", d88test::Concat({a.Build(), b.Build()}));
  const RunResult result =
      Run({"d88ls", "good.d88", "cut.d88", "missing.d88", "folder", "text.txt", "back.d88"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "d88ls: cannot open missing.d88: No such file or directory\n"
            "d88ls: folder: not a regular file (a folder)\n");
  EXPECT_EQ(result.out,
            "good.d88:\n"
            "disk 0: offset 0, name \"GAME\", media 0x00 2D, size 348848, tracks 80, marked\n" +
                kAllBlocksOk +
                "\ncut.d88:\n"
                "disk 0: offset 0, name \"GAME\", media 0x00 2D, size 348848 runs past the end of "
                "the file (348847 bytes), tracks 80, marked\n" +
                kAllBlocksOk +
                "\ntext.txt:\n"
                "disk 0: offset 0, name \"xxxxxxxxxxxxxxxx\", media 0x78, size 2021161080 runs "
                "past the end of the file (700 bytes), tracks 164, unmarked: no sector C 0 H 0 R "
                "16 N 1 on track 0\n"
                "text.txt does not look like a D88 image\n"
                "\nback.d88:\n"
                "disk 0: offset 0, name \"A\", media 0x00 2D, size 688, tracks 0, unmarked: "
                "track 0 is absent: its entry is 0\n"
                "disk 1: offset 688, name \"B\", media 0x00 2D, size -688 is negative: the next "
                "disk starts before this one, tracks 0, unmarked: track 0 is absent: its entry is "
                "0\n"
                "disks 2 to 63: disks 0 to 1 again, in turn, because their size fields add up "
                "to 0\n");
}

}  // namespace
