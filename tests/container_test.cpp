// The marked disk in every container disks are kept in, run through the
// built tools: d88cut cuts it as from a D88, d88ls names the container,
// d88conv turns it into the D88 it holds and that into a raw image, and a
// container cut short or with a field that cannot be says so.

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "image_builder/bitstream_builder.h"
#include "image_builder/container_builder.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::Container;
using d88test::ContainerInfo;
using d88test::Disk;
using d88test::RunResult;

class ContainerTest : public ::testing::Test {
 protected:
  RunResult Tool(const char* tool, const std::vector<std::string>& args) {
    return d88test::RunTool(tool, args, work_.path());
  }
  RunResult Cut(const std::string& image) { return Tool(D88CUT_PATH, {"d88cut", image}); }
  RunResult List(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"d88ls"};
    all.insert(all.end(), args.begin(), args.end());
    return Tool(D88LS_PATH, all);
  }
  RunResult Convert(const std::string& from, const std::string& to) {
    return Tool(D88CONV_PATH, {"d88conv", from, to});
  }
  d88test::TempDir images_;
  d88test::TempDir work_;
};

// The sector facts a container keeps, each on a sector of its own: a data
// CRC error inside a block (which d88cut warns of), the others on track 1,
// which no block reads. A raw image keeps none of them.
Disk DiskWithFacts(const ContainerInfo& info) {
  Disk disk = d88test::MarkedDisk("");
  if (info.keeps.dataCrcErrors) d88test::FindSector(&disk, 75, 5)->status = 0xB0;
  if (info.keeps.idCrcErrors) d88test::FindSector(&disk, 1, 3)->status = 0xA0;
  if (info.keeps.deleted) {
    d88test::Sector* deleted = d88test::FindSector(&disk, 1, 5);
    deleted->deletedMark = 0x10;
    deleted->status = 0x10;
  }
  if (info.keeps.noData) {
    d88test::Sector* noData = d88test::FindSector(&disk, 1, 6);
    noData->status = 0xF0;
    noData->data.clear();
  }
  if (info.keeps.density) {
    for (d88test::Sector& s : disk.tracks[1]) s.density = 0x40;
  }
  return disk;
}

// Every container that holds the marked disk: all but DIM, which knows no
// tracks of 16 sectors of 256 bytes.
std::vector<ContainerInfo> HoldingTheMarkedDisk() {
  std::vector<ContainerInfo> all;
  for (const ContainerInfo& info : d88test::kContainers) {
    if (info.container != Container::kDim) all.push_back(info);
  }
  return all;
}

TEST_F(ContainerTest, EveryContainerIsCutListedAndConvertedAsTheD88ItHolds) {
  for (const ContainerInfo& info : HoldingTheMarkedDisk()) {
    SCOPED_TRACE(std::string(info.format) + " " + std::to_string(static_cast<int>(info.container)));
    const Disk disk = DiskWithFacts(info);
    const std::string image =
        images_.Write(std::string("image") + info.extension, BuildContainer(disk, info.container));
    const RunResult cut = Cut(image);
    EXPECT_EQ(cut.status, 0);
    EXPECT_EQ(cut.out, d88test::AllBlocksOutput());
    EXPECT_EQ(cut.err, !info.keeps.dataCrcErrors
                           ? ""
                           : "d88cut: MUS01: sector C 37 H 1 R 5 on track 75 is marked \"data CRC "
                             "error\" in the image; its bytes may not be the disk's\n");
    for (const d88test::ExpectedBlock& b : d88test::kExpectedBlocks) {
      EXPECT_EQ(d88test::ReadFile(work_ / b.name), d88test::ExpectedBytes(b)) << b.name;
    }
    const nlohmann::json listing = nlohmann::json::parse(List({"--json", image}).out);
    EXPECT_EQ(listing["images"][0]["format"], info.format);
    EXPECT_EQ(listing["images"][0]["problem"], nullptr);
    // The D88 it holds is the disk's, byte for byte, every fact kept; back
    // to a raw image, it is the raw image's, where each track is whole.
    ASSERT_EQ(Convert(image, "out.d88").status, 0);
    EXPECT_EQ(d88test::ReadFile(work_ / "out.d88"), disk.Build());
    const RunResult raw = Convert("out.d88", "out.2d");
    if (info.keeps.noData) {
      EXPECT_EQ(raw.status, 1);
      EXPECT_EQ(raw.err, "d88conv: out.d88: track 1 (C 0 H 1) R 6 holds 0 bytes, not 256 as "
                         "track 0's sectors do\n");
    } else {
      EXPECT_EQ(raw.status, 0) << raw.err;
      EXPECT_EQ(d88test::ReadFile(work_ / "out.2d"),
                BuildContainer(d88test::MarkedDisk(""), Container::kRaw));
    }
  }
}

