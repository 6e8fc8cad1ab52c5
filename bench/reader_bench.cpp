// Time per call of the reader's sector operations on a standard 2D disk.

#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "d88image/d88image.h"
#include "image_builder/image_builder.h"
#include "marked_disk/block_table.h"

namespace {

// One marked standard disk in a file, opened and selected once.
class StandardImage {
 public:
  StandardImage() {
    d88test::Disk disk = d88test::MakeStandardDisk("BENCH");
    d88test::SetMarker(&disk);
    path_ = "reader_bench.d88";
    d88test::WriteFile(path_, disk.Build());
    image_.Open(path_.c_str());
    image_.SelectDisk(0);
  }
  ~StandardImage() { std::remove(path_.c_str()); }
  D88Image& image() { return image_; }

 private:
  std::string path_;
  D88Image image_;
};

StandardImage& Image() {
  static StandardImage image;
  return image;
}

// PROG, the longest block: 104 sectors over seven tracks.
void BM_ReadSectorsProgRun(benchmark::State& state) {
  constexpr marked_disk::Block prog = marked_disk::kBlocks[0];
  static std::uint8_t buffer[prog.size];
  D88Image& image = Image().image();
  for (auto _ : state) {
    if (image.ReadSectors(prog.track, marked_disk::CylinderOf(prog.track),
                          marked_disk::HeadOf(prog.track), prog.firstSector,
                          marked_disk::kSizeCode, buffer, prog.size) != prog.size) {
      state.SkipWithError("short read");
    }
    benchmark::DoNotOptimize(buffer);
  }
  state.SetBytesProcessed(state.iterations() * prog.size);
}
BENCHMARK(BM_ReadSectorsProgRun)->Unit(benchmark::kMicrosecond);

void BM_GetSectorIdsFullTrack(benchmark::State& state) {
  std::uint8_t ids[256];
  D88Image& image = Image().image();
  for (auto _ : state) {
    if (image.GetSectorIds(40, ids, sizeof ids) != 64) state.SkipWithError("short list");
    benchmark::DoNotOptimize(ids);
  }
}
BENCHMARK(BM_GetSectorIdsFullTrack)->Unit(benchmark::kMicrosecond);

}  // namespace
