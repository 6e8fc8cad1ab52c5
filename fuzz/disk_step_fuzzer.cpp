// Runs the tool's disk step, as d88cut does, over every disk of the input,
// writing its files into a scratch folder.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "d88image/d88image.h"
#include "disk_step.h"
#include "scratch_folder.h"

namespace {

// The disk step writes into the current folder; the fuzzer's own files
// (corpus, crash reports) stay where it was started.
char startFolder[4096];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (getcwd(startFolder, sizeof startFolder) == nullptr) std::abort();
  // The messages are not what is under test.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (chdir(ScratchFolder()) != 0) std::abort();
  std::FILE* out = std::fopen("input.d88", "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);

  static D88Image image;
  if (!image.Open("input.d88")) std::abort();
  for (std::int32_t i = 0; i < image.GetDiskCount(); ++i) {
    image.SelectDisk(i);
    d88cut::ProcessDisk(image);
  }
  image.Open(nullptr);
  if (chdir(startFolder) != 0) std::abort();
  return 0;
}
