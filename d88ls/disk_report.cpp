#include "disk_report.h"

#include <cstdio>

#include "d88image/d88_format.h"
#include "marked_disk/block_read.h"
#include "marked_disk/block_table.h"
#include "marked_disk/marker.h"
#include "messages.h"
#include "platform/tool_output.h"

namespace d88ls {
namespace {

using platform::Print;

// Track listings hold up to this many sectors; a longer one is cut there.
constexpr std::int32_t kMaxListedSectors = 1024;

const char* MediaName(std::int32_t mediaType) {
  switch (mediaType) {
    case 0x00: return " 2D";
    case 0x10: return " 2DD";
    case 0x20: return " 2HD";
    default: return "";
  }
}

// Printable ASCII as it is, anything else (and the quote and backslash,
// which would make the text ambiguous) as \xHH.
void PrintQuoted(const char* text) {
  Print("\"");
  for (const char* p = text; *p != '\0'; ++p) {
    const unsigned char byte = static_cast<unsigned char>(*p);
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      Print("%c", byte);
    } else {
      Print("\\x%02X", byte);
    }
  }
  Print("\"");
}

std::int32_t CountTracks(const D88Image& image) {
  std::int32_t count = 0;
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    if (image.GetTrackOffset(t) != 0) ++count;
  }
  return count;
}

// The disk's size field, and what is wrong with it: a size that runs past
// the end of the file, or one that reads negative, which puts the next
// disk before this one.
void PrintSize(const D88Image& image) {
  const std::int32_t size = image.GetDiskSize();
  const std::int32_t fileSize = image.GetImageFileSize();
  Print(kSize, static_cast<int>(size));
  // A file of 2^31 bytes or more is reported as 2^31 - 1, where no size
  // field can run past its end.
  if (size < 0) {
    Print(kSizeNegative);
  } else if (size > fileSize - image.GetDiskStart()) {
    Print(kSizePastEnd, static_cast<int>(fileSize));
  }
}

// Whether the disk could be what its header says: at least a header long,
// and within the file, or if the file was cut short, still with a track to
// read.
bool Plausible(D88Image& image) {
  const std::int32_t size = image.GetDiskSize();
  if (size < d88::kDiskHeaderSize) return false;
  if (size <= image.GetImageFileSize() - image.GetDiskStart()) return true;
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    std::uint8_t id[4];
    if (image.GetSectorIds(t, id, sizeof id) == sizeof id) return true;
  }
  return false;
}

// Why the reader counts `track` as absent, as `lookup` says ("its entry is
// 0"), written into `reason`.
constexpr int kMaxReason = 96;
const char* AbsenceReason(const D88Image& image, std::int32_t track, D88Image::TrackLookup lookup,
                          char (&reason)[kMaxReason]) {
  const int entry = static_cast<int>(image.GetTrackOffset(track));
  reason[0] = '\0';
  switch (lookup) {
    case D88Image::TrackLookup::kFound:
      break;
    case D88Image::TrackLookup::kPastDiskSize:
      std::snprintf(reason, sizeof reason, kEntryPastDiskSize, entry,
                    static_cast<int>(image.GetDiskSize()));
      break;
    case D88Image::TrackLookup::kOutsideFile:
      std::snprintf(reason, sizeof reason, kEntryOutsideFile, entry);
      break;
    case D88Image::TrackLookup::kNoEntry:
      std::snprintf(reason, sizeof reason, "%s", kEntryZero);
      break;
    case D88Image::TrackLookup::kNoSuchTrack:
      std::snprintf(reason, sizeof reason, kNoSuchTrack, static_cast<int>(track));
      break;
    case D88Image::TrackLookup::kNoImage:
      std::snprintf(reason, sizeof reason, "%s", kNoImage);
      break;
  }
  return reason;
}

// Whether d88cut recognises the disk, and if not, why, naming the sector it
// reads and what it looks for there; returns whether it does.
bool PrintMarkerState(D88Image& image) {
  using marked_disk::MarkerCheck;
  MarkerCheck check;
  const bool marked = marked_disk::CheckMarker(image, &check);
  const int track = marked_disk::kIdTrack;
  const int c = marked_disk::CylinderOf(marked_disk::kIdTrack);
  const int h = marked_disk::HeadOf(marked_disk::kIdTrack);
  const int r = marked_disk::kIdSector;
  const int n = marked_disk::kSizeCode;
  char reason[kMaxReason];
  switch (check.finding) {
    case MarkerCheck::Finding::kMarked:
      Print(kMarked);
      break;
    case MarkerCheck::Finding::kTrackAbsent:
      Print(kUnmarkedTrackAbsent, track, AbsenceReason(image, track, check.lookup, reason));
      break;
    case MarkerCheck::Finding::kNoSector:
      Print(kUnmarkedNoSector, c, h, r, n, track);
      break;
    case MarkerCheck::Finding::kShortSector:
      Print(kUnmarkedShort, c, h, r, n, track, static_cast<int>(check.bytes),
            static_cast<int>(marked_disk::kIdSectorSize));
      break;
    case MarkerCheck::Finding::kOtherByte:
      Print(kUnmarkedOtherByte, static_cast<int>(marked_disk::kMarkerOffset), c, h, r, n, track,
            check.byte, marked_disk::kMarker, marked_disk::kMarker);
      break;
  }
  return marked;
}

