#ifndef TESTS_IMAGE_BUILDER_FILE_SYSTEM_BUILDER_H
#define TESTS_IMAGE_BUILDER_FILE_SYSTEM_BUILDER_H

// Formats a disk of the image builder in a file system, with files in it,
// for the tests of the file-system library and of d88get: each file's
// clusters where a test wants them (out of order, to see a reader follow
// the chain), deleted entries, and names of any bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "image_builder/image_builder.h"

namespace d88test {

enum class FileSystem { kN88Basic, kFBasic, kHuBasic, kMzBasic, kFat12, kHuman68k, kCpm };

struct TestFile {
  // The name's bytes; "FOLDER/NAME" puts it in a folder (FAT12, Human68k).
  std::string name;
  Bytes data;
  // The file system's own type byte, where it has one: N88-BASIC's
  // attribute, F-BASIC's type, Hu-BASIC's mode; 0 for the usual.
  std::uint8_t type = 0;
  bool deleted = false;
};

struct FormattedDisk {
  Disk disk;
  // Where each file's first cluster (or block) is, in the order given, for
  // tests that spoil a chain.
  std::vector<std::int32_t> starts;
};

// A disk of `system`'s geometry with `files` in it, each in clusters taken
// from the end of the disk backwards, so that a file of several clusters
// has them out of their order on the disk.
FormattedDisk Format(FileSystem system, const std::vector<TestFile>& files);

// The name as the file system keeps it, the name's bytes as the disk holds
// them: "NAME.EXT" for those that keep the extension apart.
std::string FileSystemName(FileSystem system);  // "n88-basic", ...

// Where the FAT of a disk of `system` is (its first copy): its track and R,
// and where in that sector cluster 0's entry stands (byte FATs only).
struct FatPlace {
  std::int32_t track;
  std::int32_t r;
  std::int32_t offset;
};
FatPlace FatOf(FileSystem system);

}  // namespace d88test

#endif  // TESTS_IMAGE_BUILDER_FILE_SYSTEM_BUILDER_H
