// Writes a small D88 image whose one disk carries the marker and every
// block, for trying d88cut by hand: make_sample_image OUTPUT.

#include <cstdio>
#include <exception>

#include "image_builder.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s OUTPUT\n", argv[0]);
    return 1;
  }
  try {
    d88test::Disk disk = d88test::MakeStandardDisk("SAMPLE");
    d88test::SetMarker(&disk);
    d88test::WriteFile(argv[1], disk.Build());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
