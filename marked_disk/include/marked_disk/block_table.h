#ifndef MARKED_DISK_BLOCK_TABLE_H
#define MARKED_DISK_BLOCK_TABLE_H

// Where the marked disk keeps the seven blocks that d88cut cuts out. Nothing
// on the disk says where they are: every position and size is fixed here,
// once, for the tools, the fuzz targets and the benchmark. What the tests
// expect of it is stated apart (tests/image_builder/expected_blocks.h), so
// that a wrong row fails them; a new block is a row in both. For people,
// the table is restated in README.md and README.ja.md, the manual pages
// (doc/d88cut.1.in, doc/ja/d88cut.1.in) and the page's words
// (web/index.html, web/page.js): change those with it.
//
// The disk's tracks hold sectors 1 to 16 of 256 bytes (N 1); track t is
// cylinder t >> 1, head t & 1, and a block's run of sectors goes on to
// sector 1 of the next track after sector 16.

#include <cstdint>

namespace marked_disk {

constexpr std::int32_t kFirstSector = 1;
constexpr std::int32_t kLastSector = 16;
constexpr std::int32_t kSizeCode = 1;  // 256-byte sectors
constexpr std::int32_t kSectorSize = std::int32_t{128} << kSizeCode;

constexpr std::int32_t CylinderOf(std::int32_t track) { return track >> 1; }
constexpr std::int32_t HeadOf(std::int32_t track) { return track & 1; }

// A block: the file `name`, the first `size` bytes of the run of sectors
// that starts at sector R `firstSector` of `track`.
struct Block {
  const char* name;
  std::int32_t track;
  std::int32_t firstSector;
  std::int32_t size;
};

// In the order they are cut.
constexpr Block kBlocks[] = {
    {"PROG", 2, 1, 0x6800},    // tracks 2 to 7 whole, track 8 sectors 1 to 8
    {"FMBANK", 0, 14, 0x100},  // the FM voice bank: one sector
    {"MUS00", 74, 1, 0x700},   // C 37 H 0, sectors 1 to 7
    {"MUS01", 75, 1, 0xB00},   // C 37 H 1, sectors 1 to 11
    {"MUS02", 76, 1, 0x900},   // C 38 H 0, sectors 1 to 9
    {"MUS03", 76, 10, 0x500},  // C 38 H 0, sectors 10 to 14
    {"MUS04", 74, 9, 0x800},   // C 37 H 0, sectors 9 to 16
};

// The size of the largest block, for a buffer that holds any of them.
constexpr std::int32_t LargestBlockSize() {
  std::int32_t largest = 0;
  for (const Block& block : kBlocks) largest = block.size > largest ? block.size : largest;
  return largest;
}

}  // namespace marked_disk

#endif  // MARKED_DISK_BLOCK_TABLE_H
