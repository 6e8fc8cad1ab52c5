// Runs the built d88cut on images from the builder and checks, byte for
// byte, what it prints and the files it leaves.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/output_file.h"
#include "test_config.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::CuttingLines;
using d88test::Disk;
using d88test::FilesIn;
using d88test::kOpenFailure;
using d88test::kRecognised;
using d88test::MarkedDisk;
using d88test::RunResult;
using d88test::TempDir;

const std::vector<std::string> kAllFiles = d88test::AllBlockFiles();
const std::string kAllBlocksOutput = d88test::AllBlocksOutput();

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// The tool, run in its own folder on an image kept outside it.
class ToolTest : public ::testing::Test {
 protected:
  RunResult RunOn(const Bytes& image) {
    return RunArgs({"d88cut", images_.Write("image.d88", image)});
  }
  RunResult RunArgs(const std::vector<std::string>& args) {
    return d88test::RunTool(D88CUT_PATH, args, work_.path());
  }
  Bytes Output(const std::string& name) const { return d88test::ReadFile(work_ / name); }

  // Every named block's file holds the right sectors of the standard disk.
  void ExpectBlockFiles(const std::vector<std::string>& names) const {
    for (const d88test::ExpectedBlock& b : d88test::kExpectedBlocks) {
      if (std::find(names.begin(), names.end(), b.name) == names.end()) continue;
      EXPECT_EQ(Output(b.name), d88test::ExpectedBytes(b)) << b.name;
    }
  }

  TempDir images_;
  TempDir work_;
};