// "(C 3 N 2)", after the R it follows, for the parts of a sector's ID that
// differ from its track's.
void PrintIdDifferences(const std::uint8_t* id, std::int32_t c, std::int32_t h, std::int32_t n) {
  if (id[0] == c && id[1] == h && id[3] == n) return;
  const char* separator = "(";
  const char* names[] = {"C", "H", nullptr, "N"};
  const std::int32_t expected[] = {c, h, 0, n};
  const int comparedParts[] = {0, 1, 3};  // R is what the listing shows
  for (const int part : comparedParts) {
    if (id[part] == expected[part]) continue;
    Print("%s%s %d", separator, names[part], id[part]);
    separator = " ";
  }
  Print(")");
}

// One track: its sectors' R numbers in storage order, with C, H or N added
// where they differ from the track's (C and H from the track index, N from
// its first sector); or why the reader counts it as absent.
void PrintTrack(D88Image& image, std::int32_t track) {
  const std::int32_t c = marked_disk::CylinderOf(track);
  const std::int32_t h = marked_disk::HeadOf(track);
  Print(kTrack, static_cast<int>(track), static_cast<int>(c), static_cast<int>(h),
        static_cast<int>(image.GetTrackOffset(track)));
  std::int32_t position = 0;
  const D88Image::TrackLookup lookup = image.LookUpTrack(track, &position);
  if (lookup != D88Image::TrackLookup::kFound) {
    char reason[kMaxReason];
    Print(kTrackAbsent, AbsenceReason(image, track, lookup, reason));
    return;
  }
  std::uint8_t ids[4 * kMaxListedSectors];
  const std::int32_t count = image.GetSectorIds(track, ids, sizeof ids) / 4;
  if (count == 0) {
    Print(kNoSectors);
    return;
  }
  const std::int32_t n = ids[3];
  // A full buffer may have cut the listing short.
  const bool full = count == kMaxListedSectors;
  Print(full ? kSectorsAndMore : count == 1 ? kOneSector : kSectors, static_cast<int>(count),
        static_cast<int>(n));
  for (std::int32_t k = 0; k < count; ++k) {
    const std::uint8_t* id = ids + 4 * k;
    Print(" %d", id[2]);
    PrintIdDifferences(id, c, h, n);
  }
  Print("%s\n", full ? kAndMore : "");
}

// One block as d88cut would cut it: "ok", or the first sector of its run
// that is missing or short, and why its track is absent if it is.
void PrintBlock(D88Image& image, const marked_disk::Block& block) {
  static std::uint8_t data[marked_disk::LargestBlockSize()];
  Print(kBlock, block.name, static_cast<int>(block.track),
        static_cast<int>(marked_disk::CylinderOf(block.track)),
        static_cast<int>(marked_disk::HeadOf(block.track)), static_cast<int>(block.firstSector),
        static_cast<int>(block.size));
  marked_disk::RunRead read;
  marked_disk::ReadBlock(image, block, data, &read);
  const int track = static_cast<int>(read.track);
  const int c = static_cast<int>(read.c);
  const int h = static_cast<int>(read.h);
  const int r = static_cast<int>(read.r);
  char reason[kMaxReason];
  switch (read.stop) {
    case marked_disk::RunRead::Stop::kNone:
      Print(kBlockOk);
      break;
    case marked_disk::RunRead::Stop::kOutOfNumbers:
      Print(kRunOutOfNumbers, r);
      break;
    case marked_disk::RunRead::Stop::kShort:
      Print(kShortSector, track, c, h, r, static_cast<int>(read.sectorBytes),
            static_cast<int>(read.wanted));
      break;
    case marked_disk::RunRead::Stop::kMissing:
      if (read.lookup == D88Image::TrackLookup::kFound) {
        Print(kMissingSector, track, c, h, r);
      } else {
        Print(kMissingOnAbsentTrack, track, c, h, r, track,
              AbsenceReason(image, read.track, read.lookup, reason));
      }
      break;
  }
}

}  // namespace

bool ReportDisk(D88Image& image, std::int32_t index, bool listTracks) {
  const std::int32_t media = image.GetMediaType();
  Print(kDisk, static_cast<int>(index), static_cast<int>(image.GetDiskStart()));
  PrintQuoted(image.GetDiskName());
  Print(kMedia, static_cast<unsigned>(media & 0xFF), MediaName(media));
  PrintSize(image);
  Print(kTracks, static_cast<int>(CountTracks(image)));
  const bool marked = PrintMarkerState(image);

  if (listTracks) {
    for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
      if (image.GetTrackOffset(t) != 0) PrintTrack(image, t);
    }
  }
  if (marked) {
    for (const marked_disk::Block& block : marked_disk::kBlocks) PrintBlock(image, block);
  }
  return Plausible(image);
}

}  // namespace d88ls
