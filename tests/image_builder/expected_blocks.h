#ifndef TESTS_IMAGE_BUILDER_EXPECTED_BLOCKS_H
#define TESTS_IMAGE_BUILDER_EXPECTED_BLOCKS_H

// What the marked disk's blocks must be, stated here once and apart from
// the tools' own table, so that a wrong table fails the tests. Every count,
// name list, track list and expected byte of a block that a test, a fuzz
// seed or the sample needs is derived from this one list: a new block is
// one more row here (and in the tools' table).

#include <cstdint>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "image_builder/image_builder.h"

namespace d88test {

// In the order they are cut, each a run of 256-byte sectors from (track, R)
// on, going on to sector 1 of the next track after sector 16.
struct ExpectedBlock {
  const char* name;
  std::int32_t track;
  std::int32_t r;
  std::int32_t size;
};
constexpr ExpectedBlock kExpectedBlocks[] = {
    {"PROG", 2, 1, 26624},   {"FMBANK", 0, 14, 256}, {"MUS00", 74, 1, 1792},
    {"MUS01", 75, 1, 2816},  {"MUS02", 76, 1, 2304}, {"MUS03", 76, 10, 1280},
    {"MUS04", 74, 9, 2048}};
constexpr std::size_t kBlockCount = std::size(kExpectedBlocks);

// The marker's sector: R 16 of track 0.
constexpr std::int32_t kMarkerTrack = 0;

// A sector a block's run reads.
struct BlockSector {
  std::int32_t track;
  std::int32_t r;
};
std::vector<BlockSector> SectorsOf(const ExpectedBlock& block);

// The block of that name, and the first block whose run reads (track, r).
const ExpectedBlock& BlockNamed(const std::string& name);
const ExpectedBlock& BlockReading(std::int32_t track, std::int32_t r);

// The bytes a block's file holds when it is cut from the standard disk.
Bytes ExpectedBytes(const ExpectedBlock& block);

// Every block's name, in the order they are cut; and the names of the
// blocks all of whose sectors `readable` keeps, in that order.
std::vector<std::string> BlockNames();
std::vector<std::string> BlocksReadingOnly(
    const std::function<bool(std::int32_t track, std::int32_t r)>& readable);

// Every track a block reads, and the marker's.
std::set<std::int32_t> TracksRead();

}  // namespace d88test

#endif  // TESTS_IMAGE_BUILDER_EXPECTED_BLOCKS_H
