// The files on a disk, through the built tools: d88ls -l lists each file
// system's files as the image builder formatted them, d88get takes them out
// byte for byte (FAT12's as mtools reads them too), and a hostile disk
// cannot make it write anything outside the current folder.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "image_builder/file_system_builder.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::FileSystem;
using d88test::RunResult;
using d88test::TestFile;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t k = 0; k < size; ++k) bytes[k] = static_cast<std::uint8_t>(seed + k * 7 + k / 251);
  return bytes;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char two[3];
  for (const unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  return hex;
}

class FileSystemTest : public ::testing::Test {
 protected:
  std::string Image(const d88test::Disk& disk) { return images_.Write("disk.d88", disk.Build()); }
  RunResult Get(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"d88get"};
    all.insert(all.end(), args.begin(), args.end());
    return d88test::RunTool(D88GET_PATH, all, work_.path());
  }
  nlohmann::json Listed(const std::string& image) {
    const RunResult result = d88test::RunTool(D88LS_PATH, {"d88ls", "--json", "-l", image}, work_.path());
    return nlohmann::json::parse(result.out)["images"][0]["disks"][0]["filesystem"];
  }
  d88test::TempDir images_;
  d88test::TempDir work_;
};

// What a file system keeps of a file's length: all of it, or the whole
// sectors (records) its allocation uses, filled out with what the disk was
// formatted with.
struct Kept {
  FileSystem system;
  bool extensions;  // names keep an extension apart
  std::size_t unit; // 1 for an exact length
  std::uint8_t fill;
  const char* type;        // of a file of the builder's usual type byte
  const char* attributes;  // its attributes, as JSON
};

TEST_F(FileSystemTest, EveryFileSystemListsAndGivesItsFiles) {
  const Kept systems[] = {
      {FileSystem::kN88Basic, true, 256, 0xFF, "ascii", "[]"},
      {FileSystem::kFBasic, false, 256, 0xFF, "basic", "[]"},
      {FileSystem::kHuBasic, true, 1, 0, "machine code", "[]"},
      {FileSystem::kMzBasic, true, 1, 0, "machine code", "[]"},
      {FileSystem::kFat12, true, 1, 0, "file", R"(["archive"])"},
      {FileSystem::kHuman68k, true, 1, 0, "file", R"(["archive"])"},
      {FileSystem::kCpm, true, 128, 0xE5, "file", "[]"}};
  // A disk of no file system has none.
  EXPECT_EQ(Listed(Image(d88test::MarkedDisk(""))), nullptr);
  for (const Kept& kept : systems) {
    const std::string system = d88test::FileSystemName(kept.system);
    SCOPED_TRACE(system);
    const bool folders = kept.system == FileSystem::kFat12 || kept.system == FileSystem::kHuman68k;
    const auto name = [&kept](const std::string& base, const std::string& extension) {
      return kept.extensions ? base + "." + extension : base;
    };
    // A small file; one of several clusters, laid out of their order; one
    // deleted; a name of Shift_JIS katakana (not in CP/M, whose names
    // keep attributes in their top bits); a file in a folder.
    const bool kana = kept.system != FileSystem::kCpm;
    std::vector<TestFile> files = {{name("FIRST", "TXT"), Pattern(100, 1)},
                                   {name("MULTI", "DAT"), Pattern(9000, 2)},
                                   {name("GONE", "TXT"), Pattern(300, 3), 0, true},
                                   {name(kana ? "\xB1\xB2X" : "PLAIN", "TXT"), Pattern(700, 4)}};
    if (folders) files.push_back({"SYS/CONFIG.SYS", Pattern(1500, 5)});
    if (kept.system == FileSystem::kHuman68k) files.push_back({"EIGHTEENCHARACTER.X", Pattern(10, 6)});
    const std::string image = Image(d88test::Format(kept.system, files).disk);

    const nlohmann::json listing = Listed(image);
    ASSERT_TRUE(listing.is_object()) << listing;
    EXPECT_EQ(listing["type"], system);
    EXPECT_EQ(listing["problems"].size(), 0u) << listing["problems"];
    EXPECT_EQ(listing["files"][0]["type"], kept.type);
    EXPECT_EQ(listing["files"][0]["attributes"], nlohmann::json::parse(kept.attributes));
    std::vector<std::string> expectedNames;
    for (const TestFile& file : files) {
      if (file.deleted) continue;
      if (file.name.find('/') != std::string::npos) expectedNames.push_back("SYS");
      expectedNames.push_back(file.name);
    }
    std::vector<std::string> listedNames;
    for (const nlohmann::json& file : listing["files"]) listedNames.push_back(file["name_bytes"]);
    std::vector<std::string> expectedHex;
    for (const std::string& n : expectedNames) expectedHex.push_back(Hex(n));
    std::sort(expectedHex.begin(), expectedHex.end());
    std::sort(listedNames.begin(), listedNames.end());
    EXPECT_EQ(listedNames, expectedHex);

    // Each file out, byte for byte, as its file system keeps it.
    const RunResult got = Get({image});
    EXPECT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(got.err, "");
    for (const TestFile& file : files) {
      if (file.deleted) continue;
      Bytes expected = file.data;
      expected.resize((expected.size() + kept.unit - 1) / kept.unit * kept.unit, kept.fill);
      const std::string written = kana && file.name == name("\xB1\xB2X", "TXT")
                                      ? name("\xEF\xBD\xB1\xEF\xBD\xB2X", "TXT")  // ｱｲX
                                      : file.name;
      EXPECT_EQ(d88test::ReadFile(work_ / written), expected) << written;
      for (const nlohmann::json& listed : listing["files"]) {
        if (listed["name_bytes"] == Hex(file.name)) {
          EXPECT_EQ(listed["size"], expected.size());
        }
      }
    }
    std::filesystem::remove_all(work_.path());
    std::filesystem::create_directory(work_.path());
  }
}

