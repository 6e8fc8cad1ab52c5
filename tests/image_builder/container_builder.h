#ifndef TESTS_IMAGE_BUILDER_CONTAINER_BUILDER_H
#define TESTS_IMAGE_BUILDER_CONTAINER_BUILDER_H

// Writes a disk of the image builder in the other containers disks are
// kept in, so that a test states a disk once and reads it in each. Every
// container keeps the sectors' data; those that can also keep IDs and how
// each sector was read (a CRC error, deleted data, an ID without data,
// single density) keep them as the disk says; the bitstream containers
// keep them as the bits a drive would have read. Raw images and the
// containers of raw tracks (FDI, DIM, DCP) keep only the data, of sectors
// R 1 to n of one size, which the disk must have.

#include <string>

#include "image_builder/image_builder.h"

namespace d88test {

enum class Container {
  kRaw,
  kFdi,
  kDim,
  kDcp,
  kNfd0,
  kNfd1,
  kVfd,
  kImd,
  kDsk,
  kEdsk,
  kTd0,
  kTd0Compressed,
  kDmk,
  // Bit cells and flux, recorded by the bitstream builder.
  kHfe,
  kHfeV3,
  kHxcMfm,
  k86f,
  kScp,
};

// What a container keeps of a sector beyond its data.
struct ContainerKeeps {
  bool ids;            // C, H, R, N
  bool idCrcErrors;    // status 0xA0
  bool dataCrcErrors;  // status 0xB0
  bool deleted;        // the deleted mark (and status 0x10)
  bool noData;         // an ID without data: status 0xF0, no data
  bool density;        // single density
};

struct ContainerInfo {
  Container container;
  const char* format;     // as the reader names it ("raw", "nfd", ...)
  const char* extension;  // a name's usual ending (".2d", ".nfd", ...)
  ContainerKeeps keeps;
};

// Every container, in the order above.
extern const ContainerInfo kContainers[18];

// `disk` in `container`.
Bytes BuildContainer(const Disk& disk, Container container);

// Teledisk's CRC (polynomial 0xA097, from 0), which a TD0 header ends with.
std::uint16_t TeledCrc(const std::uint8_t* bytes, std::size_t count);

}  // namespace d88test

#endif  // TESTS_IMAGE_BUILDER_CONTAINER_BUILDER_H
