// d88ls's listing for people: a line per disk, and beneath it a line per
// track (with -t) and per block of a marked disk.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "d88image/d88_format.h"
#include "listing.h"
#include "file_system/file_system.h"
#include "marked_disk/block_read.h"
#include "marked_disk/block_table.h"
#include "marked_disk/marker.h"
#include "messages.h"
#include "platform/image_words.h"
#include "platform/name_text.h"
#include "platform/tool_output.h"
#include "platform/translation.h"

namespace d88ls {
namespace {

// The files of the disk being listed: of namespace scope, which needs no
// guard of the C++ run-time as a function's static would.
file_system::FileList diskFiles;

using platform::Print;
using platform::Say;

// The name as text where it reaches its reader as UTF-8, its Shift_JIS
// decoded; elsewhere, as ever, printable ASCII and \xHH for the rest.
void PrintQuoted(const char* name) {
  char text[kMaxNameText];
  Print("\"%s\"", platform::NameAsText(reinterpret_cast<const std::uint8_t*>(name),
                                       static_cast<std::int32_t>(std::strlen(name)),
                                       platform::WritesUtf8(stdout), true, text, sizeof text));
}

void PrintSize(const D88Image& image) {
  Print(kSize, static_cast<int>(image.GetDiskSize()));
  switch (FindSizeProblem(image)) {
    case SizeProblem::kNegative:
      Print(kSizeNegative);
      break;
    case SizeProblem::kPastEnd:
      Print(kSizePastEnd, static_cast<int>(image.GetImageFileSize()));
      break;
    case SizeProblem::kNone:
      break;
  }
}

// A sector in a track's listing, added to `line`: its R, and in
// parentheses the parts of its ID that differ from its track's, "5(C 9 N 2)".
class SectorList {
 public:
  void Add(const D88Image::SectorRecord& record, std::int32_t c, std::int32_t h, std::int32_t n) {
    Append(" %d", record.r);
    if (record.c == c && record.h == h && record.n == n) return;
    const char* separator = "(";
    const struct {
      const char* name;
      std::int32_t value;
      std::int32_t expected;
    } parts[] = {{"C", record.c, c}, {"H", record.h, h}, {"N", record.n, n}};
    for (const auto& part : parts) {
      if (part.value == part.expected) continue;
      Append(separator, 0);
      Append(part.name, 0);
      Append(" %d", part.value);
      separator = " ";
    }
    Append(")", 0);
  }
  // The list so far, emptied for the next.
  const char* Take() {
    used_ = 0;
    return text_;
  }

 private:
  void Append(const char* format, std::int32_t value) {
    const int written =
        std::snprintf(text_ + used_, sizeof text_ - used_, format, static_cast<int>(value));
    if (written > 0) used_ = std::min(sizeof text_ - 1, used_ + static_cast<std::size_t>(written));
  }
  // Every sector a listing holds, at its longest: " 255(C 255 H 255 N 255)".
  char text_[24 * kMaxListedSectors] = {};
  std::size_t used_ = 0;
};

// Words joined by ", ", for the notes on a sector or a track.
class Words {
 public:
  // `word` in the user's language.
  void Add(const char* word) {
    const std::size_t used = std::strlen(text_);
    std::snprintf(text_ + used, sizeof text_ - used, "%s%s", used == 0 ? "" : Say(kNoteSeparator),
                  Say(word));
  }
  void AddNumber(const char* format, std::int32_t value) {
    char word[64];
    std::snprintf(word, sizeof word, Say(format), static_cast<int>(value));
    Add(word);
  }
  bool Empty() const { return text_[0] == '\0'; }
  const char* Text() const { return text_; }