// FAT12 read by a second reader: mtools, from the raw image d88conv writes.
TEST_F(FileSystemTest, Fat12IsReadAsMtoolsReadsIt) {
  const std::string mcopy = d88test::HostProgram("mcopy");
  if (mcopy.empty()) GTEST_SKIP() << "mtools is not installed here";
  const std::vector<TestFile> files = {{"A.TXT", Pattern(5000, 7)},
                                       {"SYS/CONFIG.SYS", Pattern(1500, 8)},
                                       {"SYS/DEEP.BIN", Pattern(3000, 9)}};
  const std::string image = Image(d88test::Format(FileSystem::kFat12, files).disk);
  ASSERT_EQ(Get({image}).status, 0);
  ASSERT_EQ(d88test::RunTool(D88CONV_PATH, {"d88conv", image, images_ / "raw.hdm"}, "/").status, 0);
  d88test::TempDir second;
  const RunResult copied = d88test::Run(mcopy, {"mcopy", "-s", "-n", "-i", images_ / "raw.hdm", "::A.TXT", "::SYS", "."},
                                        second.path(), {"MTOOLS_SKIP_CHECK=1", "LC_ALL=C"});
  ASSERT_EQ(copied.status, 0) << copied.err;
  for (const char* path : {"A.TXT", "SYS/CONFIG.SYS", "SYS/DEEP.BIN"}) {
    EXPECT_EQ(d88test::ReadFile(work_ / path), d88test::ReadFile(second / path)) << path;
  }
}

