// Drives the marked disk's rule over every disk of the input: the marker
// test, every block's read, and runs of sectors with arguments taken from
// the input too. Checks that each result says what the reader itself
// finds: the bytes ReadSectors reads, and at the sector a run stopped at,
// what ReadSector finds there. Buffers are exactly as long as the length
// passed, so that AddressSanitizer sees any write past it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "d88image/d88image.h"
#include "marked_disk/block_read.h"
#include "marked_disk/block_table.h"
#include "marked_disk/marker.h"
#include "scratch_folder.h"

namespace {

using marked_disk::RunRead;

const std::string& ImagePath() {
  static const std::string path = std::string(ScratchFolder()) + "/input.d88";
  return path;
}

void Check(bool holds) {
  if (!holds) std::abort();
}

// What ReadRun said of a run, held against the reader's own answers.
void CheckRun(D88Image& image, std::int32_t track, std::int32_t c, std::int32_t h,
              std::int32_t r, std::int32_t n, std::int32_t length, const RunRead& read) {
  std::vector<std::uint8_t> again(length > 0 ? static_cast<std::size_t>(length) : 1);
  Check(read.bytes == image.ReadSectors(track, c, h, r, n, again.data(), length));
  Check(read.bytes >= 0 && (read.bytes == (length > 0 ? length : 0)) ==
                               (read.stop == RunRead::Stop::kNone));
  // Each mark noted is the one the sector's record carries.
  for (std::int32_t k = 0; k < read.markedCount && k < RunRead::kMaxMarked; ++k) {
    const marked_disk::MarkedSector& marked = read.marked[k];
    D88Image::SectorRecord record;
    Check(image.FindSectorRecord(marked.track, marked.c, marked.h, marked.r, n, &record));
    Check(record.status == marked.status && record.deletedMark == marked.deletedMark);
    Check(marked.status != 0 || marked.deletedMark != 0);
  }
  std::uint8_t sector[65536];
  const std::int32_t found =
      image.ReadSector(read.track, read.c, read.h, read.r, n, sector, sizeof sector);
  std::int32_t position = 0;
  switch (read.stop) {
    case RunRead::Stop::kNone:
    case RunRead::Stop::kOutOfNumbers:
      break;
    case RunRead::Stop::kMissing:
      Check(found == 0);
      Check(read.lookup == image.LookUpTrack(read.track, &position));
      break;
    case RunRead::Stop::kShort:
      Check(read.sectorBytes > 0 && read.sectorBytes < read.wanted);
      Check(found == read.sectorBytes);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* out = std::fopen(ImagePath().c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);

  FuzzedDataProvider in(data, size);
  static D88Image image;
  if (!image.Open(ImagePath().c_str())) std::abort();
  static std::uint8_t block[marked_disk::LargestBlockSize()];
  for (std::int32_t i = 0; i < image.GetDiskCount(); ++i) {
    image.SelectDisk(i);
    marked_disk::MarkerCheck check;
    const bool marked = marked_disk::CheckMarker(image, &check);
    std::uint8_t id[marked_disk::kIdSectorSize];
    const std::int32_t bytes = image.ReadSector(marked_disk::kIdTrack, 0, 0,
                                                marked_disk::kIdSector, marked_disk::kSizeCode,
                                                id, sizeof id);
    Check(marked == (bytes == marked_disk::kIdSectorSize && id[marked_disk::kMarkerOffset] ==
                                                              marked_disk::kMarker));
    // An absent ID sector is put down to its track only where the reader
    // counts the track absent.
    using Finding = marked_disk::MarkerCheck::Finding;
    std::int32_t position = 0;
    const bool trackFound =
        image.LookUpTrack(marked_disk::kIdTrack, &position) == D88Image::TrackLookup::kFound;
    Check((check.finding == Finding::kTrackAbsent) == (bytes == 0 && !trackFound));
    Check((check.finding == Finding::kNoSector) == (bytes == 0 && trackFound));
    for (const marked_disk::Block& b : marked_disk::kBlocks) {
      RunRead read;
      marked_disk::ReadBlock(image, b, block, &read);
      CheckRun(image, b.track, marked_disk::CylinderOf(b.track), marked_disk::HeadOf(b.track),
               b.firstSector, marked_disk::kSizeCode, b.size, read);
    }
    // Runs of any shape, under a sector range from the input.
    image.SetSectorRange(in.ConsumeIntegralInRange(0, 2), in.ConsumeIntegralInRange(8, 30));
    for (int k = 0; k < 4 && in.remaining_bytes() > 0; ++k) {
      const std::int32_t track = in.ConsumeIntegralInRange(-1, 165);
      const std::int32_t c = in.ConsumeIntegralInRange(0, 90);
      const std::int32_t h = in.ConsumeIntegralInRange(0, 1);
      const std::int32_t r = in.ConsumeIntegralInRange(0, 30);
      const std::int32_t n = in.ConsumeIntegralInRange(-1, 4);
      const std::int32_t length = in.ConsumeIntegralInRange(-2, 30000);
      std::vector<std::uint8_t> buffer(length > 0 ? static_cast<std::size_t>(length) : 0);
      RunRead read;
      marked_disk::ReadRun(image, track, c, h, r, n, buffer.data(), length, &read);
      CheckRun(image, track, c, h, r, n, length, read);
    }
  }
  image.Open(nullptr);
  return 0;
}
