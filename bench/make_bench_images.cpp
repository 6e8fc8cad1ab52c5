// Writes the benchmark's images into a folder: one.d88 (one marked disk)
// and sixty_four.d88 (64 marked disks).

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "image_builder/image_builder.h"

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
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