// A disk made to do harm: chains that loop or run off the disk, a size no
// disk holds, a link in the way of a folder; names that climb out of the
// folder, are device names or hold what no name may. Every file that can
// be read is written, inside the current folder; nothing else is.
TEST_F(FileSystemTest, HostileDisksWriteNothingOutsideTheFolder) {
  std::vector<TestFile> files = {{"LOOP.BIN", Pattern(3000, 1)}, {"PAST.BIN", Pattern(2000, 2)},
                                 {"HUGE.BIN", Pattern(100, 3)},  {"SYS/INSIDE.TXT", Pattern(10, 7)},
                                 {"OK.TXT", Pattern(10, 8)}};
  d88test::FormattedDisk formatted = d88test::Format(FileSystem::kFat12, files);
  // The FAT's cluster entries: LOOP's second names its first, PAST's
  // first a cluster past the disk; HUGE claims 4 GiB, listed as the most
  // a size can say.
  Bytes fat;
  for (std::int32_t r = 2; r <= 3; ++r) {
    const Bytes& part = d88test::FindSector(&formatted.disk, 0, r)->data;
    fat.insert(fat.end(), part.begin(), part.end());
  }
  const auto set = [&fat](std::int32_t cluster, std::int32_t value) {
    const std::size_t at = static_cast<std::size_t>(cluster + cluster / 2);
    if (cluster % 2 == 0) {
      fat[at] = static_cast<std::uint8_t>(value);
      fat[at + 1] = static_cast<std::uint8_t>((fat[at + 1] & 0xF0) | (value >> 8));
    } else {
      fat[at] = static_cast<std::uint8_t>((fat[at] & 0x0F) | ((value & 0x0F) << 4));
      fat[at + 1] = static_cast<std::uint8_t>(value >> 4);
    }
  };
  set(formatted.starts[0] - 1, formatted.starts[0]);
  set(formatted.starts[1], 0xFF0);
  for (std::int32_t r = 2; r <= 3; ++r) {
    Bytes& part = d88test::FindSector(&formatted.disk, 0, r)->data;
    std::copy(fat.begin() + (r - 2) * 1024, fat.begin() + (r - 1) * 1024, part.begin());
  }
  Bytes& root = d88test::FindSector(&formatted.disk, 0, 6)->data;
  for (std::size_t e = 0; e < 1024; e += 32) {
    if (std::equal(root.begin() + static_cast<std::ptrdiff_t>(e),
                   root.begin() + static_cast<std::ptrdiff_t>(e) + 4, "HUGE")) {
      const std::uint8_t huge[4] = {0xFF, 0xFF, 0xFF, 0xFF};
      std::copy(huge, huge + 4, root.begin() + static_cast<std::ptrdiff_t>(e) + 0x1C);
    }
  }
  // And SYS holds a folder that is SYS again.
  for (std::size_t e = 0; e < 1024; e += 32) {
    if (!std::equal(root.begin() + static_cast<std::ptrdiff_t>(e),
                    root.begin() + static_cast<std::ptrdiff_t>(e) + 4, "SYS ")) {
      continue;
    }
    const std::int32_t cluster = root[e + 0x1A] | root[e + 0x1B] << 8;
    const std::int32_t sector = 11 + cluster - 2;
    Bytes& folder = d88test::FindSector(&formatted.disk, sector / 8, sector % 8 + 1)->data;
    std::copy(root.begin() + static_cast<std::ptrdiff_t>(e),
              root.begin() + static_cast<std::ptrdiff_t>(e) + 32, folder.begin() + 96);
    std::copy_n("AGAIN   ", 8, folder.begin() + 96);
  }
  const std::string image = Image(formatted.disk);
  const nlohmann::json listing = Listed(image);
  std::vector<std::string> kinds;
  for (const nlohmann::json& problem : listing["problems"]) kinds.push_back(problem["kind"]);
  EXPECT_EQ(kinds, (std::vector<std::string>{"chain_loops", "chain_past_end", "size_beyond_chain",
                                             "folder_loops"}));
  EXPECT_EQ(listing["files"][2]["size"], 2147483647);
  // A link where the disk's folder goes, to a folder outside.
  d88test::TempDir outside;
  std::error_code error;
  std::filesystem::create_directory_symlink(outside.path(), work_ / "SYS", error);
  const bool linked = !error;
  RunResult got = Get({image});
  EXPECT_EQ(got.status, 1);
  EXPECT_EQ(d88test::FilesIn(work_.path()), (std::vector<std::string>{"OK.TXT", "SYS"}));
  EXPECT_EQ(d88test::ReadFile(work_ / "OK.TXT"), Pattern(10, 8));
  EXPECT_TRUE(d88test::FilesIn(outside.path()).empty());
  if (linked) {
    EXPECT_NE(got.err.find("d88get: cannot make the folder SYS: "), std::string::npos) << got.err;
  } else {
    // (The folder that holds itself is made, and left empty.)
    EXPECT_EQ(d88test::FilesIn(work_ / "SYS"), (std::vector<std::string>{"AGAIN", "INSIDE.TXT"}));
  }
  std::filesystem::remove_all(work_.path());
  std::filesystem::create_directory(work_.path());

  // Names as the disk holds them, 13 bytes and 3 of an extension each.
  const struct {
    const char* name;
    const char* extension;
    const char* written;
  } names[] = {{"..", "", "__"},
               {"../../ETC", "", ".._.._ETC"},
               {"/ETC/PASSWD", "", "_ETC_PASSWD"},
               {"CON", "TXT", "_CON.TXT"},
               {"nul", "", "_nul"},
               {"A\x01:\\*", "TXT", "A____.TXT"},
               {"TRAIL. ", "", "TRAIL_"},
               {"A\x80", "", "A_"}};
  std::vector<TestFile> hostile;
  for (std::size_t k = 0; k < std::size(names); ++k) hostile.push_back({"F" + std::to_string(k), Pattern(10, static_cast<std::uint8_t>(k))});
  d88test::Disk disk = d88test::Format(FileSystem::kHuBasic, hostile).disk;
  Bytes& directory = d88test::FindSector(&disk, 1, 1)->data;
  std::vector<std::string> expected;
  for (std::size_t k = 0; k < std::size(names); ++k) {
    std::uint8_t* entry = directory.data() + 32 * k;
    std::fill(entry + 1, entry + 17, ' ');
    std::copy(names[k].name, names[k].name + std::strlen(names[k].name), entry + 1);
    std::copy(names[k].extension, names[k].extension + std::strlen(names[k].extension), entry + 14);
    expected.push_back(names[k].written);
  }
  got = Get({Image(disk)});
  EXPECT_EQ(got.status, 0) << got.err;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(d88test::FilesIn(work_.path()), expected);
  EXPECT_EQ(d88test::FilesIn(images_.path()), std::vector<std::string>{"disk.d88"});
  if (!linked) GTEST_SKIP() << "no symbolic link could be made here: " << error.message();
}

