#include "disk_facts.h"

#include <cstdio>
#include <cstring>

#include "d88image/d88_format.h"
#include "d88image/d88_writer.h"
#include "marked_disk/block_table.h"
#include "messages.h"
#include "platform/name_text.h"
#include "platform/translation.h"

namespace d88ls {

using platform::Say;


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
    case 0x30: return "1D";
    case 0x40: return "1DD";
    default: return nullptr;
  }
}

TrackMedia FindTrackMedia(D88Image& image) {
  static D88Image::SectorRecord records[kMaxListedSectors];
  std::int32_t lastTrack = -1;
  std::int32_t largest = 0;
  bool doubleSided = false;
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    const std::int32_t count = image.GetSectorRecords(t, records, kMaxListedSectors);
    if (count == 0) continue;
    std::int32_t data = 0;
    for (std::int32_t k = 0; k < count; ++k) data += records[k].dataSize;
    if (data > largest) largest = data;
    lastTrack = t;
    if ((t & 1) != 0) doubleSided = true;
  }
  TrackMedia media;
  if (lastTrack < 0) return media;
  media.mediaType = d88::ImpliedMediaType(lastTrack / 2 + 1, doubleSided, largest);
  media.disagrees =
      MediaName(image.GetMediaType()) != nullptr && media.mediaType != image.GetMediaType();
  return media;
}


std::int32_t CountTracks(const D88Image& image) {
  std::int32_t count = 0;
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    if (image.GetTrackOffset(t) != 0) ++count;
  }
  return count;
}


const char* DescribeAbsence(const D88Image& image, std::int32_t track,
                            D88Image::TrackLookup lookup, char (&reason)[kMaxReason]) {
  const int entry = static_cast<int>(image.GetTrackOffset(track));
  reason[0] = '\0';
  switch (lookup) {
    case D88Image::TrackLookup::kFound:
      break;
    case D88Image::TrackLookup::kPastDiskSize:
      std::snprintf(reason, sizeof reason, Say(kEntryPastDiskSize), entry,
                    static_cast<int>(image.GetDiskSize()));
      break;
    case D88Image::TrackLookup::kOutsideFile:
      std::snprintf(reason, sizeof reason, Say(kEntryOutsideFile), entry);
      break;
    case D88Image::TrackLookup::kNoEntry:
      std::snprintf(reason, sizeof reason, "%s", Say(kEntryZero));
      break;
    case D88Image::TrackLookup::kNoSuchTrack:
      std::snprintf(reason, sizeof reason, Say(kNoSuchTrack), static_cast<int>(track));
      break;
    case D88Image::TrackLookup::kNoImage:
      std::snprintf(reason, sizeof reason, "%s", Say(kNoImage));
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
      std::snprintf(reason, sizeof reason, Say(kIdTrackAbsent), track,
                    DescribeAbsence(image, track, check.lookup, absence));
      break;
    case Finding::kNoSector:
      std::snprintf(reason, sizeof reason, Say(kNoIdSector), c, h, r, n, track);
      break;
    case Finding::kShortSector:
      std::snprintf(reason, sizeof reason, Say(kShortIdSector), c, h, r, n, track,
                    static_cast<int>(check.bytes), static_cast<int>(marked_disk::kIdSectorSize));
      break;
    case Finding::kOtherByte:
      std::snprintf(reason, sizeof reason, Say(kOtherByte), static_cast<int>(marked_disk::kMarkerOffset),
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
      std::snprintf(reason, sizeof reason, Say(kRunOutOfNumbers), r);
      break;
    case Stop::kShort:
      std::snprintf(reason, sizeof reason, Say(kShortSector), track, c, h, r,
                    static_cast<int>(read.sectorBytes), static_cast<int>(read.wanted));
      break;
    case Stop::kMissing:
      if (read.lookup == D88Image::TrackLookup::kFound) {
        std::snprintf(reason, sizeof reason, Say(kMissingSector), track, c, h, r);
      } else {
        std::snprintf(reason, sizeof reason, Say(kMissingOnAbsentTrack), track, c, h, r, track,
                      DescribeAbsence(image, read.track, read.lookup, absence));
      }
      break;
  }
  return reason;
}

const char* DescribeMark(std::int32_t status, std::int32_t deletedMark, char (&words)[32]) {
  if (const char* name = d88::MarkName(status, deletedMark)) return Say(name);
  const bool byStatus = status != d88::kStatusNone;
  std::snprintf(words, sizeof words, Say(byStatus ? kStatusByte : kDeletedMarkByte),
                static_cast<unsigned>(byStatus ? status : deletedMark));
  return words;
}

const char* DescribeFileType(const file_system::FileEntry& file, char (&words)[kMaxReason]) {
  const char* type = kTypeFile;
  switch (file.type) {
    case file_system::FileType::kFile: type = kTypeFile; break;
    case file_system::FileType::kFolder: type = kTypeFolder; break;
    case file_system::FileType::kBasic: type = kTypeBasic; break;
    case file_system::FileType::kAscii: type = kTypeAscii; break;
    case file_system::FileType::kMachineCode: type = kTypeMachineCode; break;
    case file_system::FileType::kData: type = kTypeData; break;
  }
  static constexpr const char* kAttributes[file_system::kAttributeCount] = {
      kAttributeReadOnly, kAttributeHidden,        kAttributeSystem,       kAttributeArchive,
      kAttributeVerify,   kAttributeProtectedSave, kAttributeRandomAccess, kAttributePassword};
  std::snprintf(words, sizeof words, "%s", Say(type));
  for (std::int32_t k = 0; k < file_system::kAttributeCount; ++k) {
    if ((file.attributes & (1u << k)) == 0) continue;
    const std::size_t used = std::strlen(words);
    std::snprintf(words + used, sizeof words - used, "%s%s", Say(kNoteSeparator),
                  Say(kAttributes[k]));
  }
  return words;
}

const char* PathAsText(const file_system::FileEntry& file, bool decode, bool forListing,
                       char (&text)[kMaxPathText]) {
  return platform::NameAsText(file.path, file.pathLength, decode, forListing, text, sizeof text);
}

const char* DescribeFileProblem(const file_system::FileList& list,
                                const file_system::Problem& problem, bool decode,
                                char (&reason)[kMaxReason]) {
  using Kind = file_system::Problem::Kind;
  char path[kMaxPathText];
  const char* name = problem.file >= 0 && problem.file < list.fileCount
                         ? PathAsText(list.files[problem.file], decode, true, path)
                         : Say(kTheDirectory);
  const int value = static_cast<int>(problem.value);
  const char* format = kChainLoops;
  switch (problem.kind) {
    case Kind::kChainLoops: format = kChainLoops; break;
    case Kind::kChainPastEnd: format = kChainPastEnd; break;
    case Kind::kChainEndsEarly: format = kChainEndsEarly; break;
    case Kind::kSizeBeyondChain: format = kSizeBeyondChain; break;
    case Kind::kSectorMissing: format = kSectorMissing; break;
    case Kind::kBadName:
      std::snprintf(reason, sizeof reason, Say(kBadName), name);
      return reason;
    case Kind::kFolderLoops:
      std::snprintf(reason, sizeof reason, Say(kFolderLoops), name);
      return reason;
    case Kind::kTooManyFiles:
      std::snprintf(reason, sizeof reason, Say(kTooManyFiles), value);
      return reason;
    case Kind::kPathTooLong:
      std::snprintf(reason, sizeof reason, Say(kPathTooLong), value);
      return reason;
  }
  std::snprintf(reason, sizeof reason, Say(format), name, value);
  return reason;
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
