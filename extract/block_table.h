#ifndef EXTRACT_BLOCK_TABLE_H
#define EXTRACT_BLOCK_TABLE_H

#include <cstdint>

// Where the marked disk keeps the blocks the tool cuts out. Nothing on the
// disk says where they are; every position and size here is fixed. All
// sectors are 256 bytes (N = 1), on a disk whose tracks hold sectors 1 to 16.

namespace d88cut {

constexpr std::int32_t kFirstSector = 1;
constexpr std::int32_t kLastSector = 16;
constexpr std::int32_t kSizeCode = 1;  // 256-byte sectors

// The disk is recognised by byte 254 of sector C 0 H 0 R 16 N 1 on track 0.
constexpr std::int32_t kIdTrack = 0;
constexpr std::int32_t kIdSector = 16;
constexpr std::int32_t kIdSectorSize = 256;
constexpr std::int32_t kMarkerOffset = 254;
constexpr std::uint8_t kMarker = 0x41;  // 'A'

// One block: a file name and a run of sectors from (track; C, H, R, N),
// of which `size` bytes from `offset` on are written.
struct Block {
  char name[12];
  std::int32_t track;
  std::int32_t c;
  std::int32_t h;
  std::int32_t r;
  std::int32_t n;
  std::int32_t offset;
  std::int32_t size;
};

// The program: tracks 2 to 7 whole and sectors 1 to 8 of track 8 (104 sectors).
constexpr Block kProgBlock = {"PROG", 2, 1, 0, 1, kSizeCode, 0, 0x6800};
// The FM voice bank: sector 14 of track 0.
constexpr Block kFmBankBlock = {"FMBANK", 0, 0, 0, 14, kSizeCode, 0, 0x100};

// The music blocks, named "MUS%02d" by their row; C and H follow from the
// track (C = track >> 1, H = track & 1). A row with first sector 0 ends it.
struct MusicRow {
  std::int32_t track;
  std::int32_t firstSector;
  std::int32_t size;
};
constexpr MusicRow kMusicBlocks[] = {
    {74, 1, 0x700},   // MUS00: C 37 H 0, sectors 1 to 7
    {75, 1, 0xB00},   // MUS01: C 37 H 1, sectors 1 to 11
    {76, 1, 0x900},   // MUS02: C 38 H 0, sectors 1 to 9
    {76, 10, 0x500},  // MUS03: C 38 H 0, sectors 10 to 14
    {74, 9, 0x800},   // MUS04: C 37 H 0, sectors 9 to 16
    {0, 0, 0},
};

constexpr std::int32_t kMaxBlocks = 16;

// Fills `blocks` with every block in the order it is cut (PROG, FMBANK, then
// the music table up to its end row) and returns how many there are.
std::int32_t ListBlocks(Block (&blocks)[kMaxBlocks]);

}  // namespace d88cut

#endif  // EXTRACT_BLOCK_TABLE_H