 private:
  char text_[512] = {};
};

// What every sector of a track shares, and so is said of the track.
struct Shared {
  bool density;
  bool deletedMark;
  bool status;
  bool dataSize;
};

// A sector's data size where it differs from the nominal size of its N.
bool OddDataSize(const D88Image::SectorRecord& record) {
  return record.n <= d88::kMaxSizeCode && record.dataSize != std::int32_t{128} << record.n;
}

// How the image says a sector was read, and the size of its data where
// odd, but for what its track shares.
void AddNotes(const D88Image::SectorRecord& record, const Shared& shared, Words* words) {
  if (!shared.density && record.density != d88::kDoubleDensity) {
    if (record.density == d88::kSingleDensity) {
      words->Add(kSingleDensity);
    } else {
      words->AddNumber(kDensityByte, record.density);
    }
  }
  const bool deleted = !shared.deletedMark && record.deletedMark != 0;
  if (deleted) {
    if (record.deletedMark == d88::kDeletedData) {
      words->Add(kDeletedData);
    } else {
      words->AddNumber(kDeletedMarkByte, record.deletedMark);
    }
  }
  // A deleted mark and the status of the same name are said once.
  if (!shared.status && record.status != d88::kStatusNone &&
      !(deleted && record.deletedMark == d88::kDeletedData && record.status == d88::kDeletedData)) {
    if (const char* name = d88::StatusName(record.status)) {
      words->Add(name);
    } else {
      words->AddNumber(kStatusByte, record.status);
    }
  }
  if (!shared.dataSize && OddDataSize(record)) {
    char size[64];
    std::snprintf(size, sizeof size, Say(kDataSizeDiffers), static_cast<int>(record.dataSize),
                  static_cast<int>(std::int32_t{128} << record.n));
    words->Add(size);
  }
}

// What the track's records say beyond their IDs: what every sector shares,
// a sector count that disagrees between records or looks byte-swapped, and
// each sector that is marked or odd, in storage order.
void PrintTrackNotes(const D88Image::SectorRecord* records, std::int32_t count, std::int32_t c,
                     std::int32_t h) {
  const D88Image::SectorRecord& first = records[0];
  Shared shared = {first.density != d88::kDoubleDensity, first.deletedMark != 0,
                   first.status != d88::kStatusNone, OddDataSize(first)};
  for (std::int32_t k = 1; k < count; ++k) {
    const D88Image::SectorRecord& record = records[k];
    shared.density = shared.density && record.density == first.density;
    shared.deletedMark = shared.deletedMark && record.deletedMark == first.deletedMark;
    shared.status = shared.status && record.status == first.status;
    shared.dataSize =
        shared.dataSize && record.n == first.n && record.dataSize == first.dataSize;
  }
  // A track of one sector has nothing to share: what it says is its own.
  if (count > 1 && (shared.density || shared.deletedMark || shared.status || shared.dataSize)) {
    Words every;
    AddNotes(first, {!shared.density, !shared.deletedMark, !shared.status, !shared.dataSize},
             &every);
    Print(kEverySector, every.Text());
  } else {
    shared = {};
  }
  // A count of 0xNN00, larger than the records there are, is one of NN
  // written the wrong way round.
  const std::int32_t swapped = first.sectorsInTrack >> 8;
  if ((first.sectorsInTrack & 0xFF) == 0 && swapped != 0 && swapped <= count &&
      first.sectorsInTrack > count) {
    Print(kCountByteSwapped, static_cast<int>(first.sectorsInTrack), static_cast<int>(swapped));
  } else {
    for (std::int32_t k = 1; k < count; ++k) {
      if (records[k].sectorsInTrack == first.sectorsInTrack) continue;
      Print(kCountsDiffer, static_cast<int>(first.sectorsInTrack),
            static_cast<int>(records[k].sectorsInTrack));
      break;
    }
  }
  for (std::int32_t k = 0; k < count; ++k) {
    const D88Image::SectorRecord& record = records[k];
    Words words;
    AddNotes(record, shared, &words);
    for (std::int32_t j = 0; j < k; ++j) {
      const D88Image::SectorRecord& earlier = records[j];
      if (earlier.c == record.c && earlier.h == record.h && earlier.r == record.r &&
          earlier.n == record.n) {
        char twice[96];
        std::snprintf(twice, sizeof twice, Say(kSameIdTwice), record.c, record.h, record.r, record.n);
        words.Add(twice);
        break;
      }
    }
    if (words.Empty()) continue;
    static SectorList sector;
    sector.Add(record, c, h, first.n);
    Print("    R%s", sector.Take());
    Print(kSectorNotes, words.Text());
  }
}

// Where a track's sectors were decoded from, where not all from its first
// read: an SCP file's later revolutions, or the second recording of a
// cylinder recorded twice; and how many reads saw the track otherwise.
void PrintDecoding(const d88::Container& container, std::int32_t track,
                   const D88Image::SectorRecord* records, std::int32_t count) {
  const d88::TrackDecoding& decoding = container.decoding[track];
  const std::int32_t first = decoding.firstRecordingReads;
  const bool twice = first < decoding.reads;
  const std::int32_t shown = count < decoding.sectorCount ? count : decoding.sectorCount;
  for (std::int32_t read = 1; read < decoding.reads; ++read) {
    char numbers[4 * d88::TrackDecoding::kMaxSectors + 1] = {};
    std::size_t used = 0;
    for (std::int32_t k = 0; k < shown; ++k) {
      if (decoding.sectorRead[k] != read) continue;
      used += static_cast<std::size_t>(std::snprintf(numbers + used, sizeof numbers - used,
                                                     used == 0 ? "%d" : " %d", records[k].r));
    }
    if (used == 0) continue;
    if (read < first) {
      Print(kFromRevolution, static_cast<int>(read + 1), numbers);
    } else if (decoding.reads - first == 1) {
      Print(kFromSecondRecording, numbers);
    } else {
      Print(kFromSecondRecordingRevolution, static_cast<int>(read - first + 1), numbers);
    }
  }
  if (decoding.disagreeing == 0) return;
  if (twice && decoding.reads == 2) {
    Print(kRecordingsDisagree);
  } else {
    Print(kRevolutionsDisagree, static_cast<int>(decoding.disagreeing),
          static_cast<int>(decoding.reads));
  }
}

// One track: its sectors' R numbers in storage order, with C, H or N added
// where they differ from the track's (C and H from the track index, N from
// its first sector), and what its records say beyond their IDs; or why the
// reader counts it as absent.
void PrintTrack(D88Image& image, std::int32_t track) {
  const std::int32_t c = marked_disk::CylinderOf(track);
  const std::int32_t h = marked_disk::HeadOf(track);
  Print(kTrack, static_cast<int>(track), static_cast<int>(c), static_cast<int>(h),
        static_cast<int>(image.GetTrackOffset(track)));
  std::int32_t position = 0;
  const D88Image::TrackLookup lookup = image.LookUpTrack(track, &position);
  if (lookup != D88Image::TrackLookup::kFound) {
    char reason[kMaxReason];
    Print(kTrackAbsent, DescribeAbsence(image, track, lookup, reason));
    return;
  }
  static D88Image::SectorRecord records[kMaxListedSectors];
  const std::int32_t count = image.GetSectorRecords(track, records, kMaxListedSectors);
  if (count == 0) {
    Print(kNoSectors);
    return;
  }
  const std::int32_t n = records[0].n;
  // A full buffer may have cut the listing short.
  const bool full = count == kMaxListedSectors;
  Print(full ? kSectorsAndMore : count == 1 ? kOneSector : kSectors, static_cast<int>(count),
        static_cast<int>(n));
  static SectorList list;
  for (std::int32_t k = 0; k < count; ++k) list.Add(records[k], c, h, n);
  Print("%s%s\n", list.Take(), full ? kAndMore : "");
  PrintTrackNotes(records, count, c, h);
  if (image.GetContainer().decoded) PrintDecoding(image.GetContainer(), track, records, count);
}

// One block as d88cut would cut it: "ok"; cut, but from sectors the image
// marks; or the first sector of its run that is missing or short, and why
// its track is absent if it is.
void PrintBlock(D88Image& image, const marked_disk::Block& block) {
  static std::uint8_t data[marked_disk::LargestBlockSize()];
  Print(kBlock, block.name, static_cast<int>(block.track),
        static_cast<int>(marked_disk::CylinderOf(block.track)),
        static_cast<int>(marked_disk::HeadOf(block.track)), static_cast<int>(block.firstSector),
        static_cast<int>(block.size));
  marked_disk::RunRead read;
  marked_disk::ReadBlock(image, block, data, &read);
  char reason[kMaxReason];
  char mark[32];
  if (DescribeNotCut(image, read, reason) != nullptr) {
    Print(kBlockNotCut, reason);
  } else if (read.markedCount == 0) {
    Print(kBlockOk);
  } else if (read.markedCount == 1) {
    const marked_disk::MarkedSector& s = read.marked[0];
    const char* words = DescribeMark(s.status, s.deletedMark, mark);
    if (s.track == block.track) {
      Print(kCutButMarked, static_cast<int>(s.r), words);
    } else {
      Print(kCutButMarkedElsewhere, static_cast<int>(s.track), static_cast<int>(s.c),
            static_cast<int>(s.h), static_cast<int>(s.r), words);
    }
  } else {
    Print(kCutButMarkedSectors, static_cast<int>(read.markedCount));
    const std::int32_t listed =
        read.markedCount < marked_disk::RunRead::kMaxMarked ? read.markedCount
                                                            : marked_disk::RunRead::kMaxMarked;
    for (std::int32_t k = 0; k < listed; ++k) {
      const marked_disk::MarkedSector& s = read.marked[k];
      Print(kMarkedSector, static_cast<int>(s.track), static_cast<int>(s.c),
            static_cast<int>(s.h), static_cast<int>(s.r),
            DescribeMark(s.status, s.deletedMark, mark));
    }
    if (read.markedCount > listed) Print(kMoreMarkedSectors, static_cast<int>(read.markedCount - listed));
  }
}

// The files of the disk's file system, beneath its line; what is wrong
// with them after them.
void PrintFiles(D88Image& image) {
  if (!file_system::ListFiles(image, &diskFiles)) {
    Print(kNoFileSystem);
    return;
  }
  const char* type = file_system::TypeName(diskFiles.type);
  if (diskFiles.fileCount == 0) {
    Print(kFileSystemNoFiles, type);
  } else {
    Print(diskFiles.fileCount == 1 ? kFileSystemOneFile : kFileSystem, type,
          static_cast<int>(diskFiles.fileCount));
  }
  const bool decode = platform::WritesUtf8(stdout);
  for (std::int32_t k = 0; k < diskFiles.fileCount; ++k) {
    char path[kMaxPathText];
    char words[kMaxReason];
    Print(kFileLine, static_cast<int>(diskFiles.files[k].size),
          PathAsText(diskFiles.files[k], decode, true, path), DescribeFileType(diskFiles.files[k], words));
  }
  const std::int32_t kept =
      diskFiles.problemCount < file_system::kMaxProblems ? diskFiles.problemCount : file_system::kMaxProblems;
  for (std::int32_t k = 0; k < kept; ++k) {
    char reason[kMaxReason];
    Print(kFileProblem, DescribeFileProblem(diskFiles, diskFiles.problems[k], decode, reason));
  }
  if (diskFiles.problemCount > kept) Print(kMoreFileProblems, static_cast<int>(diskFiles.problemCount - kept));
}

}  // namespace

void TextListing::BeginImage(const char* path, const D88Image& image, bool several) {
  const d88::Container& container = image.GetContainer();
  if (anyImage_) Print("\n");
  anyImage_ = true;
  if (!several && container.format == d88::Format::kD88) return;
  Print(kImageHeading, path, d88::FormatName(container.format));
  const d88::Geometry& g = container.geometry;
  if (g.cylinders > 0) Print(kGeometry, g.cylinders, g.heads, g.sectors, g.sectorSize);
  if (container.otherGeometryCount > 0) {
    char others[256] = {};
    for (std::int32_t k = 0; k < container.otherGeometryCount; ++k) {
      const d88::Geometry& o = container.otherGeometries[k];
      const std::size_t used = std::strlen(others);
      std::snprintf(others + used, sizeof others - used, "%s%d x %d x %d x %d",
                    k == 0 ? "" : Say(kNoteSeparator), static_cast<int>(o.cylinders),
                    static_cast<int>(o.heads), static_cast<int>(o.sectors),
                    static_cast<int>(o.sectorSize));
    }
    Print(kAlsoFits, others);
  }
  char reason[platform::kMaxImageWords];
  if (platform::DescribeContainerProblem(container.problem, reason) != nullptr) {
    Print(kContainerProblem, reason);
  }
  Print(kLineEnd);
}

void TextListing::NoDisks() { Print(kNoDisks); }

void TextListing::UnreadableHeader(std::int32_t index) {
  Print(kHeaderUnreadable, static_cast<int>(index));
}

void TextListing::Repeats(std::int32_t first, std::int32_t last, std::int32_t again) {
  if (first == last) {
    Print(kRepeatedDisk, static_cast<int>(first));
  } else {
    Print(kRepeatedDisks, static_cast<int>(first), static_cast<int>(last));
  }
  const int previous = static_cast<int>(first - 1);
  if (again == first - 1) {
    Print(kSameHeaderAgain, previous);
  } else {
    Print(kDisksAgain, static_cast<int>(again), previous);
  }
}

void TextListing::Disk(D88Image& image, std::int32_t index) {
  const std::int32_t media = image.GetMediaType();
  Print(kDisk, static_cast<int>(index), static_cast<int>(image.GetDiskStart()));
  PrintQuoted(image.GetDiskName());
  const char* mediaName = MediaName(media);
  Print(kMedia, static_cast<unsigned>(media & 0xFF), mediaName != nullptr ? " " : "",
        mediaName != nullptr ? mediaName : "");
  const TrackMedia trackMedia = FindTrackMedia(image);
  if (trackMedia.disagrees) Print(kMediaDisagrees, MediaName(trackMedia.mediaType));
  Print("%s", kFieldSeparator);
  if (image.GetWriteProtect() > 0) Print(kWriteProtected);
  PrintSize(image);
  Print(kTracks, static_cast<int>(CountTracks(image)));
  marked_disk::MarkerCheck check;
  const bool marked = marked_disk::CheckMarker(image, &check);
  char reason[kMaxReason];
  if (marked) {
    Print(kMarked);
  } else {
    Print(kUnmarked, DescribeUnmarked(image, check, reason));
  }
  if (options_.files) PrintFiles(image);
  if (options_.tracks) {
    for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
      if (image.GetTrackOffset(t) != 0) PrintTrack(image, t);
    }
  }
  if (marked) {
    for (const marked_disk::Block& block : marked_disk::kBlocks) PrintBlock(image, block);
  }
}

void TextListing::EndImage(const char* path, bool plausible, const Trailing& trailing) {
  if (!plausible) {
    Print(kNotAnImage, path);
    return;
  }
  if (trailing.bytes == 0) return;
  if (trailing.padding) {
    Print(trailing.bytes == 1 ? kPaddingByteAfter : kPaddingAfter, static_cast<int>(trailing.bytes));
  } else {
    Print(trailing.bytes == 1 ? kByteAfter : kBytesAfter, static_cast<int>(trailing.bytes));
  }
}

}  // namespace d88ls
