#ifndef EXTRACT_DISK_STEP_H
#define EXTRACT_DISK_STEP_H

#include <cstdint>

#include "d88image/d88image.h"

namespace d88cut {

// Every sector the tool reads goes into one buffer of this size, which also
// bounds what one block may span.
constexpr std::int32_t kWorkBufferSize = 400 * 1024;

// Looks at the disk selected in `image`: if it carries the marker, prints
// the recognition message and cuts every block of the marked disk into its
// file. A disk without the marker is passed over silently.
void ProcessDisk(D88Image& image);

// Reads `size` bytes from `offset` on of the sector run that starts at
// (track; c, h, r, n) and writes them as the file `name`, after printing the
// line that names it. Returns true if the file was written; false, silently,
// if the sectors cannot be read in full, or after saying why on standard
// error if the file cannot be written.
bool Extract(D88Image& image, const char* name, std::int32_t track, std::int32_t c,
             std::int32_t h, std::int32_t r, std::int32_t n, std::int32_t offset,
             std::int32_t size);

// True once any block's file was written.
bool AnyFileWritten();

}  // namespace d88cut

#endif  // EXTRACT_DISK_STEP_H
