// Runs the built d88ls on images from the builder.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::Disk;
using d88test::RunResult;

// "track T (C c H h) R r", as the listing places a sector.
std::string At(std::int32_t track, std::int32_t r) {
  return "track " + std::to_string(track) + " (C " + std::to_string(track >> 1) + " H " +
         std::to_string(track & 1) + ") R " + std::to_string(r);
}

// Every block's line, in the order they are cut, each ending in what
// `stateOf` says of it.
std::string BlockLines(const std::function<std::string(const d88test::ExpectedBlock&)>& stateOf) {
  std::string lines;
  for (const d88test::ExpectedBlock& b : d88test::kExpectedBlocks) {
    lines += "  block " + std::string(b.name) + ": " + At(b.track, b.r) + ", " +
             std::to_string(b.size) + " bytes: " + stateOf(b) + "\n";
  }
  return lines;
}

const std::string kAllBlocksOk = BlockLines([](const d88test::ExpectedBlock&) { return "ok"; });

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
  d88test::TempDir work_;
};

Disk Game() { return d88test::MarkedDisk("GAME"); }

TEST_F(D88lsTest, MarkedDiskShowsEveryBlock) {
  Disk disk = Game();
  disk.mediaType = 0x20;  // which its tracks are not
  const RunResult result = List(disk.Build());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "disk 0: offset 0, name \"GAME\", media 0x20 2HD (its tracks look 2D), size 348848, "
            "tracks 80, marked\n" +
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
  d88test::FindSector(&disk, 6, 3)->c = 9;
  // Each block stops at the first of its sectors that is damaged.
  const auto stop = [](const d88test::ExpectedBlock& b) -> std::string {
    for (const d88test::BlockSector& s : d88test::SectorsOf(b)) {
      if (s.track == 75) return "missing sector " + At(75, s.r) + ": track 75 is absent: its entry is 0";
      if (s.track == 76 && s.r == 12) return "short sector " + At(76, 12) + " (100 of 256 bytes)";
      if (s.track == 6 && s.r == 3) return "missing sector " + At(6, 3);
    }
    return "ok";
  };
  const RunResult result = List(disk.Build());
  EXPECT_EQ(result.out,
            "disk 0: offset 0, name \"GAME\", media 0x00 2D, size 344340, tracks 79, marked\n" +
                BlockLines(stop));
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
  // A chain longer than a listing holds is cut, and says so; what all its
  // sectors share is said once, what each repeats after it.
  std::string chain;
  std::string repeats;
  for (int k = 0; k < 1030; ++k) {
    d88test::Sector s;
    s.c = 3;
    s.h = 1;
    s.r = static_cast<std::uint8_t>(k % 200);
    disk.tracks[7].push_back(s);
    if (k >= 1024) continue;
    const std::string r = std::to_string(k % 200);
    chain += " " + r;
    if (k >= 200) {
      repeats += "    R " + r + ": the same ID twice: C 3 H 1 R " + r + " N 1 (the first is read)\n";
    }
  }
  disk.tracks[9] = {};
  disk.trackEntryOverrides[9] = 0x10000;      // beyond the disk
  disk.trackEntryOverrides[13] = 0x80000000;  // negative: before the file
  disk.tracks[11] = {};                       // at the disk's very end
  const RunResult result = List(disk.Build(), true);
  EXPECT_EQ(result.out,
            "disk 0: offset 0, name \"T\", media 0x00 2D, size 17312, tracks 6, "
            "unmarked: track 0 is absent: its entry is 0\n"
            "  track 5 (C 2 H 1) at 688: 4 sectors, N 1: 7 5(C 9) 3(N 3) 1(H 0)\n"
            "    R 7: 16 bytes of data, not 256\n"
            "    R 5(C 9): 16 bytes of data, not 256\n"
            "    R 3(N 3): 16 bytes of data, not 1024\n"
            "    R 1(H 0): 16 bytes of data, not 256\n"
            "  track 6 (C 3 H 0) at 816: 1 sector, N 1: 3\n"
            "    R 3: 0 bytes of data, not 256\n"
            "  track 7 (C 3 H 1) at 832: 1024+ sectors, N 1:" + chain + " ...\n"
            "    every sector: 0 bytes of data, not 256\n" + repeats +
            "  track 9 (C 4 H 1) at 65536: absent: its entry 65536 is past the disk size 17312\n"
            "  track 11 (C 5 H 1) at 17312: no sectors\n"
            "  track 13 (C 6 H 1) at -2147483648: absent: its entry -2147483648 points outside "
            "the file\n");
}

