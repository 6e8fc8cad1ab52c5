#include "disk_step.h"

#include <cstdio>
#include <cstring>

#include "d88image/d88_format.h"
#include "marked_disk/block_read.h"
#include "marked_disk/block_table.h"
#include "marked_disk/marker.h"
#include "messages.h"
#include "platform/output_file.h"
#include "platform/tool_output.h"
#include "platform/translation.h"

namespace d88cut {
namespace {

using platform::Say;

// Every read goes to the start of this buffer, overwriting the last one.
std::uint8_t workBuffer[kWorkBufferSize];
bool fileWritten = false;

// How the image marks a sector: by its status, or where that is none, by
// its deleted mark.
const char* MarkName(const marked_disk::MarkedSector& sector, char (&unnamed)[32]) {
  if (const char* name = d88::MarkName(sector.status, sector.deletedMark)) return Say(name);
  const bool byStatus = sector.status != d88::kStatusNone;
  std::snprintf(unnamed, sizeof unnamed, Say(byStatus ? kStatusByte : kDeletedMarkByte),
                static_cast<unsigned>(byStatus ? sector.status : sector.deletedMark));
  return unnamed;
}

// Says that the block `name` was cut from sectors the image marks.
void WarnOfMarks(const char* name, const marked_disk::RunRead& read) {
  if (read.markedCount == 0) return;
  const marked_disk::MarkedSector& first = read.marked[0];
  char unnamed[32];
  char reason[512];
  std::snprintf(reason, sizeof reason, Say(read.markedCount == 1 ? kMarkedSector : kMarkedSectors),
                static_cast<int>(first.c), static_cast<int>(first.h), static_cast<int>(first.r),
                static_cast<int>(first.track), MarkName(first, unnamed),
                static_cast<int>(read.markedCount - 1));
  platform::ReportWarning(reason, "%s", name);
}

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

  // The line goes out before the file is created; its words are fixed,
  // whatever the user's language, and so given as they stand.
  char line[64];
  std::snprintf(line, sizeof line, kCutting, name);
  platform::PrintNow("%s", line);
  int error = 0;
  if (!platform::WriteFileReplacing(name, workBuffer + offset, size, &error)) {
    platform::ReportError(std::strerror(error), kCannotWrite, name);
    return false;
  }
  fileWritten = true;
  WarnOfMarks(name, read);
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
