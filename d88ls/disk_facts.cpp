#include "disk_facts.h"

#include <cstdio>
#include <cstring>

#include "d88image/d88_format.h"
#include "marked_disk/block_table.h"
#include "messages.h"

namespace d88ls {

const char* DescribeOpenFailure(const d88::OpenFailure& failure, char (&reason)[kMaxReason]) {
  const char* kind = nullptr;
  switch (failure.kind) {
    case d88::FileKind::kNone:
      std::snprintf(reason, sizeof reason, "%s", std::strerror(failure.error));
      return reason;
    case d88::FileKind::kFolder: kind = kAFolder; break;
    case d88::FileKind::kDevice: kind = kADevice; break;
    case d88::FileKind::kFifo: kind = kAFifo; break;
    case d88::FileKind::kSocket: kind = kASocket; break;
    case d88::FileKind::kOther: kind = kNotAFile; break;
  }
  std::snprintf(reason, sizeof reason, kNotARegularFile, kind);
  return reason;
}

SizeProblem FindSizeProblem(const D88Image& image) {
  const std::int32_t size = image.GetDiskSize();
  // A file of 2^31 bytes or more is held as 2^31 - 1, past whose end no
  // size field can run.
  if (size < 0) return SizeProblem::kNegative;
  if (size > image.GetImageFileSize() - image.GetDiskStart()) return SizeProblem::kPastEnd;
  return SizeProblem::kNone;
}

const char* MediaName(std::int32_t mediaType) {
  switch (mediaType) {
    case 0x00: return "2D";
    case 0x10: return "2DD";
    case 0x20: return "2HD";
    default: return nullptr;
  }
}

std::int32_t CountTracks(const D88Image& image) {
  std::int32_t count = 0;
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    if (image.GetTrackOffset(t) != 0) ++count;
  }
  return count;
}

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

const char* DescribeAbsence(const D88Image& image, std::int32_t track,
                            D88Image::TrackLookup lookup, char (&reason)[kMaxReason]) {
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

const char* DescribeUnmarked(const D88Image& image, const marked_disk::MarkerCheck& check,
                             char (&reason)[kMaxReason]) {
  using Finding = marked_disk::MarkerCheck::Finding;
  const int track = marked_disk::kIdTrack;
  const int c = marked_disk::CylinderOf(marked_disk::kIdTrack);
  const int h = marked_disk::HeadOf(marked_disk::kIdTrack);
  const int r = marked_disk::kIdSector;
  const int n = marked_disk::kSizeCode;
  char absence[kMaxReason];
  switch (check.finding) {
    case Finding::kMarked:
      return nullptr;
    case Finding::kTrackAbsent:
      std::snprintf(reason, sizeof reason, kIdTrackAbsent, track,
                    DescribeAbsence(image, track, check.lookup, absence));
      break;
    case Finding::kNoSector:
      std::snprintf(reason, sizeof reason, kNoIdSector, c, h, r, n, track);
      break;
    case Finding::kShortSector:
      std::snprintf(reason, sizeof reason, kShortIdSector, c, h, r, n, track,
                    static_cast<int>(check.bytes), static_cast<int>(marked_disk::kIdSectorSize));
      break;
    case Finding::kOtherByte:
      std::snprintf(reason, sizeof reason, kOtherByte, static_cast<int>(marked_disk::kMarkerOffset),
                    c, h, r, n, track, check.byte, marked_disk::kMarker, marked_disk::kMarker);
      break;
  }
  return reason;
}

const char* DescribeNotCut(const D88Image& image, const marked_disk::RunRead& read,
                           char (&reason)[kMaxReason]) {
  using Stop = marked_disk::RunRead::Stop;
  const int track = static_cast<int>(read.track);
  const int c = static_cast<int>(read.c);
  const int h = static_cast<int>(read.h);
  const int r = static_cast<int>(read.r);
  char absence[kMaxReason];
  switch (read.stop) {
    case Stop::kNone:
      return nullptr;
    case Stop::kOutOfNumbers:
      std::snprintf(reason, sizeof reason, kRunOutOfNumbers, r);
      break;
    case Stop::kShort:
      std::snprintf(reason, sizeof reason, kShortSector, track, c, h, r,
                    static_cast<int>(read.sectorBytes), static_cast<int>(read.wanted));
      break;
    case Stop::kMissing:
      if (read.lookup == D88Image::TrackLookup::kFound) {
        std::snprintf(reason, sizeof reason, kMissingSector, track, c, h, r);
      } else {
        std::snprintf(reason, sizeof reason, kMissingOnAbsentTrack, track, c, h, r, track,
                      DescribeAbsence(image, read.track, read.lookup, absence));
      }
      break;
  }
  return reason;
}

const char* DescribeMark(std::int32_t status, std::int32_t deletedMark, char (&words)[32]) {
  if (const char* name = d88::MarkName(status, deletedMark)) return name;
  const bool byStatus = status != d88::kStatusNone;
  std::snprintf(words, sizeof words, byStatus ? kStatusByte : kDeletedMarkByte,
                static_cast<unsigned>(byStatus ? status : deletedMark));
  return words;
}

Trailing FindTrailing(D88Image& image) {
  Trailing trailing;
  const std::int32_t fileSize = image.GetImageFileSize();
  std::int32_t end = 0;
  if (image.GetDiskSize() < d88::kDiskHeaderSize || fileSize == d88::kInt32Max ||
      !d88::AddToPosition(image.GetDiskStart(), image.GetDiskSize(), &end) || end >= fileSize) {
    return trailing;
  }
  trailing.bytes = fileSize - end;
  trailing.padding = true;
  std::uint8_t part[4096];
  for (std::int32_t at = end; at < fileSize && trailing.padding;) {
    const std::int32_t got = image.ReadImageBytes(at, part, sizeof part);
    if (got <= 0) break;
    for (std::int32_t k = 0; k < got; ++k) trailing.padding = trailing.padding && part[k] == 0x1A;
    at += got;
  }
  return trailing;
}

}  // namespace d88ls
