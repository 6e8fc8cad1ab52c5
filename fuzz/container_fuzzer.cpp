// Reads the input as a file in each container the reader knows: its first
// byte picks the name's extension, and so which containers are tried
// first; the rest is the file. Whatever the reader makes of it, the D88 it
// is read as must be whole: every track's records lie within it, each
// carrying its track's count, and a container the reader names is the one
// it says it read.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "d88image/d88image.h"
#include "scratch_folder.h"

namespace {

// Every container's usual extension, and a name that none claims.
constexpr const char* kExtensions[] = {"2d",  "hdm", "img", "fdi", "dim", "dcp", "nfd", "fdd",
                                       "imd", "dsk", "td0", "dmk", "bin", "hfe", "mfm", "86f",
                                       "scp"};
constexpr std::size_t kExtensionCount = sizeof kExtensions / sizeof kExtensions[0];

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string path =
      std::string(ScratchFolder()) + "/input." + kExtensions[data[0] % kExtensionCount];
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 1 && std::fwrite(data + 1, 1, size - 1, out) != size - 1) std::abort();
  std::fclose(out);

  static D88Image image;
  if (!image.Open(path.c_str())) std::abort();
  const d88::Container& container = image.GetContainer();
  Check(container.fileSize == static_cast<std::int32_t>(size - 1));
  if (container.format == d88::Format::kD88) {
    Check(container.problem.kind == d88::ContainerProblem::Kind::kNone);
    image.Open(nullptr);
    return 0;
  }
  // Another container: one disk, laid out whole.
  const std::int32_t formSize = image.GetImageFileSize();
  Check(formSize <= d88::kMaxConvertedSize);
  Check(image.GetDiskCount() <= 1);
  if (image.GetDiskCount() == 1) {
    Check(image.SelectDisk(0));
    Check(image.GetDiskSize() == formSize);
    static D88Image::SectorRecord records[4096];
    for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
      const std::int32_t count = image.GetSectorRecords(t, records, 4096);
      Check(count < 4096);
      for (std::int32_t k = 0; k < count; ++k) {
        const D88Image::SectorRecord& record = records[k];
        Check(record.sectorsInTrack == count);
        Check(record.position + d88::kSectorHeaderSize + record.dataSize <= formSize);
      }
    }
  }
  image.Open(nullptr);
  return 0;
}
