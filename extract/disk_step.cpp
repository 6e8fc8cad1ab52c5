#include "disk_step.h"

#include <cstring>

#include "marked_disk/block_read.h"
#include "marked_disk/block_table.h"
#include "marked_disk/marker.h"
#include "messages.h"
#include "platform/output_file.h"
#include "platform/tool_output.h"

namespace d88cut {
namespace {

// Every read goes to the start of this buffer, overwriting the last one.
std::uint8_t workBuffer[kWorkBufferSize];
bool fileWritten = false;

}  // namespace

bool Extract(D88Image& image, const char* name, std::int32_t track, std::int32_t c,
             std::int32_t h, std::int32_t r, std::int32_t n, std::int32_t offset,
             std::int32_t size) {
  if (offset < 0 || size < 0 || offset > kWorkBufferSize - size) return false;
  const std::int32_t total = offset + size;
  marked_disk::RunRead read;
  if (marked_disk::ReadRun(image, track, c, h, r, n, workBuffer, total, &read) != total) {
    return false;
  }

  // The line goes out before the file is created.
  platform::PrintNow(kCutting, name);
  int error = 0;
  if (!platform::WriteFileReplacing(name, workBuffer + offset, size, &error)) {
    platform::ReportError(std::strerror(error), kCannotWrite, name);
    return false;
  }
  fileWritten = true;
  return true;
}

void ProcessDisk(D88Image& image) {
  image.SetSectorRange(marked_disk::kFirstSector, marked_disk::kLastSector);
  marked_disk::MarkerCheck check;
  if (!marked_disk::CheckMarker(image, &check)) return;

  platform::PrintMessageNow(kRecognised);
  // A block that cannot be read is skipped; the later ones are still tried.
  for (const marked_disk::Block& block : marked_disk::kBlocks) {
    Extract(image, block.name, block.track, marked_disk::CylinderOf(block.track),
            marked_disk::HeadOf(block.track), block.firstSector, marked_disk::kSizeCode, 0,
            block.size);
  }
}

bool AnyFileWritten() { return fileWritten; }

}  // namespace d88cut
