#include "disk_step.h"

#include <cstdio>
#include <cstring>

#include "block_table.h"
#include "messages.h"
#include "output_file.h"
#include "standard_output.h"

namespace d88cut {
namespace {

// Every read goes to the start of this buffer, overwriting the last one.
std::uint8_t workBuffer[kWorkBufferSize];
bool outputFailed = false;
bool fileWritten = false;

}  // namespace

bool Extract(D88Image& image, const char* name, std::int32_t track, std::int32_t c,
             std::int32_t h, std::int32_t r, std::int32_t n, std::int32_t offset,
             std::int32_t size) {
  if (offset < 0 || size < 0 || offset > kWorkBufferSize - size) return false;
  const std::int32_t total = offset + size;
  if (image.ReadSectors(track, c, h, r, n, workBuffer, total) != total) return false;

  // The line goes out before the file is created.
  PrintNow("cutting ... %s\n", name);
  int error = 0;
  if (!WriteFileReplacing(name, workBuffer + offset, size, &error)) {
    std::fprintf(stderr, "d88cut: cannot write %s: %s\n", name, std::strerror(error));
    outputFailed = true;
    return false;
  }
  fileWritten = true;
  return true;
}

std::int32_t ReadIdSector(D88Image& image, std::uint8_t* buffer) {
  return image.ReadSector(kIdTrack, 0, 0, kIdSector, kSizeCode, buffer, kIdSectorSize);
}

bool CarriesMarker(const std::uint8_t* idSector, std::int32_t bytes) {
  return bytes == kIdSectorSize && idSector[kMarkerOffset] == kMarker;
}

void ProcessDisk(D88Image& image) {
  image.SetSectorRange(kFirstSector, kLastSector);
  if (!CarriesMarker(workBuffer, ReadIdSector(image, workBuffer))) return;

  PrintMessageNow(kRecognitionMessage);
  Block blocks[kMaxBlocks];
  const std::int32_t count = ListBlocks(blocks);
  // A block that cannot be read is skipped; the later ones are still tried.
  for (std::int32_t i = 0; i < count; ++i) {
    const Block& b = blocks[i];
    Extract(image, b.name, b.track, b.c, b.h, b.r, b.n, b.offset, b.size);
  }
}

bool AnyOutputFailed() { return outputFailed; }

bool AnyFileWritten() { return fileWritten; }

}  // namespace d88cut
