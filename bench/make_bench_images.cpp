// Writes the benchmark's images into a folder: one.d88 (one marked disk),
// sixty_four.d88 (64 marked disks), one.2d (the marked disk as a raw
// image), one.td0 (as a Teledisk image of advanced compression) and
// one.td0.body (what that compression holds, for gzip to be timed on), and
// fat100.d88 (a 2HD disk in FAT12 with 100 files, for d88ls -l) and
// one.scp (the marked disk as flux, two revolutions).

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "image_builder/bitstream_builder.h"
#include "image_builder/container_builder.h"
#include "image_builder/file_system_builder.h"
#include "image_builder/image_builder.h"
#include "image_builder/lzhuf_encoder.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s FOLDER\n", argv[0]);
    return 1;
  }
  try {
    d88test::Disk disk = d88test::MakeStandardDisk("BENCH");
    d88test::SetMarker(&disk);
    const d88test::Bytes one = disk.Build();
    const std::string folder = argv[1];
    d88test::WriteFile(folder + "/one.d88", one);
    d88test::WriteFile(folder + "/sixty_four.d88",
                       d88test::Concat(std::vector<d88test::Bytes>(64, one)));
    d88test::WriteFile(folder + "/one.2d", d88test::BuildContainer(disk, d88test::Container::kRaw));
    // The compressed image, and the bytes after its 12-byte header as they
    // are before compression.
    const d88test::Bytes compressed =
        d88test::BuildContainer(disk, d88test::Container::kTd0Compressed);
    d88test::WriteFile(folder + "/one.td0", compressed);
    const d88test::Bytes stored = d88test::BuildContainer(disk, d88test::Container::kTd0);
    d88test::WriteFile(folder + "/one.td0.body", d88test::Bytes(stored.begin() + 12, stored.end()));
    std::vector<d88test::TestFile> files;
    for (int k = 0; k < 100; ++k) {
      char name[16];
      std::snprintf(name, sizeof name, "FILE%03d.DAT", k);
      files.push_back({name, d88test::Bytes(2000, static_cast<std::uint8_t>(k))});
    }
    d88test::WriteFile(folder + "/one.scp", d88test::BuildBitstream(disk, d88test::Bitstream::kScp));
    d88test::WriteFile(folder + "/fat100.d88",
                       d88test::Format(d88test::FileSystem::kFat12, files).disk.Build());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
