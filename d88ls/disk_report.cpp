#include "disk_report.h"

#include <cstdio>

#include "block_table.h"
#include "d88image/d88_format.h"
#include "disk_step.h"

namespace d88ls {
namespace {

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
  std::putchar('"');
  for (const char* p = text; *p != '\0'; ++p) {
    const unsigned char byte = static_cast<unsigned char>(*p);
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      std::putchar(byte);
    } else {
      std::printf("\\x%02X", byte);
    }
  }
  std::putchar('"');
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
  std::printf("size %d", static_cast<int>(size));
  // A file of 2^31 bytes or more is reported as 2^31 - 1, where no size
  // field can run past its end.
  if (size < 0) {
    std::printf(" is negative: the next disk starts before this one");
  } else if (size > fileSize - image.GetDiskStart()) {
    std::printf(" runs past the end of the file (%d bytes)", static_cast<int>(fileSize));
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

// Why the reader counts `track` as absent ("its entry is 0"), written into
// `reason`; nullptr where it finds the track.
constexpr int kMaxReason = 96;
const char* AbsenceReason(const D88Image& image, std::int32_t track, char (&reason)[kMaxReason]) {
  const int entry = static_cast<int>(image.GetTrackOffset(track));
  std::int32_t position = 0;
  switch (image.LookUpTrack(track, &position)) {
    case D88Image::TrackLookup::kFound:
      return nullptr;
    case D88Image::TrackLookup::kPastDiskSize:
      std::snprintf(reason, sizeof reason, "its entry %d is past the disk size %d", entry,
                    static_cast<int>(image.GetDiskSize()));
      break;
    case D88Image::TrackLookup::kOutsideFile:
      std::snprintf(reason, sizeof reason, "its entry %d points outside the file", entry);
      break;
    case D88Image::TrackLookup::kNoEntry:
      std::snprintf(reason, sizeof reason, "its entry is 0");
      break;
    case D88Image::TrackLookup::kNoSuchTrack:
      std::snprintf(reason, sizeof reason, "a disk has no track %d", static_cast<int>(track));
      break;
    case D88Image::TrackLookup::kNoImage:
      std::snprintf(reason, sizeof reason, "no image is open");
      break;
  }
  return reason;
}

// Prints whether d88cut recognises the disk, and if not, why, naming the
// sector it reads and what it looks for there; returns whether it does.
bool PrintMarkerState(D88Image& image) {
  std::uint8_t idSector[d88cut::kIdSectorSize];
  const std::int32_t bytes = d88cut::ReadIdSector(image, idSector);
  const bool marked = d88cut::CarriesMarker(idSector, bytes);
  const int size = static_cast<int>(d88cut::kIdSectorSize);
  const int track = static_cast<int>(d88cut::kIdTrack);
  const int r = static_cast<int>(d88cut::kIdSector);
  const int n = static_cast<int>(d88cut::kSizeCode);
  if (marked) {
    std::printf("marked\n");
  } else if (bytes == 0) {
    char reason[kMaxReason];
    if (AbsenceReason(image, d88cut::kIdTrack, reason) != nullptr) {
      std::printf("unmarked: track %d is absent: %s\n", track, reason);
    } else {
      std::printf("unmarked: no sector C 0 H 0 R %d N %d on track %d\n", r, n, track);
    }
  } else if (bytes < d88cut::kIdSectorSize) {
    std::printf("unmarked: sector C 0 H 0 R %d N %d on track %d is short (%d of %d bytes)\n", r,
                n, track, static_cast<int>(bytes), size);
  } else {
    std::printf("unmarked: byte %d of sector C 0 H 0 R %d N %d on track %d is 0x%02X, not 0x%02X ('%c')\n",
                static_cast<int>(d88cut::kMarkerOffset), r, n, track,
                idSector[d88cut::kMarkerOffset], d88cut::kMarker, d88cut::kMarker);
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
    std::printf("%s%s %d", separator, names[part], id[part]);
    separator = " ";
  }
  std::putchar(')');
}

// One track: its sectors' R numbers in storage order, with C, H or N added
// where they differ from the track's (C and H from the track index, N from
// its first sector); or why the reader counts it as absent.
void PrintTrack(D88Image& image, std::int32_t track) {
  const std::int32_t c = track >> 1;
  const std::int32_t h = track & 1;
  std::printf("  track %d (C %d H %d) at %d: ", static_cast<int>(track), static_cast<int>(c),
              static_cast<int>(h), static_cast<int>(image.GetTrackOffset(track)));
  char reason[kMaxReason];
  if (AbsenceReason(image, track, reason) != nullptr) {
    std::printf("absent: %s\n", reason);
    return;
  }
  std::uint8_t ids[4 * kMaxListedSectors];
  const std::int32_t count = image.GetSectorIds(track, ids, sizeof ids) / 4;
  if (count == 0) {
    std::printf("no sectors\n");
    return;
  }
  const std::int32_t n = ids[3];
  // A full buffer may have cut the listing short.
  const bool full = count == kMaxListedSectors;
  std::printf("%d%s sector%s, N %d:", static_cast<int>(count), full ? "+" : "",
              count == 1 ? "" : "s", static_cast<int>(n));
  for (std::int32_t k = 0; k < count; ++k) {
    const std::uint8_t* id = ids + 4 * k;
    std::printf(" %d", id[2]);
    PrintIdDifferences(id, c, h, n);
  }
  std::printf(full ? " ...\n" : "\n");
}

// One block as d88cut would cut it: "ok", or the first sector of its run
// that is missing or short, and why its track is absent if it is.
void PrintBlock(D88Image& image, const d88cut::Block& block) {
  static std::uint8_t data[d88cut::kWorkBufferSize];  // as large as d88cut's
  std::printf("  block %s: track %d (C %d H %d) R %d, %d bytes: ", block.name,
              static_cast<int>(block.track), static_cast<int>(block.c), static_cast<int>(block.h),
              static_cast<int>(block.r), static_cast<int>(block.size));
  const std::int32_t total = block.offset + block.size;
  const std::int32_t done = image.ReadSectors(block.track, block.c, block.h, block.r, block.n,
                                              data, total);
  if (done == total) {
    std::printf("ok\n");
    return;
  }
  // The run stopped at the sector after the `done` bytes it read in full:
  // found by taking the run's own steps from its first sector.
  const std::int32_t sectorSize = std::int32_t{128} << block.n;
  std::int32_t track = block.track;
  std::int32_t c = block.c;
  std::int32_t h = block.h;
  std::int32_t r = block.r;
  for (std::int32_t k = 0; k < done / sectorSize; ++k) {
    if (!image.StepRun(&track, &c, &h, &r)) {
      std::printf("the run leaves the sector numbers after R %d\n", static_cast<int>(r));
      return;
    }
  }
  const std::int32_t chunk = total - done < sectorSize ? total - done : sectorSize;
  const std::int32_t got = image.ReadSector(track, c, h, r, block.n, data, chunk);
  std::printf("%s sector track %d (C %d H %d) R %d", got == 0 ? "missing" : "short",
              static_cast<int>(track), static_cast<int>(c), static_cast<int>(h),
              static_cast<int>(r));
  char reason[kMaxReason];
  if (got != 0) {
    std::printf(" (%d of %d bytes)", static_cast<int>(got), static_cast<int>(chunk));
  } else if (AbsenceReason(image, track, reason) != nullptr) {
    std::printf(": track %d is absent: %s", static_cast<int>(track), reason);
  }
  std::putchar('\n');
}

}  // namespace

bool ReportDisk(D88Image& image, std::int32_t index, bool listTracks) {
  const std::int32_t media = image.GetMediaType();
  std::printf("disk %d: offset %d, name ", static_cast<int>(index),
              static_cast<int>(image.GetDiskStart()));
  PrintQuoted(image.GetDiskName());
  std::printf(", media 0x%02X%s, ", static_cast<unsigned>(media & 0xFF), MediaName(media));
  PrintSize(image);
  std::printf(", tracks %d, ", static_cast<int>(CountTracks(image)));
  const bool marked = PrintMarkerState(image);

  if (listTracks) {
    for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
      if (image.GetTrackOffset(t) != 0) PrintTrack(image, t);
    }
  }

  if (marked) {
    image.SetSectorRange(d88cut::kFirstSector, d88cut::kLastSector);
    d88cut::Block blocks[d88cut::kMaxBlocks];
    const std::int32_t count = d88cut::ListBlocks(blocks);
    for (std::int32_t i = 0; i < count; ++i) PrintBlock(image, blocks[i]);
  }
  return Plausible(image);
}

}  // namespace d88ls