// DIM knows the geometries of PC-98 and X68000 disks alone; so do FDI and
// DCP besides raw ones: a 2HD disk of 77 cylinders of 8 sectors of 1,024
// bytes, read whole from each.
// A 2HD disk of `tracks` tracks of 8 sectors of 1,024 bytes.
Disk TwoHdDisk(std::int32_t tracks) {
  Disk disk;
  for (std::int32_t t = 0; t < tracks; ++t) {
    for (std::int32_t r = 1; r <= 8; ++r) {
      d88test::Sector s;
      s.c = static_cast<std::uint8_t>(t / 2);
      s.h = static_cast<std::uint8_t>(t % 2);
      s.r = static_cast<std::uint8_t>(r);
      s.n = 3;
      for (std::int32_t i = 0; i < 1024; ++i) s.data.push_back(d88test::PatternByte(t, r, i));
      disk.tracks[t].push_back(s);
    }
  }
  disk.mediaType = 0x20;
  return disk;
}

TEST_F(ContainerTest, TwoHdDisksReadFromTheirContainers) {
  const Disk disk = TwoHdDisk(154);
  for (const Container container : {Container::kDim, Container::kFdi, Container::kDcp,
                                    Container::kRaw}) {
    const ContainerInfo& info = d88test::kContainers[static_cast<int>(container)];
    const std::string image = images_.Write(std::string("hd") + (container == Container::kRaw ? ".hdm" : info.extension),
                                            BuildContainer(disk, container));
    const RunResult listed = List({image});
    EXPECT_EQ(listed.out.substr(0, listed.out.find('\n')),
              image + ": " + info.format + ", 77 x 2 x 8 x 1024") << info.format;
    ASSERT_EQ(Convert(image, "hd.d88").status, 0) << info.format;
    EXPECT_EQ(d88test::ReadFile(work_ / "hd.d88"), disk.Build()) << info.format;
  }
}

// A D88 whose first track stands at 672, after a table of 160 entries: the
// slots from there on are the track's first record, not four more tracks.
TEST_F(ContainerTest, ShortTrackTableEndsWhereTheFirstTrackBegins) {
  Bytes bytes = d88test::MarkedDisk("SHORT").Build();
  bytes.erase(bytes.begin() + 672, bytes.begin() + 688);
  const auto shift = [&bytes](std::size_t at) {
    std::uint32_t value = 0;
    for (int k = 3; k >= 0; --k) value = (value << 8) | bytes[at + k];
    if (value == 0) return;  // an absent track stays absent
    value -= 16;
    for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
  };
  shift(28);
  for (std::size_t t = 0; t < 160; ++t) shift(32 + 4 * t);
  const std::string image = images_.Write("short.d88", bytes);
  const std::string listed = List({"-t", image}).out;
  EXPECT_EQ(listed.substr(0, listed.find('\n')),
            "disk 0: offset 0, name \"SHORT\", media 0x00 2D, size 348832, tracks 80, marked");
  EXPECT_EQ(listed.find("track 160"), std::string::npos);
  EXPECT_EQ(Cut(image).out, d88test::AllBlocksOutput());
}

