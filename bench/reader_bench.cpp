// Time per call of the reader's sector operations on a standard 2D disk.

#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "d88image/d88image.h"
#include "image_builder/image_builder.h"

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

void BM_ReadSectorsProgRun(benchmark::State& state) {
  static std::uint8_t buffer[26624];
  D88Image& image = Image().image();
  for (auto _ : state) {
    if (image.ReadSectors(2, 1, 0, 1, 1, buffer, sizeof buffer) != 26624) {
      state.SkipWithError("short read");
    }
    benchmark::DoNotOptimize(buffer);
  }
  state.SetBytesProcessed(state.iterations() * 26624);
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
