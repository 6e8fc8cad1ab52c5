#ifndef PLATFORM_OUTPUT_FILE_H
#define PLATFORM_OUTPUT_FILE_H

#include <cstdint>

namespace platform {

// Writes `size` bytes as the file `name` in the current folder. The bytes go
// to a temporary file beside it first, which then takes the name's place:
// a failed or cut-short write leaves the earlier file of that name as it
// was, a symbolic link of that name is replaced rather than written through,
// and no temporary file stays behind. On failure returns false with the
// system's error number in `*error`.
bool WriteFileReplacing(const char* name, const std::uint8_t* data, std::int32_t size,
                        int* error);

}  // namespace platform

#endif  // PLATFORM_OUTPUT_FILE_H