// How the read that made the image went, as each sector's record says: a
// line under the track for what every sector shares, then one for each
// sector that differs from its track or is odd.
TEST_F(D88lsTest, TrackListingSaysHowEachSectorWasRead) {
  const struct {
    std::uint8_t density, deletedMark, status;
    const char* said;
  } sectors[] = {{0, 0, 0x00, nullptr},
                 {0, 0, 0x10, "deleted data"},
                 {0, 0, 0xA0, "ID CRC error"},
                 {0, 0, 0xB0, "data CRC error"},
                 {0, 0, 0xE0, "no address mark"},
                 {0, 0, 0xF0, "no data mark"},
                 {0, 0, 0x31, "status 0x31"},
                 {0, 0x10, 0x00, "deleted data"},
                 {0, 0x10, 0x10, "deleted data"},
                 {0, 0x02, 0x00, "deleted mark 0x02"},
                 {0x40, 0, 0x00, "single density"},
                 {0x01, 0, 0xB0, "density 0x01, data CRC error"}};
  Disk disk = d88test::MakeStandardDisk("S");
  disk.tracks.erase(disk.tracks.find(4), disk.tracks.end());
  std::string expected;
  for (std::size_t k = 0; k < std::size(sectors); ++k) {
    d88test::Sector& s = disk.tracks[0][k];
    s.density = sectors[k].density;
    s.deletedMark = sectors[k].deletedMark;
    s.status = sectors[k].status;
    if (sectors[k].said != nullptr) {
      expected += "    R " + std::to_string(k + 1) + ": " + sectors[k].said + "\n";
    }
  }
  // The same ID again, and data shorter than N says.
  disk.tracks[0][13].r = 5;
  disk.tracks[0][14].data.resize(100);
  expected += "    R 5: the same ID twice: C 0 H 0 R 5 N 1 (the first is read)\n"
              "    R 15: 100 bytes of data, not 256\n";
  // A single-density track, one of whose sectors was read badly; a count
  // that disagrees between records; a count written byte-swapped, on the
  // last track, where nothing follows its records.
  for (d88test::Sector& s : disk.tracks[1]) s.density = 0x40;
  disk.tracks[1][4].status = 0xB0;
  for (d88test::Sector& s : disk.tracks[2]) s.deletedMark = 0x10;
  disk.tracks[2][3].sectorsInTrack = 15;
  for (d88test::Sector& s : disk.tracks[3]) s.sectorsInTrack = 0x1000;
  const std::string out = List(disk.Build(), true).out;
  const std::string ids = "16 sectors, N 1: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n";
  EXPECT_EQ(out.substr(out.find("  track 0 ")),
            "  track 0 (C 0 H 0) at 688: 16 sectors, N 1: 1 2 3 4 5 6 7 8 9 10 11 12 13 5 15 16\n" +
                expected + "  track 1 (C 0 H 1) at 4884: " + ids +
                "    every sector: single density\n"
                "    R 5: data CRC error\n"
                "  track 2 (C 1 H 0) at 9236: " + ids +
                "    every sector: deleted data\n"
                "    sector counts differ between records: 16 and 15\n"
                "  track 3 (C 1 H 1) at 13588: " + ids +
                "    sector count 4096 looks byte-swapped: 16\n");

  // A count is byte-swapped only where it is larger than the records there
  // are, and its other byte is no more than them; each here on a disk's
  // last track, where nothing follows.
  const struct {
    std::size_t records;
    std::int32_t count;
    const char* said;
  } counts[] = {{1, 0x0100, "    sector count 256 looks byte-swapped: 1\n"},
                {256, 0x0100, ""},
                {16, 0x1100, ""}};
  for (const auto& count : counts) {
    Disk last;
    for (std::size_t k = 0; k < count.records; ++k) {
      d88test::Sector s;
      s.r = static_cast<std::uint8_t>(k);
      s.sectorsInTrack = count.count;
      s.data.assign(256, 0);
      last.tracks[0].push_back(s);
    }
    const std::string listed = List(last.Build(), true).out;
    EXPECT_EQ(listed.substr(listed.find('\n', listed.find("  track 0 ")) + 1), count.said)
        << count.count;
  }
}

