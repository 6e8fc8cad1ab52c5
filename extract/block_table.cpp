#include "block_table.h"

#include <cstdio>

namespace d88cut {

std::int32_t ListBlocks(Block (&blocks)[kMaxBlocks]) {
  std::int32_t count = 0;
  blocks[count++] = kProgBlock;
  blocks[count++] = kFmBankBlock;
  for (std::int32_t k = 0; kMusicBlocks[k].firstSector != 0 && count < kMaxBlocks; ++k) {
    const MusicRow& row = kMusicBlocks[k];
    Block& block = blocks[count++];
    std::snprintf(block.name, sizeof block.name, "MUS%02d", static_cast<int>(k));
    block.track = row.track;
    block.c = row.track >> 1;
    block.h = row.track & 1;
    block.r = row.firstSector;
    block.n = kSizeCode;
    block.offset = 0;
    block.size = row.size;
  }
  return count;
}

}  // namespace d88cut