// Cut short, a container is read as far as it goes, and d88cut cuts the
// blocks of the tracks read; a field that no container of its kind can hold
// stops it there. d88ls says which, and where; d88conv refuses.
TEST_F(ContainerTest, DamagedContainersSayWhereAndKeepWhatCameBefore) {
  const struct {
    Container container;
    std::function<void(Bytes*)> spoil;
    const char* said;
  } cases[] = {
      {Container::kDcp, [](Bytes* b) { b->resize(b->size() / 2); }, nullptr},
      {Container::kNfd0, [](Bytes* b) { (*b)[0x120 + 3] = 9; },
       "a sector's header of track 0 (C 0 H 0) holds a value it cannot hold (9)"},
      {Container::kNfd1, [](Bytes* b) { b->resize(b->size() - 300000); }, nullptr},
      {Container::kVfd, [](Bytes* b) { (*b)[0xDC + 3] = 9; },
       "a sector's header of track 0 (C 0 H 0) holds a value it cannot hold (9)"},
      {Container::kImd, [](Bytes* b) { (*b)[47] = 9; },
       "a track's header of track 0 (C 0 H 0) holds a value it cannot hold (9)"},
      {Container::kDsk, [](Bytes* b) { (*b)[0x31] = 3; },
       "the header holds a value it cannot hold (3)"},
      {Container::kEdsk, [](Bytes* b) { b->resize(b->size() - 300000); }, nullptr},
      {Container::kTd0, [](Bytes* b) { (*b)[12 + 25 + 3] ^= 1; },
       "a track's header of track 0 (C 0 H 0) does not match its checksum"},
      {Container::kTd0Compressed, [](Bytes* b) { b->resize(b->size() / 2); }, nullptr},
      {Container::kTd0Compressed,
       [](Bytes* b) {
         (*b)[4] = 10;  // version 1.0, and its header's CRC
         const std::uint16_t crc = d88test::TeledCrc(b->data(), 10);
         (*b)[10] = static_cast<std::uint8_t>(crc);
         (*b)[11] = static_cast<std::uint8_t>(crc >> 8);
       },
       nullptr},
      {Container::kDmk, [](Bytes* b) { b->resize(b->size() / 2); }, nullptr},
  };
  for (const auto& spoilt : cases) {
    const ContainerInfo& info = d88test::kContainers[static_cast<int>(spoilt.container)];
    SCOPED_TRACE(info.format);
    Bytes bytes = BuildContainer(d88test::MarkedDisk(""), spoilt.container);
    spoilt.spoil(&bytes);
    const std::string image = images_.Write(std::string("spoilt") + info.extension, bytes);
    const std::string line = List({image}).out;
    const std::string first = line.substr(0, line.find('\n'));
    if (spoilt.said != nullptr) {
      EXPECT_EQ(first, image + ": " + info.format + ", " + spoilt.said);
      EXPECT_EQ(Cut(image).out, "");
    } else if (spoilt.container == Container::kTd0Compressed && bytes[4] == 10) {
      EXPECT_EQ(first, image + ": td0, the compressed data is in a form this reader does not know");
    } else {
      EXPECT_EQ(first.substr(0, image.size() + 2 + std::strlen(info.format)),
                image + ": " + info.format);
      EXPECT_NE(first.find(", cut short: the file ends inside "), std::string::npos) << first;
      EXPECT_EQ(Cut(image).out,
                d88test::kRecognised +
                    d88test::CuttingLines(d88test::BlocksReadingOnly(
                        [](std::int32_t track, std::int32_t) { return track < 74; })));
    }
    const RunResult converted = Convert(image, "spoilt.d88");
    EXPECT_EQ(converted.status, 1);
    if (spoilt.said != nullptr) {
      EXPECT_EQ(converted.err, "d88conv: " + image + ": the container is damaged: " + spoilt.said + "\n");
    }
  }
}