// The BASICs' byte FATs spoiled as the FAT12 one is above: a chain that
// comes back, one that names a cluster past the disk, one that ends on a
// free cluster, and a file whose sector is gone. d88get writes the file it
// can read and says which it cannot.
TEST_F(FileSystemTest, SpoiledByteFatChainsAreSaid) {
  const struct {
    FileSystem system;
    std::uint8_t past;  // a cluster past the disk's, below the last-cluster marks
    std::uint8_t free;
    std::int32_t clusterBytes;
  } systems[] = {{FileSystem::kN88Basic, 0xBF, 0xFF, 2048}, {FileSystem::kFBasic, 0xBF, 0xFF, 2048},
                 {FileSystem::kHuBasic, 0x7F, 0x00, 4096},  {FileSystem::kMzBasic, 0x7F, 0x00, 4096}};
  for (const auto& spoiled : systems) {
    SCOPED_TRACE(d88test::FileSystemName(spoiled.system));
    const bool extensions = spoiled.system != FileSystem::kFBasic;
    const auto name = [extensions](const std::string& base) { return extensions ? base + ".BIN" : base; };
    const std::vector<TestFile> files = {{name("LOOP"), Pattern(2 * spoiled.clusterBytes, 1)},
                                         {name("PAST"), Pattern(10, 2)},
                                         {name("EARLY"), Pattern(10, 3)},
                                         {name("GONE"), Pattern(10, 4)},
                                         {name("OK"), Pattern(10, 5)}};
    d88test::FormattedDisk formatted = d88test::Format(spoiled.system, files);
    const d88test::FatPlace place = d88test::FatOf(spoiled.system);
    const bool inverted = spoiled.system == FileSystem::kMzBasic;
    // Every copy of the FAT the disk keeps (N88-BASIC's three).
    for (std::int32_t r = place.r; r < place.r + 3; ++r) {
      d88test::Sector* sector = d88test::FindSector(&formatted.disk, place.track, r);
      if (sector == nullptr || (r > place.r && spoiled.system != FileSystem::kN88Basic)) break;
      const auto put = [&](std::int32_t cluster, std::uint8_t value) {
        sector->data[static_cast<std::size_t>(place.offset + cluster)] =
            static_cast<std::uint8_t>(inverted ? ~value : value);
      };
      put(formatted.starts[0] - 1, static_cast<std::uint8_t>(formatted.starts[0]));
      put(formatted.starts[1], spoiled.past);
      put(formatted.starts[2], spoiled.free);
    }
    // GONE's one sector: cluster k's first, as the builder lays them.
    d88test::Disk& disk = formatted.disk;
    const std::int32_t gone = formatted.starts[3];
    std::int32_t track = 0;
    std::int32_t r = 0;
    switch (spoiled.system) {
      case FileSystem::kN88Basic: track = gone / 2; r = gone % 2 * 8 + 1; break;
      case FileSystem::kFBasic: track = 4 + gone / 2; r = gone % 2 * 8 + 1; break;
      default: track = gone ^ (inverted ? 1 : 0); r = 1; break;
    }
    auto& sectors = disk.tracks[track];
    sectors.erase(std::remove_if(sectors.begin(), sectors.end(),
                                 [r](const d88test::Sector& s) { return s.r == r; }),
                  sectors.end());
    const std::string image = Image(disk);
    const nlohmann::json listing = Listed(image);
    std::vector<std::string> kinds;
    for (const nlohmann::json& problem : listing["problems"]) kinds.push_back(problem["kind"]);
    EXPECT_EQ(kinds, (std::vector<std::string>{"chain_loops", "chain_past_end", "chain_ends_early"}));
    const RunResult got = Get({image});
    EXPECT_EQ(got.status, 1);
    EXPECT_EQ(got.out, name("OK") + "\n");
    for (const char* base : {"LOOP", "PAST", "EARLY", "GONE"}) {
      EXPECT_NE(got.err.find("d88get: " + name(base) + ": its data cannot be read whole from the disk\n"),
                std::string::npos)
          << got.err;
    }
    EXPECT_EQ(d88test::FilesIn(work_.path()), std::vector<std::string>{name("OK")});
    std::filesystem::remove_all(work_.path());
    std::filesystem::create_directory(work_.path());
  }
}