// Blocks read from sectors the image marks are cut, but say so: d88ls in
// the block's line, d88cut in a line on standard error, with its files and
// its standard output as for a clean image.
TEST_F(D88lsTest, BlocksFromMarkedSectorsSaySo) {
  Disk disk = Game();
  struct Mark {
    std::int32_t track, r;
    std::uint8_t deletedMark, status;
    const char* words;
  };
  const Mark marks[] = {{75, 5, 0, 0xB0, "data CRC error"},
               {4, 2, 0x10, 0, "deleted data"},
               {76, 2, 0, 0xA0, "ID CRC error"},
               {76, 7, 0, 0x10, "deleted data"}};
  for (const auto& mark : marks) {
    d88test::Sector* sector = d88test::FindSector(&disk, mark.track, mark.r);
    sector->deletedMark = mark.deletedMark;
    sector->status = mark.status;
  }
  // What d88ls says in each block's line, and d88cut on standard error.
  std::string errors;
  const auto state = [&marks, &errors](const d88test::ExpectedBlock& b) -> std::string {
    std::vector<const Mark*> in;
    for (const d88test::BlockSector& s : d88test::SectorsOf(b)) {
      for (const auto& mark : marks) {
        if (mark.track == s.track && mark.r == s.r) in.push_back(&mark);
      }
    }
    if (in.empty()) return "ok";
    const auto& first = *in[0];
    const std::string more = std::to_string(in.size() - 1);
    errors += "d88cut: " + std::string(b.name) + ": sector C " + std::to_string(first.track >> 1) +
              " H " + std::to_string(first.track & 1) + " R " + std::to_string(first.r) +
              " on track " + std::to_string(first.track) + " is marked \"" + first.words +
              "\" in the image" + (in.size() > 1 ? ", and " + more + " more of its sectors are marked" : "") +
              "; its bytes may not be the disk's\n";
    if (in.size() == 1) {
      return "cut, but " + (first.track == b.track ? "R " + std::to_string(first.r) : At(first.track, first.r)) +
             " is marked \"" + first.words + "\": its bytes may not be the disk's";
    }
    std::string said = "cut, but " + std::to_string(in.size()) +
                       " of its sectors are marked: its bytes may not be the disk's";
    for (const auto* mark : in) said += "\n    " + At(mark->track, mark->r) + ": " + mark->words;
    return said;
  };
  const std::string lines = List(disk.Build()).out;
  EXPECT_EQ(lines.substr(lines.find("  block")), BlockLines(state));

  const RunResult cut = d88test::RunTool(D88CUT_PATH, {"d88cut", dir_ / "image.d88"},
                                         work_.path());
  EXPECT_EQ(cut.status, 0);
  EXPECT_EQ(cut.out, d88test::AllBlocksOutput());
  EXPECT_EQ(cut.err, errors);
  for (const d88test::ExpectedBlock& b : d88test::kExpectedBlocks) {
    EXPECT_EQ(d88test::ReadFile(work_ / b.name), d88test::ExpectedBytes(b));
  }
}