// Flux read over two revolutions: a sector whose data reads bad on the
// first is kept from the second, and d88ls -t says so; a 40-track disk
// read in an 80-track drive, each cylinder recorded twice, is read as the
// disk it is.
TEST_F(ContainerTest, BitsAreReadFromTheirBestRevolutionAndRecording) {
  const Disk disk = d88test::MarkedDisk("");
  d88test::BitstreamOptions spoilt;
  spoilt.spoiltOnFirst = {{75, 5}};
  spoilt.idSpoiltOnFirst = {{74, 3}};
  const std::string scp = images_.Write("spoilt.scp", BuildBitstream(disk, d88test::Bitstream::kScp, spoilt));
  const RunResult cut = Cut(scp);
  EXPECT_EQ(cut.out, d88test::AllBlocksOutput());
  EXPECT_EQ(cut.err, "");
  const std::string listed = List({"-t", scp}).out;
  EXPECT_NE(listed.find(": 16 sectors, N 1: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n    sectors kept "
                        "from revolution 2: R 5\n    1 of its 2 revolutions read some sector "
                        "otherwise\n  track 76 "),
            std::string::npos)
      << listed;
  EXPECT_NE(listed.find("13 14 15 16\n    sectors kept from revolution 2: R 3\n    1 of its 2 "
                        "revolutions read some sector otherwise\n  track 75 "),
            std::string::npos);
  std::size_t notes = 0;
  for (std::size_t at = listed.find("kept from"); at != std::string::npos; at = listed.find("kept from", at + 1)) {
    ++notes;
  }
  EXPECT_EQ(notes, 2u);
  const nlohmann::json track = nlohmann::json::parse(List({"--json", "-t", scp}).out)["images"][0]["disks"][0]["tracks"][75];
  EXPECT_EQ(track["decoding"], nlohmann::json::parse(R"({"encoding": "mfm", "reads": 2, "disagreeing": 1})"));
  EXPECT_EQ(track["sectors"][4]["read"], 1);
  EXPECT_EQ(track["sectors"][5]["read"], 0);
  // Read twice in one run, it reads the same: nothing of the first stays.
  const std::string twiceListed = List({scp, scp}).out;
  EXPECT_EQ(twiceListed.substr(twiceListed.size() / 2 + 1), twiceListed.substr(0, twiceListed.size() / 2));
  ASSERT_EQ(Convert(scp, "spoilt.d88").status, 0);
  EXPECT_EQ(d88test::ReadFile(work_ / "spoilt.d88"), disk.Build());

  d88test::BitstreamOptions twice;
  twice.recordedTwice = true;
  for (const d88test::Bitstream kind : {d88test::Bitstream::k86f, d88test::Bitstream::kScp}) {
    const std::string image = images_.Write(kind == d88test::Bitstream::kScp ? "twice.scp" : "twice.86f",
                                            BuildBitstream(disk, kind, twice));
    ASSERT_EQ(Convert(image, "twice.d88").status, 0) << image;
    EXPECT_EQ(d88test::ReadFile(work_ / "twice.d88"), disk.Build()) << image;
    EXPECT_EQ(List({"-t", image}).out.find("revolution"), std::string::npos);
  }
}

