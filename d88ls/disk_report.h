#ifndef D88LS_DISK_REPORT_H
#define D88LS_DISK_REPORT_H

#include <cstdint>

#include "d88image/d88image.h"

namespace d88ls {

// Prints what the selected disk of `image` (disk number `index`) holds, as
// lines on standard output: the disk's own line; with `listTracks`, one line
// per track in its table; and for a disk that d88cut recognises, one line
// per block it would write. Returns whether the disk is plausible: at least
// a header long by its size field, and within the file.
bool ReportDisk(D88Image& image, std::int32_t index, bool listTracks);

}  // namespace d88ls

#endif  // D88LS_DISK_REPORT_H
