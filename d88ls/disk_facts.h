#ifndef D88LS_DISK_FACTS_H
#define D88LS_DISK_FACTS_H

// What d88ls says of an image, a disk, a track or a block, worked out once
// for both of its listings (text and JSON) from what the reader and the
// marked disk's rule return. Reasons come as d88ls's words.

#include <cstdint>

#include "d88image/d88image.h"
#include "file_system/file_system.h"
#include "marked_disk/block_read.h"
#include "marked_disk/marker.h"

namespace d88ls {

// Room for any reason below.
constexpr int kMaxReason = 2048;

// Track listings hold up to this many sectors; a longer one is cut there.
constexpr std::int32_t kMaxListedSectors = 1024;

// Room for a disk's name as text: 16 bytes, each at most 4 ("\xHH", or a
// character of 2 bytes in Shift_JIS as 3 in UTF-8), and the NUL.
constexpr int kMaxNameText = 4 * 16 + 1;

// What is wrong with the selected disk's size field: a size that runs past
// the end of the file, or one that reads negative, which puts the next disk
// before this one.
enum class SizeProblem { kNone, kNegative, kPastEnd };
SizeProblem FindSizeProblem(const D88Image& image);

// "2D", "2DD", "2HD", "1D" or "1DD" for the media types that have a name;
// nullptr else.
const char* MediaName(std::int32_t mediaType);

// The media type the selected disk's tracks look like (d88_writer.h's
// ImpliedMediaType), and whether the header's names another: only a named
// media type of a disk with tracks can disagree.
struct TrackMedia {
  std::int32_t mediaType = -1;  // -1 for a disk without a track to read
  bool disagrees = false;
};
TrackMedia FindTrackMedia(D88Image& image);


// The number of tracks in the selected disk's track table.
std::int32_t CountTracks(const D88Image& image);


// Why the reader counts `track` as absent, as `lookup` says ("its entry is
// 0"), in `reason`.
const char* DescribeAbsence(const D88Image& image, std::int32_t track,
                            D88Image::TrackLookup lookup, char (&reason)[kMaxReason]);

// Why a disk is unmarked, from its marker check (nullptr for a marked one).
const char* DescribeUnmarked(const D88Image& image, const marked_disk::MarkerCheck& check,
                             char (&reason)[kMaxReason]);

// Why a block cannot be cut, from its read (nullptr for one read whole).
const char* DescribeNotCut(const D88Image& image, const marked_disk::RunRead& read,
                           char (&reason)[kMaxReason]);

// How the image marks a sector, by its status, or where that is none, by
// its deleted mark: "data CRC error", "deleted data", "status 0x31".
const char* DescribeMark(std::int32_t status, std::int32_t deletedMark, char (&words)[32]);

// A file's type and attributes in the user's language ("BASIC, read-only").
const char* DescribeFileType(const file_system::FileEntry& file, char (&words)[kMaxReason]);

// A file's path as text, in `text` (of file_system::kMaxPath bytes, each
// at most 4 as text), decoded as disk names are where `decode`.
constexpr int kMaxPathText = 4 * file_system::kMaxPath + 1;
const char* PathAsText(const file_system::FileEntry& file, bool decode, bool forListing,
                       char (&text)[kMaxPathText]);

// What is wrong with a file, or the file system, in words.
const char* DescribeFileProblem(const file_system::FileList& list,
                                const file_system::Problem& problem, bool decode,
                                char (&reason)[kMaxReason]);

// What the file holds after the selected disk, which is the last one
// listed: nothing, or `bytes` bytes, all 0x1A if `padding`. Counted only
// where the disk ends inside a file of less than 2 GiB.
struct Trailing {
  std::int32_t bytes = 0;
  bool padding = false;
};
Trailing FindTrailing(D88Image& image);

}  // namespace d88ls

#endif  // D88LS_DISK_FACTS_H