// d88conv records a disk as HFE that reads back to the same sectors and
// facts, and says what bits cannot hold.
TEST_F(ContainerTest, HfeWrittenReadsBackAsTheDiskItRecords) {
  Disk disk = d88test::MarkedDisk("");
  disk.writeProtect = 0x10;
  d88test::FindSector(&disk, 75, 5)->status = 0xB0;
  d88test::FindSector(&disk, 1, 3)->status = 0xA0;
  d88test::FindSector(&disk, 1, 5)->deletedMark = 0x10;
  d88test::FindSector(&disk, 1, 5)->status = 0x10;
  d88test::FindSector(&disk, 1, 6)->status = 0xF0;
  d88test::FindSector(&disk, 1, 6)->data.clear();
  // An FM track, of ten sectors of 128 bytes.
  disk.tracks[79].clear();
  for (std::uint8_t r = 1; r <= 10; ++r) {
    d88test::Sector s;
    s.c = 39;
    s.h = 1;
    s.r = r;
    s.n = 0;
    s.density = 0x40;
    s.data.assign(128, r);
    disk.tracks[79].push_back(s);
  }
  const std::string image = images_.Write("facts.d88", disk.Build());
  const RunResult written = Convert(image, "facts.hfe");
  EXPECT_EQ(written.status, 0);
  EXPECT_EQ(written.err, "");
  EXPECT_EQ(Cut("facts.hfe").out, d88test::AllBlocksOutput());
  ASSERT_EQ(Convert("facts.hfe", "back.d88").status, 0);
  EXPECT_EQ(d88test::ReadFile(work_ / "back.d88"), disk.Build());

  // Its header: 250 kbit/s at 300 rpm, one step a cylinder, writes not
  // allowed as the disk's protection says.
  const Bytes hfe = d88test::ReadFile(work_ / "facts.hfe");
  EXPECT_EQ(Bytes(hfe.begin() + 8, hfe.begin() + 22),
            (Bytes{0, 40, 2, 0, 250, 0, 44, 1, 7, 1, 1, 0, 0, 0xFF}));
  // A 2HD disk: 500 kbit/s at 360 rpm.
  const Disk hd = TwoHdDisk(4);
  ASSERT_EQ(Convert(images_.Write("hd.d88", hd.Build()), "hd.hfe").status, 0);
  const Bytes hdHfe = d88test::ReadFile(work_ / "hd.hfe");
  EXPECT_EQ(Bytes(hdHfe.begin() + 12, hdHfe.begin() + 16), (Bytes{0xF4, 1, 0x68, 1}));
  ASSERT_EQ(Convert("hd.hfe", "hd-back.d88").status, 0);
  EXPECT_EQ(d88test::ReadFile(work_ / "hd-back.d88"), hd.Build());
  // One of 18 sectors of 512 bytes a track, as 1.44 MB disks are: at 300 rpm.
  Disk hd18;
  hd18.mediaType = 0x20;
  for (std::uint8_t r = 1; r <= 18; ++r) {
    d88test::Sector s;
    s.r = r;
    s.n = 2;
    s.data.assign(512, r);
    hd18.tracks[0].push_back(s);
  }
  ASSERT_EQ(Convert(images_.Write("hd18.d88", hd18.Build()), "hd18.hfe").status, 0);
  const Bytes hd18Hfe = d88test::ReadFile(work_ / "hd18.hfe");
  EXPECT_EQ(Bytes(hd18Hfe.begin() + 12, hd18Hfe.begin() + 16), (Bytes{0xF4, 1, 0x2C, 1}));
  ASSERT_EQ(Convert("hd18.hfe", "hd18-back.d88").status, 0);
  EXPECT_EQ(d88test::ReadFile(work_ / "hd18-back.d88"), hd18.Build());

  // Too much for a revolution; FM and MFM on one track; a sector's data
  // not of its size code's length.
  Disk crowded = d88test::MarkedDisk("");
  for (std::uint8_t r = 17; r <= 20; ++r) {
    d88test::Sector s = crowded.tracks[40][0];
    s.r = r;
    crowded.tracks[40].push_back(s);
  }
  Disk mixed = d88test::MarkedDisk("");
  mixed.tracks[7][3].density = 0x40;
  Disk odd = d88test::MarkedDisk("");
  odd.tracks[9][2].data.resize(200);
  Disk unmarked = d88test::MarkedDisk("");
  unmarked.tracks[9][4].deletedMark = 0x10;
  Disk badIds = d88test::MarkedDisk("");
  for (d88test::Sector& s : badIds.tracks[79]) s.status = 0xA0;
  const struct {
    Disk disk;
    int status;
    std::string err;
  } cases[] = {
      {crowded, 1, ": track 40 (C 20 H 0): its sectors need 106656 cells, more than a revolution's "
                   "100000 at the disk's rate\n"},
      {mixed, 1, ": track 7 (C 3 H 1) holds sectors of FM and of MFM both\n"},
      {odd, 0, ": track 9 (C 4 H 1) R 3 holds 200 bytes of data, which the bits keep as its size "
               "code's 256 (it is the first of such sectors)\n"},
      {unmarked, 0, ": track 9 (C 4 H 1) R 5, of status 0x00 and deleted mark 0x10, reads back from "
                    "the bits as of status 0x10 (it is the first of such sectors)\n"},
      {badIds, 0, ": track 79 (C 39 H 1): every ID on it has a bad CRC, which no reader takes for "
                  "sectors: it reads back empty\n"},
  };
  for (const auto& run : cases) {
    const std::string path = images_.Write("case.d88", run.disk.Build());
    const RunResult result = Convert(path, "case.hfe");
    EXPECT_EQ(result.status, run.status);
    EXPECT_EQ(result.err, "d88conv: " + (run.status != 0 ? path : std::string("case.hfe")) + run.err);
  }
}