// The disk line says when the disk is write-protected; the image's last
// line, what lies after its last disk.
TEST_F(D88lsTest, WriteProtectionAndBytesAfterTheLastDisk) {
  Disk disk;  // with no name
  disk.writeProtect = 0x10;
  const Bytes protectedDisk = disk.Build();
  const std::string line =
      "disk 0: offset 0, name \"\", media 0x00 2D, write-protected, size 688, tracks 0, "
      "unmarked: track 0 is absent: its entry is 0\n";
  const struct {
    Bytes after;
    std::string said;
  } images[] = {{{}, ""},
                {{0x00}, "1 byte after the last disk\n"},
                {Bytes(512, 0x1A), "512 bytes of 0x1A padding after the last disk\n"},
                {{0x1A}, "1 byte of 0x1A padding after the last disk\n"},
                {{0x1A, 0x1A, 0x00}, "3 bytes after the last disk\n"}};
  for (const auto& image : images) {
    EXPECT_EQ(List(d88test::Concat({protectedDisk, image.after})).out, line + image.said);
  }
}

TEST_F(D88lsTest, NameBytesOutsidePrintableAsciiAreEscaped) {
  Disk disk = d88test::MakeStandardDisk(std::string("\x83\x66 \"x\\\x01", 7));
  Disk full = d88test::MakeStandardDisk(std::string(16, '\x01'));  // every byte of the field
  const RunResult result = List(d88test::Concat({disk.Build(), full.Build()}));
  // 0x66 is 'f'; the quote and the backslash are escaped too.
  EXPECT_EQ(result.out.substr(0, 51), "disk 0: offset 0, name \"\\x83f \\x22x\\x5C\\x01\", media");
  std::string sixteen;
  for (int k = 0; k < 16; ++k) sixteen += "\\x01";
  EXPECT_NE(result.out.find("name \"" + sixteen + "\", media"), std::string::npos);

  // Decoded where the listing reaches its reader as UTF-8: what no reader
  // can show (DEL, the C1 controls) stays escaped; a character may end the
  // field; some decode to two bytes of UTF-8. JSON has its own escapes.
  const struct {
    std::string name;
    const char* listed;
    const char* json;
  } names[] = {{"A\x7F", "A\\x7F", "A\x7F"},
               {"A\x80", "A\\x80", "A\xEF\xBF\xBD"},
               {"ABCDEFGHIJKLMN\x83\x66", "ABCDEFGHIJKLMN\xE3\x83\x87", "ABCDEFGHIJKLMN\xE3\x83\x87"},
               {"\x83\x9F\x84\x40", "\xCE\x91\xD0\x90", "\xCE\x91\xD0\x90"},  // Greek, Cyrillic
               {"\x81\x40", "\xE3\x80\x80", "\xE3\x80\x80"},  // the ideographic space
               {"\xF0\x40", "\\xF0@", "\xEF\xBF\xBD@"},      // for private use
               {"\x81\x20", "\\x81 ", "\xEF\xBF\xBD "}};     // a lead byte, no character
  for (const auto& name : names) {
    Disk named;
    named.name = name.name;
    const std::string path = dir_.Write("named.d88", named.Build());
    // (On Windows the ANSI code page is the pipe's; one that is not UTF-8
    // keeps them all escaped.)
    const std::string out =
        d88test::RunTool(D88LS_PATH, {"d88ls", path}, dir_.path(), {"LC_ALL=C.UTF-8"}).out;
    if (d88test::PipesCarryUtf8()) {
      EXPECT_EQ(out.substr(0, out.find(", media")),
                "disk 0: offset 0, name \"" + std::string(name.listed) + "\"");
    }
    const nlohmann::json listing = nlohmann::json::parse(Run({"d88ls", "--json", path}).out);
    EXPECT_EQ(listing["images"][0]["disks"][0]["name"], name.json);
  }
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
    EXPECT_EQ(result.out.substr(0, 43), "Usage: ./d88ls [-t] [-l] [--json] image...\n");
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
                              "Usage: ./d88ls [-t] [-l] [--json] image...\n");
    EXPECT_EQ(result.out, "");
  }
  // A second disk cut short says so, as the first does.
  const Bytes two = d88test::Concat({Disk{}.Build(), Game().Build()});
  const std::string second = Run({"d88ls", dir_.Write("two.d88", Bytes(two.begin(), two.end() - 1))}).out;
  EXPECT_NE(second.find("disk 1: offset 688, name \"GAME\", media 0x00 2D, size 348848 runs past the "
                        "end of the file (349535 bytes)"),
            std::string::npos)
      << second;
  // Two images: each under its name, a blank line between.
  const std::string other = dir_.Write("other.d88", Disk{}.Build());
  EXPECT_EQ(Run({"d88ls", "other.d88", "other.d88"}).out,
            "other.d88: d88\n" + Run({"d88ls", other}).out + "\nother.d88: d88\n" + Run({"d88ls", other}).out);
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
            "good.d88: d88\n"
            "disk 0: offset 0, name \"GAME\", media 0x00 2D, size 348848, tracks 80, marked\n" +
                kAllBlocksOk +
                "\ncut.d88: d88\n"
                "disk 0: offset 0, name \"GAME\", media 0x00 2D, size 348848 runs past the end of "
                "the file (348847 bytes), tracks 80, marked\n" +
                kAllBlocksOk +
                "\ntext.txt: d88\n"
                "disk 0: offset 0, name \"xxxxxxxxxxxxxxxx\", media 0x78, write-protected, size 2021161080 runs "
                "past the end of the file (700 bytes), tracks 164, unmarked: no sector C 0 H 0 R "
                "16 N 1 on track 0\n"
                "text.txt does not look like a D88 image\n"
                "\nback.d88: d88\n"
                "disk 0: offset 0, name \"A\", media 0x00 2D, size 688, tracks 0, unmarked: "
                "track 0 is absent: its entry is 0\n"
                "disk 1: offset 688, name \"B\", media 0x00 2D, size -688 is negative: the next "
                "disk starts before this one, tracks 0, unmarked: track 0 is absent: its entry is "
                "0\n"
                "disks 2 to 63: disks 0 to 1 again, in turn, because their size fields add up "
                "to 0\n");
}