// d88get's command line: what it cannot run with it says, with its usage.
TEST_F(FileSystemTest, D88getSaysWhatItsCommandLineLacks) {
  const std::string image = Image(d88test::Format(FileSystem::kHuBasic, {{"A", Pattern(10, 1)}}).disk);
  const std::string usage = "Usage: d88get [--disk N] IMAGE [NAME...]\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } runs[] = {
      {{}, 1, usage},
      {{"-x", image}, 1, "d88get: unknown option -x\n" + usage},
      {{"--disk"}, 1, "d88get: --disk needs a disk number\n" + usage},
      {{"--disk", "one", image}, 1, "d88get: --disk needs a disk number, not one\n" + usage},
      {{"--disk", "1", image}, 1, "d88get: " + image + ": it has no disk 1 (it has 1)\n"},
      {{"--", image, "-"}, 1, "d88get: -: no such file on disk 0\n"},
  };
  for (const auto& run : runs) {
    const RunResult got = Get(run.args);
    EXPECT_EQ(got.status, run.status) << run.err;
    EXPECT_EQ(got.err, run.err);
  }
  EXPECT_EQ(Get({"--help"}).out.substr(0, usage.size()), usage);
  EXPECT_EQ(Get({"--version"}).out, std::string("d88get ") + D88CUT_VERSION + "\n");
  EXPECT_TRUE(d88test::FilesIn(work_.path()).empty());
}

// Two names that become one are both kept; a name as d88ls lists it takes
// that file alone; one that is not there is said.
TEST_F(FileSystemTest, NamesTakenTwiceAndNamesAskedFor) {
  const std::vector<TestFile> files = {{"A:B", Pattern(10, 1)}, {"A*B", Pattern(10, 2)},
                                       {"\xB1X", Pattern(10, 3)}, {"OTHER", Pattern(10, 4)}};
  const std::string image = Image(d88test::Format(FileSystem::kHuBasic, files).disk);
  RunResult got = Get({image});
  EXPECT_EQ(got.status, 0) << got.err;
  EXPECT_EQ(got.out, d88test::AsPiped("A:B -> A_B\nA*B -> A_B~1\n\xEF\xBD\xB1X\nOTHER\n"));
  EXPECT_EQ(d88test::ReadFile(work_ / "A_B~1"), Pattern(10, 2));
  std::filesystem::remove_all(work_.path());
  std::filesystem::create_directory(work_.path());
  got = Get({image, "\xEF\xBD\xB1X", "MISSING"});
  EXPECT_EQ(got.status, 1);
  EXPECT_EQ(got.out, d88test::AsPiped("\xEF\xBD\xB1X\n"));
  EXPECT_EQ(got.err, "d88get: MISSING: no such file on disk 0\n");
  EXPECT_EQ(d88test::FilesIn(work_.path()), std::vector<std::string>{"\xEF\xBD\xB1X"});
  std::filesystem::remove_all(work_.path());
  std::filesystem::create_directory(work_.path());

  // Folders whose names become one, or a file's: each holds its own files,
  // under the name it was given. A file asked for twice is written once.
  const std::string folders = Image(d88test::Format(
      FileSystem::kFat12, {{"sub/A.TXT", Pattern(10, 1)}, {"SUB/A.TXT", Pattern(10, 2)},
                           {"WIN", Pattern(10, 3)}, {"WIN/X.TXT", Pattern(10, 4)}}).disk);
  got = Get({folders});
  EXPECT_EQ(got.status, 0) << got.err;
  EXPECT_EQ(d88test::ReadFile(work_ / "sub/A.TXT"), Pattern(10, 1));
  EXPECT_EQ(d88test::ReadFile(work_ / "SUB~1/A.TXT"), Pattern(10, 2));
  EXPECT_EQ(d88test::ReadFile(work_ / "WIN"), Pattern(10, 3));
  EXPECT_EQ(d88test::ReadFile(work_ / "WIN~1/X.TXT"), Pattern(10, 4));
  std::filesystem::remove_all(work_.path());
  std::filesystem::create_directory(work_.path());
  got = Get({folders, "WIN/X.TXT", "WIN", "WIN/X.TXT"});
  EXPECT_EQ(got.status, 0) << got.err;
  EXPECT_EQ(got.out, "WIN\nWIN/X.TXT -> WIN~1/X.TXT\n");
}

}  // namespace
