#include "image_builder/expected_blocks.h"

#include <stdexcept>

namespace d88test {

std::vector<BlockSector> SectorsOf(const ExpectedBlock& block) {
  std::vector<BlockSector> sectors;
  BlockSector at = {block.track, block.r};
  for (std::int32_t bytes = 0; bytes < block.size; bytes += 256) {
    sectors.push_back(at);
    at = at.r == 16 ? BlockSector{at.track + 1, 1} : BlockSector{at.track, at.r + 1};
  }
  return sectors;
}

const ExpectedBlock& BlockNamed(const std::string& name) {
  for (const ExpectedBlock& block : kExpectedBlocks) {
    if (block.name == name) return block;
  }
  throw std::logic_error("no block named " + name);
}

const ExpectedBlock& BlockReading(std::int32_t track, std::int32_t r) {
  for (const ExpectedBlock& block : kExpectedBlocks) {
    for (const BlockSector& sector : SectorsOf(block)) {
      if (sector.track == track && sector.r == r) return block;
    }
  }
  throw std::logic_error("no block reads track " + std::to_string(track) + " R " +
                         std::to_string(r));
}

Bytes ExpectedBytes(const ExpectedBlock& block) {
  return ExpectedRun(block.track, block.r, block.size);
}

std::vector<std::string> BlockNames() {
  return BlocksReadingOnly([](std::int32_t, std::int32_t) { return true; });
}

std::vector<std::string> BlocksReadingOnly(
    const std::function<bool(std::int32_t track, std::int32_t r)>& readable) {
  std::vector<std::string> names;
  for (const ExpectedBlock& block : kExpectedBlocks) {
    bool all = true;
    for (const BlockSector& sector : SectorsOf(block)) all = all && readable(sector.track, sector.r);
    if (all) names.push_back(block.name);
  }
  return names;
}

std::set<std::int32_t> TracksRead() {
  std::set<std::int32_t> tracks = {kMarkerTrack};
  for (const ExpectedBlock& block : kExpectedBlocks) {
    for (const BlockSector& sector : SectorsOf(block)) tracks.insert(sector.track);
  }
  return tracks;
}

}  // namespace d88test