// One JSON document for the whole call, read back with a parser: every
// image given, in order, opened or not.
TEST_F(D88lsTest, JsonListsEveryImageAsOneDocument) {
  Disk game = d88test::MarkedDisk("GAME OF SIXTEEN!");  // the whole name field
  game.writeProtect = 0x10;
  d88test::FindSector(&game, 75, 5)->status = 0xB0;
  d88test::FindSector(&game, 4, 3)->r = 99;  // a sector the first block misses
  dir_.Write("game.d88", d88test::Concat({game.Build(), Bytes(3, 0x1A)}));
  Disk small;
  // Shift_JIS, no UTF-8, with what JSON escapes, and a byte that decodes
  // to nothing.
  small.name = "S\x83\x66\"\\\x01\x80";
  d88test::Sector sector;
  sector.density = 0x40;
  sector.status = 0xF0;
  sector.data.assign(256, 0);
  small.tracks[0] = {sector};
  // A deleted sector, and a track longer than a listing holds.
  sector.deletedMark = 0x10;
  small.tracks[1] = {sector};
  small.tracks[2].assign(1030, d88test::Sector{});
  dir_.Write("small.d88", d88test::Concat({small.Build(), {0x1A, 0x00}}));
  dir_.Write("text.txt", Bytes(700, 'x'));
  std::filesystem::create_directory(dir_ / "folder");
  const RunResult result = Run(
      {"d88ls", "--json", "-t", "game.d88", "missing.d88", "folder", "small.d88", "text.txt"});
  EXPECT_EQ(result.status, 1);
  const nlohmann::json listing = nlohmann::json::parse(result.out);  // throws if it is no JSON
  EXPECT_EQ(result.out.substr(result.out.size() - 2), "}\n");       // and it ends there
  EXPECT_EQ(listing["version"], 1);
  const nlohmann::json& images = listing["images"];
  ASSERT_EQ(images.size(), 5u);

  const nlohmann::json& disk = images[0]["disks"][0];
  EXPECT_EQ(images[0]["path"], "game.d88");
  EXPECT_EQ(images[0]["file_size"], 348848 + 3);
  EXPECT_EQ(images[0]["trailing_bytes"], 3);
  EXPECT_EQ(images[0]["trailing_padding"], true);
  EXPECT_EQ(disk["name"], "GAME OF SIXTEEN!");
  EXPECT_EQ(disk["name_bytes"], "47414d45204f46205349585445454e21");
  EXPECT_EQ(disk["media"], "2D");
  EXPECT_EQ(disk["write_protected"], true);
  EXPECT_EQ(disk["size_problem"], nullptr);
  EXPECT_EQ(disk["track_count"], 80);
  EXPECT_EQ(disk["marker"]["state"], "marked");
  ASSERT_EQ(disk["blocks"].size(), d88test::kBlockCount);
  const std::string marked = d88test::BlockReading(75, 5).name;
  const std::string missing = d88test::BlockReading(4, 3).name;
  std::size_t markedIndex = 0;
  std::size_t missingIndex = 0;
  for (std::size_t k = 0; k < d88test::kBlockCount; ++k) {
    const d88test::ExpectedBlock& expected = d88test::kExpectedBlocks[k];
    const nlohmann::json& block = disk["blocks"][k];
    EXPECT_EQ(block["name"], expected.name);
    EXPECT_EQ(block["track"], expected.track);
    EXPECT_EQ(block["r"], expected.r);
    EXPECT_EQ(block["bytes"], expected.size);
    const char* state = expected.name == marked ? "marked sectors" : expected.name == missing ? "missing" : "ok";
    EXPECT_EQ(block["state"], state) << expected.name;
    EXPECT_EQ(block.contains("marked_count"), expected.name == marked) << expected.name;
    if (expected.name == marked) markedIndex = k;
    if (expected.name == missing) missingIndex = k;
  }
  EXPECT_EQ(disk["blocks"][missingIndex]["missing"],
            nlohmann::json::parse(R"({"track": 4, "c": 2, "h": 0, "r": 3, "reason":
              "missing sector track 4 (C 2 H 0) R 3"})"));
  EXPECT_EQ(disk["blocks"][markedIndex]["marked_sectors"],
            nlohmann::json::parse(R"([{"track": 75, "c": 37, "h": 1, "r": 5, "status":
              "data CRC error", "status_byte": 176, "deleted": false}])"));
  EXPECT_EQ(disk["tracks"].size(), 80u);
  EXPECT_EQ(disk["tracks"][75]["sectors"][4]["status"], "data CRC error");
  EXPECT_EQ(disk["tracks"][75]["listing_cut"], false);
  EXPECT_EQ(images[0]["looks_like_d88"], true);

  EXPECT_EQ(images[1]["path"], "missing.d88");
  EXPECT_EQ(images[1]["error"], "No such file or directory");
  EXPECT_EQ(images[2]["error"], "not a regular file (a folder)");

  const nlohmann::json& odd = images[3]["disks"][0];
  EXPECT_EQ(odd["name_bytes"], "538366225c0180");
  EXPECT_EQ(odd["name"], "S\xE3\x83\x87\"\\\x01\xEF\xBF\xBD");  // Sデ"\, U+0001, U+FFFD
  EXPECT_EQ(odd["marker"]["reason"], "no sector C 0 H 0 R 16 N 1 on track 0");
  EXPECT_FALSE(odd.contains("blocks"));
  EXPECT_EQ(odd["write_protected"], false);
  EXPECT_EQ(odd["track_count"], 3);
  EXPECT_EQ(odd["tracks"][0]["sectors"],
            nlohmann::json::parse(R"([{"c": 0, "h": 0, "r": 1, "n": 1, "count": 1, "density":
              "single", "deleted": false, "status": "no data mark", "status_byte": 240,
              "data_size": 256, "read": null}])"));
  EXPECT_EQ(odd["tracks"][1]["sectors"][0]["deleted"], true);
  EXPECT_EQ(odd["tracks"][2]["listing_cut"], true);
  EXPECT_EQ(images[3]["trailing_padding"], false);
  EXPECT_EQ(images[4]["looks_like_d88"], false);
}

}  // namespace