// Bits that hold nothing, or end early, or never change: each is read to
// its bound, said in words, and no sector is made of noise.
TEST_F(ContainerTest, BitsWithoutSectorsSaySoAndEnd) {
  const Disk disk = d88test::MarkedDisk("");
  // Flux whose every interval is `interval(k)` ticks (checksum left out,
  // as a writer may: 0).
  const auto flux = [&disk](const std::function<std::uint8_t(std::size_t)>& interval) {
    Bytes scp = BuildBitstream(disk, d88test::Bitstream::kScp);
    const auto u32 = [&scp](std::size_t at) {
      return static_cast<std::size_t>(scp[at] | scp[at + 1] << 8 | scp[at + 2] << 16 | scp[at + 3] << 24);
    };
    std::fill(scp.begin() + 12, scp.begin() + 16, 0);
    for (std::size_t t = 0; t < 168; ++t) {
      const std::size_t track = u32(16 + 4 * t);
      for (std::size_t r = 0; track != 0 && r < 2; ++r) {
        const std::size_t data = track + u32(track + 4 + 12 * r + 8);
        for (std::size_t k = 0; k < u32(track + 4 + 12 * r + 4); ++k) {
          scp[data + 2 * k] = 0;
          scp[data + 2 * k + 1] = interval(k);
        }
      }
    }
    return scp;
  };
  std::uint32_t state = 7;
  const Bytes noise = flux([&state](std::size_t) {
    state = state * 1103515245u + 12345u;
    return static_cast<std::uint8_t>(1 + (state >> 16) % 250);
  });
  const Bytes silent = flux([](std::size_t) { return std::uint8_t{0}; });
  // Every track's cells 1s (after the header and 80 tracks' entries).
  Bytes ones = BuildBitstream(disk, d88test::Bitstream::kHxcMfm);
  std::fill(ones.begin() + 19 + 80 * 11, ones.end(), 0xFF);
  Bytes cut = BuildBitstream(disk, d88test::Bitstream::kHfe);
  cut.resize(cut.size() / 2);
  const struct {
    const char* name;
    Bytes bytes;
    const char* said;
  } cases[] = {
      {"noise.scp", noise, "scp, no track's flux keeps to a clock: nothing was recorded there in FM or MFM"},
      {"silent.scp", silent, "scp, no track's flux keeps to a clock: nothing was recorded there in FM or MFM"},
      {"ones.mfm", ones, "mfm, no track's bits hold a sector recorded in FM or MFM"},
      {"cut.hfe", cut, "hfe, cut short: the file ends inside a track's bits of track "},
  };
  for (const auto& spoilt : cases) {
    SCOPED_TRACE(spoilt.name);
    const std::string image = images_.Write(spoilt.name, spoilt.bytes);
    const std::string line = List({image}).out;
    EXPECT_EQ(line.substr(0, line.find('\n')).substr(0, image.size() + 2 + std::strlen(spoilt.said)),
              image + ": " + spoilt.said);
    const RunResult converted = Convert(image, "spoilt.d88");
    EXPECT_EQ(converted.status, 1);
  }
}