TEST_F(ToolTest, WrongArgumentCountPrintsUsageNamingTheProgram) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"./some/d88cut-name"}, {"./some/d88cut-name", "a.d88", "b.d88"}}) {
    const RunResult result = RunArgs(args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Usage: ./some/d88cut-name [d88file]\n");
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(ToolTest, ImageThatCannotBeOpenedFails) {
  // NUL and CON are devices on Windows, missing files elsewhere.
  for (const std::string& path : {images_ / "missing.d88", images_.path(), std::string("NUL"),
                                  std::string("CON")}) {
    const RunResult result = RunArgs({"d88cut", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, kOpenFailure);
    EXPECT_EQ(result.err.size(), 30u);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_TRUE(FilesIn(work_.path()).empty());
}

TEST_F(ToolTest, ImageWithoutARecognisedDiskIsSilent) {
  Disk wrongMarker = d88test::MakeStandardDisk();
  d88test::SetMarker(&wrongMarker, 'B');
  Disk noIdSector = MarkedDisk();
  noIdSector.tracks[0].pop_back();  // sector 16
  Disk shortIdSector = MarkedDisk();
  d88test::FindSector(&shortIdSector, 0, 16)->data.resize(255);
  Disk idSectorOfOtherSize = MarkedDisk();
  d88test::FindSector(&idSectorOfOtherSize, 0, 16)->n = 2;

  for (const Bytes& image : {Bytes{}, Bytes(100, 0), wrongMarker.Build(), noIdSector.Build(),
                             shortIdSector.Build(), idSectorOfOtherSize.Build()}) {
    const RunResult result = RunOn(image);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
  }
  EXPECT_TRUE(FilesIn(work_.path()).empty());
}

TEST_F(ToolTest, RecognisedDiskYieldsEveryBlocksFile) {
  const RunResult result = RunOn(MarkedDisk().Build());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kAllBlocksOutput);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(FilesIn(work_.path()), kAllFiles);
  ExpectBlockFiles(kAllFiles);
}

// Any name the file system holds: on Windows this one is outside most ANSI
// code pages.
TEST_F(ToolTest, ImagePathMayHoldAnyCharacter) {
  const RunResult result = RunArgs(
      {"d88cut", images_.Write("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.d88", MarkedDisk().Build())});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kAllBlocksOutput);
  ExpectBlockFiles(kAllFiles);
}

TEST_F(ToolTest, UnreadableBlockIsSkippedAndItsOldFileKept) {
  Disk disk = MarkedDisk();
  disk.tracks.erase(75);
  const std::string lost = d88test::BlockReading(75, 1).name;
  d88test::WriteFile(work_ / lost, {'o', 'l', 'd'});
  const RunResult result = RunOn(disk.Build());
  const std::vector<std::string> cut =
      d88test::BlocksReadingOnly([](std::int32_t track, std::int32_t) { return track != 75; });
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kRecognised + CuttingLines(cut));
  EXPECT_EQ(Output(lost), (Bytes{'o', 'l', 'd'}));
  ExpectBlockFiles(cut);
}

TEST_F(ToolTest, ImageEndingInsideABlockKeepsTheBlocksBeforeAndAfter) {
  Disk disk = MarkedDisk();
  disk.tracks.erase(disk.tracks.find(77), disk.tracks.end());
  Bytes bytes = disk.Build();
  bytes.resize(bytes.size() - 9 * 272 - 100);  // inside track 76's sector 7
  const RunResult result = RunOn(bytes);
  const std::vector<std::string> cut = d88test::BlocksReadingOnly(
      [](std::int32_t track, std::int32_t r) { return track < 76 || (track == 76 && r < 7); });
  EXPECT_EQ(result.out, kRecognised + CuttingLines(cut));
  EXPECT_EQ(FilesIn(work_.path()), Sorted(cut));
}

TEST_F(ToolTest, EveryRecognisedDiskIsCutInTurn) {
  // Disk 0 is passed over; its sectors differ, so reading them by mistake
  // would show.
  Disk unmarked = d88test::MakeStandardDisk();
  for (auto& [track, sectors] : unmarked.tracks) {
    for (auto& sector : sectors) sector.data.assign(256, 0xEE);
  }
  RunResult result = RunOn(d88test::Concat({unmarked.Build(), MarkedDisk().Build()}));
  EXPECT_EQ(result.out, kAllBlocksOutput);
  ExpectBlockFiles(kAllFiles);

  // Two marked disks: the second's files replace the first's.
  Disk first = MarkedDisk();
  for (auto& [track, sectors] : first.tracks) {
    for (auto& sector : sectors) {
      if (track != d88test::kMarkerTrack || sector.r != 16) sector.data.assign(256, 0x11);
    }
  }
  result = RunOn(d88test::Concat({first.Build(), MarkedDisk().Build()}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kAllBlocksOutput + kAllBlocksOutput);
  ExpectBlockFiles(kAllFiles);
  EXPECT_EQ(FilesIn(work_.path()), kAllFiles);
}

// 64 disks sharing one long chain of records whose counts never end the
// track, with every sector the tool wants at its far end. Searching the
// track anew for each sector, with a system call per record, took minutes.
TEST_F(ToolTest, LongTrackChainsSharedByManyDisksStayFast) {
  constexpr int kJunkRecords = 100000;
  Disk first;
  first.name = "CHAIN";
  std::vector<d88test::Sector>& chain = first.tracks[0];
  auto countNeverEnding = [&chain] {
    const int position = static_cast<int>(chain.size());
    const int count = (position + 2) % 65536;
    return count == 0 ? 5 : count;  // never position + 1, never 0
  };
  for (int k = 0; k < kJunkRecords; ++k) {
    d88test::Sector junk;
    junk.c = junk.h = junk.r = junk.n = 0xEE;
    junk.sectorsInTrack = countNeverEnding();
    chain.push_back(junk);
  }
  const Disk standard = MarkedDisk();
  for (const std::int32_t t : d88test::TracksRead()) {
    for (d88test::Sector sector : standard.tracks.at(t)) {
      sector.sectorsInTrack = countNeverEnding();
      chain.push_back(sector);
    }
  }
  Bytes image = first.Build();
  for (int t = 1; t < 164; ++t) {
    std::copy_n(image.begin() + 32, 4, image.begin() + 32 + 4 * t);  // all tracks: the chain
  }
  // Disks 1 to 63 are bare headers after it whose track entries point back
  // to the chain (negative entries pass the disk-size test).
  const std::uint32_t chainStart = 688;
  for (int k = 1; k < 64; ++k) {
    Disk header;
    header.overrideDiskSize = true;
    header.diskSizeField = 688;
    const std::uint32_t start = static_cast<std::uint32_t>(image.size());
    for (int t = 0; t < 164; ++t) header.trackEntryOverrides[t] = chainStart - start;
    image = d88test::Concat({image, header.Build()});
  }

  const auto begin = std::chrono::steady_clock::now();
  const RunResult result = RunOn(image);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(result.status, 0);
  std::string expected;
  for (int k = 0; k < 64; ++k) expected += kAllBlocksOutput;
  EXPECT_EQ(result.out, expected);
  // 1.6 s native; sanitizers and emulators are given their slowdown.
  EXPECT_LT(took.count(), 10.0 * d88test::kSlowdown);
}

TEST_F(ToolTest, OutputReplacesOldFilesAndLinksWithoutWritingThrough) {
  // A file longer than any block, and a link, in the place of two of them.
  const std::string longer = d88test::kExpectedBlocks[0].name;
  const std::string link = d88test::kExpectedBlocks[1].name;
  d88test::WriteFile(work_ / longer, Bytes(40000, 0x55));
  d88test::WriteFile(images_ / "victim", {'v'});
  std::error_code error;
  std::filesystem::create_symlink(images_ / "victim", work_ / link, error);
  const bool linked = !error && std::filesystem::is_symlink(work_ / link);
  const RunResult result = RunOn(MarkedDisk().Build());
  EXPECT_EQ(result.status, 0);
  ExpectBlockFiles(kAllFiles);
  if (!linked) GTEST_SKIP() << "no symbolic link could be made here: " << error.message();
  EXPECT_EQ(d88test::ReadFile(images_ / "victim"), Bytes{'v'});
  EXPECT_FALSE(std::filesystem::is_symlink(work_ / link));
}

// A temporary name that is taken, as by an earlier process of the same
// number, is stepped around and kept; only an exclusive create notices it.
// What cannot be written or named is refused before anything is made.
TEST_F(ToolTest, TakenTemporaryNameIsSteppedAroundAndBadRequestsRefused) {
  const std::string taken = ".PROG." + std::to_string(d88test::ProcessId()) + ".0";
  d88test::WriteFile(work_ / taken, {'t', 'a', 'k', 'e', 'n'});
  const std::filesystem::path start = std::filesystem::current_path();
  std::filesystem::current_path(work_.path());
  int error = 0;
  const std::uint8_t data[] = {'n', 'e', 'w'};
  EXPECT_TRUE(platform::WriteFileReplacing("PROG", data, 3, &error)) << error;
  EXPECT_FALSE(platform::WriteFileReplacing("MUS00", data, -1, &error));
  EXPECT_EQ(error, EINVAL);
  const std::string tooLong(100000, 'N');  // longer than any system's paths
  EXPECT_FALSE(platform::WriteFileReplacing(tooLong.c_str(), data, 3, &error));
  EXPECT_EQ(error, ENAMETOOLONG);
  // A file in a folder has its temporary file beside it, in that folder.
  std::filesystem::create_directory("sub");
  EXPECT_TRUE(platform::WriteFileReplacing("sub/FILE", data, 3, &error)) << error;
  std::filesystem::current_path(start);
  EXPECT_EQ(Output("PROG"), (Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(Output(taken), (Bytes{'t', 'a', 'k', 'e', 'n'}));
  EXPECT_EQ(FilesIn(work_.path()), Sorted({taken, "PROG", "sub"}));
  EXPECT_EQ(FilesIn(work_ / "sub"), std::vector<std::string>{"FILE"});
  EXPECT_EQ(Output("sub/FILE"), (Bytes{'n', 'e', 'w'}));
}

TEST_F(ToolTest, OutputThatCannotBeWrittenIsReportedAndTheRestStillCut) {
  const std::string blocked = d88test::kExpectedBlocks[d88test::kBlockCount / 2].name;
  std::filesystem::create_directory(work_ / blocked);
  const RunResult result = RunOn(MarkedDisk().Build());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, kAllBlocksOutput);
  EXPECT_EQ(result.err, "d88cut: cannot write " + blocked + ": Is a directory\n");
  std::vector<std::string> others = d88test::BlockNames();
  others.erase(std::find(others.begin(), others.end(), blocked));
  ExpectBlockFiles(others);
  EXPECT_TRUE(std::filesystem::is_directory(work_ / blocked));
  // No temporary file is left behind.
  EXPECT_EQ(FilesIn(work_.path()), kAllFiles);
}

}  // namespace
