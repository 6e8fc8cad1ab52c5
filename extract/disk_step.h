#ifndef EXTRACT_DISK_STEP_H
#define EXTRACT_DISK_STEP_H

#include <cstdint>

#include "d88image/d88image.h"

namespace d88cut {

// Every sector the tool reads goes into one buffer of this size, which also
// bounds what one block may span.
constexpr std::int32_t kWorkBufferSize = 400 * 1024;

// Reads the ID sector of the disk selected in `image` into `buffer` (at
// least kIdSectorSize bytes long); returns the bytes read, 0 if it is absent.
std::int32_t ReadIdSector(D88Image& image, std::uint8_t* buffer);

// Whether an ID sector read by ReadIdSector carries the tool's marker: it
// must be whole, with the marker byte in place.
bool CarriesMarker(const std::uint8_t* idSector, std::int32_t bytes);

// Looks at the disk selected in `image`: if it carries the marker, prints
// the recognition message and cuts every block of the block table into its
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

// True once any block was read but its file could not be written.
bool AnyOutputFailed();

// True once any block's file was written.
bool AnyFileWritten();

}  // namespace d88cut

#endif  // EXTRACT_DISK_STEP_H