TEST_F(ContainerTest, ConversionsThatCannotBeMadeSaySoAndLeaveTheOutput) {
  Disk disk = d88test::MarkedDisk("");
  d88test::FindSector(&disk, 40, 7)->r = 17;
  const std::string image = images_.Write("odd.d88", disk.Build());
  d88test::WriteFile(work_ / "kept.2d", {'o', 'l', 'd'});
  const struct {
    std::vector<std::string> args;
    std::string err;
  } runs[] = {
      {{"d88conv", image, "kept.2d"},
       "d88conv: " + image + ": track 40 (C 20 H 0) has no sector R 7\n"},
      {{"d88conv", image, "kept.txt"},
       "d88conv: kept.txt: its name does not say what to write: end it in .d88 for a D88, in .2d, "
       ".2dd, .2hd, .hdm, .xdf, .dup, .img, .hd5, .hd4, .dd6, .dd9, .1d or .ddb for a raw image, "
       "or in .hfe for HFE\n"},
      {{"d88conv", "--disk", "1", image, "kept.2d"},
       "d88conv: " + image + ": it has no disk 1 (it has 1)\n"},
      {{"d88conv", "--disk", "x", image, "kept.2d"},
       "d88conv: --disk needs a disk number, not x\nUsage: d88conv [--disk N] INPUT OUTPUT\n"},
      {{"d88conv", images_ / "missing.d88", "kept.2d"},
       "d88conv: cannot open " + images_ / "missing.d88" + ": No such file or directory\n"},
  };
  // A D88 cut short inside a sector's data, which would come out whole.
  Bytes cut = d88test::MarkedDisk("").Build();
  cut.resize(cut.size() - 100);
  const std::string cutImage = images_.Write("cut.d88", cut);
  const RunResult shortened = Tool(D88CONV_PATH, {"d88conv", cutImage, "kept.2d"});
  EXPECT_EQ(shortened.err, "d88conv: " + cutImage +
                               ": the image ends inside the data of track 79 (C 39 H 1) R 16\n");
  for (const auto& run : runs) {
    const RunResult result = Tool(D88CONV_PATH, run.args);
    EXPECT_EQ(result.status, 1) << run.err;
    EXPECT_EQ(result.err, run.err);
    EXPECT_EQ(d88test::ReadFile(work_ / "kept.2d"), (Bytes{'o', 'l', 'd'}));
  }
  EXPECT_EQ(d88test::FilesIn(work_.path()), std::vector<std::string>{"kept.2d"});

  // A raw image written, but not of a geometry its size reads back as.
  Disk eighteen;
  for (std::int32_t t = 0; t < 80; ++t) {
    for (std::int32_t r = 1; r <= 18; ++r) {
      d88test::Sector s;
      s.c = static_cast<std::uint8_t>(t / 2);
      s.h = static_cast<std::uint8_t>(t % 2);
      s.r = static_cast<std::uint8_t>(r);
      s.data.assign(256, static_cast<std::uint8_t>(r));
      eighteen.tracks[t].push_back(s);
    }
  }
  const RunResult warned =
      Tool(D88CONV_PATH, {"d88conv", images_.Write("eighteen.d88", eighteen.Build()), "out.2d"});
  EXPECT_EQ(warned.status, 0);
  EXPECT_EQ(warned.err, "d88conv: out.2d: a raw image of 40 x 2 x 18 x 256, which its size reads "
                        "back as 40 x 2 x 9 x 512\n");
  // Every raw name the reader reads by is one d88conv writes by, in either case.
  const std::string marked = images_.Write("marked.d88", d88test::MarkedDisk("").Build());
  for (const char* name : {"out.1d", "out.DDB"}) {
    const RunResult raw = Convert(marked, name);
    EXPECT_EQ(raw.status, 0) << name;
    EXPECT_EQ(raw.err, "") << name;
    EXPECT_EQ(d88test::ReadFile(work_ / name),
              BuildContainer(d88test::MarkedDisk(""), Container::kRaw)) << name;
  }
  // Disks that repeat one before them, as a size of 0 makes them, once.
  const Bytes twice = d88test::Concat({d88test::MarkedDisk("").Build(), Bytes(688, 0)});
  ASSERT_EQ(Tool(D88CONV_PATH, {"d88conv", images_.Write("twice.d88", twice), "once.d88"}).status, 0);
  EXPECT_EQ(d88test::ReadFile(work_ / "once.d88").size(), twice.size());
}

}  // namespace
