// d88ls's listing for programs: one JSON document for the whole call, of
// fixed keys and English words, laid out in the manual page.
//   {"version": 1, "images": [{"path", "file_size", "disks": [...], ...}]}

#include <cstdio>
#include <cstring>

#include "d88image/d88_format.h"
#include "listing.h"
#include "file_system/file_system.h"
#include "marked_disk/block_read.h"
#include "marked_disk/block_table.h"
#include "marked_disk/marker.h"
#include "platform/image_words.h"
#include "platform/name_text.h"

namespace d88ls {
namespace {

// The files of the disk being listed: of namespace scope, which needs no
// guard of the C++ run-time as a function's static would.
file_system::FileList diskFiles;

const char* DensityName(std::int32_t density, char (&unnamed)[16]) {
  if (density == d88::kDoubleDensity) return "double";
  if (density == d88::kSingleDensity) return "single";
  std::snprintf(unnamed, sizeof unnamed, "0x%02X", static_cast<unsigned>(density));
  return unnamed;
}

const char* StatusWord(std::int32_t status, char (&unnamed)[32]) {
  if (const char* name = d88::StatusName(status)) return name;
  std::snprintf(unnamed, sizeof unnamed, "status 0x%02X", static_cast<unsigned>(status));
  return unnamed;
}

const char* SizeProblemName(SizeProblem problem) {
  switch (problem) {
    case SizeProblem::kNegative: return "negative";
    case SizeProblem::kPastEnd: return "past_end_of_file";
    case SizeProblem::kNone: break;
  }
  return nullptr;
}

void Geometry(JsonWriter& json, const char* key, const d88::Geometry& g) {
  json.BeginObject(key);
  json.Number("cylinders", g.cylinders);
  json.Number("heads", g.heads);
  json.Number("sectors", g.sectors);
  json.Number("sector_size", g.sectorSize);
  json.EndObject();
}

const char* ProblemKind(d88::ContainerProblem::Kind kind) {
  using Kind = d88::ContainerProblem::Kind;
  switch (kind) {
    case Kind::kNone: break;
    case Kind::kCutShort: return "cut_short";
    case Kind::kBadField: return "bad_field";
    case Kind::kBadChecksum: return "bad_checksum";
    case Kind::kTooLarge: return "too_large";
    case Kind::kUnsupported: return "unsupported";
    case Kind::kTrackTwice: return "track_twice";
    case Kind::kNoClock: return "no_clock";
    case Kind::kNoSectors: return "no_sectors";
  }
  return nullptr;
}

const char* ProblemPart(d88::ContainerProblem::Part part) {
  using Part = d88::ContainerProblem::Part;
  switch (part) {
    case Part::kHeader: return "header";
    case Part::kComment: return "comment";
    case Part::kTrackTable: return "track_table";
    case Part::kTrackHeader: return "track_header";
    case Part::kSectorHeader: return "sector_header";
    case Part::kSectorData: return "sector_data";
    case Part::kCompression: return "compression";
    case Part::kTrackBits: return "track_bits";
  }
  return nullptr;
}

const char* ProblemKindName(file_system::Problem::Kind kind) {
  using Kind = file_system::Problem::Kind;
  switch (kind) {
    case Kind::kChainLoops: return "chain_loops";
    case Kind::kChainPastEnd: return "chain_past_end";
    case Kind::kChainEndsEarly: return "chain_ends_early";
    case Kind::kSizeBeyondChain: return "size_beyond_chain";
    case Kind::kBadName: return "bad_name";
    case Kind::kSectorMissing: return "sector_missing";
    case Kind::kFolderLoops: return "folder_loops";
    case Kind::kTooManyFiles: return "too_many_files";
    case Kind::kPathTooLong: return "path_too_long";
  }
  return nullptr;
}

void Location(JsonWriter& json, std::int32_t track, std::int32_t c, std::int32_t h,
              std::int32_t r) {
  json.Number("track", track);
  json.Number("c", c);
  json.Number("h", h);
  json.Number("r", r);
}

}  // namespace

void JsonListing::Begin() {
  json_.BeginObject();
  json_.Number("version", 1);
  json_.BeginArray("images");
}

void JsonListing::End() {
  json_.EndArray();
  json_.EndObject();
  json_.Finish();
}

void JsonListing::Unopened(const char* path, const char* reason) {
  json_.BeginObject();
  json_.String("path", path);
  json_.String("file_size", nullptr);
  json_.String("error", reason);
  json_.EndObject();
}

void JsonListing::BeginImage(const char* path, const D88Image& image, bool) {
  const d88::Container& container = image.GetContainer();
  json_.BeginObject();
  json_.String("path", path);
  json_.Number("file_size", container.fileSize);
  json_.String("format", d88::FormatName(container.format));
  if (container.format == d88::Format::kNfd) json_.Number("revision", container.revision);
  if (container.geometry.cylinders > 0) {
    Geometry(json_, "geometry", container.geometry);
  } else {
    json_.String("geometry", nullptr);
  }
  json_.BeginArray("other_geometries");
  for (std::int32_t k = 0; k < container.otherGeometryCount; ++k) {
    Geometry(json_, nullptr, container.otherGeometries[k]);
  }
  json_.EndArray();
  char reason[platform::kMaxImageWords];
  if (platform::DescribeContainerProblem(container.problem, reason) == nullptr) {
    json_.String("problem", nullptr);
  } else {
    json_.BeginObject("problem");
    json_.String("kind", ProblemKind(container.problem.kind));
    json_.String("part", ProblemPart(container.problem.part));
    if (container.problem.track >= 0) {
      json_.Number("track", container.problem.track);
    } else {
      json_.String("track", nullptr);
    }
    json_.Number("value", container.problem.value);
    json_.String("reason", reason);
    json_.EndObject();
  }
  json_.BeginArray("disks");
  repeats_ = false;
}

void JsonListing::UnreadableHeader(std::int32_t index) {
  json_.BeginObject();
  json_.Number("index", index);
  json_.String("error", "its header can no longer be read whole");
  json_.EndObject();
}

void JsonListing::Repeats(std::int32_t first, std::int32_t last, std::int32_t again) {
  repeats_ = true;
  repeatFirst_ = first;
  repeatLast_ = last;
  repeatAgain_ = again;
}

void JsonListing::Disk(D88Image& image, std::int32_t index) {
  json_.BeginObject();
  json_.Number("index", index);
  json_.Number("offset", image.GetDiskStart());
  const char* name = image.GetDiskName();
  char text[kMaxNameText];
  json_.String("name", platform::NameAsText(reinterpret_cast<const std::uint8_t*>(name),
                                            static_cast<std::int32_t>(std::strlen(name)), true,
                                            false, text, sizeof text));
  char hex[2 * d88::kDiskNameLength + 1] = {};
  for (std::int32_t k = 0; name[k] != '\0'; ++k) {
    std::snprintf(hex + 2 * k, 3, "%02x", static_cast<unsigned char>(name[k]));
  }
  json_.String("name_bytes", hex);
  json_.Number("media_type", image.GetMediaType());
  json_.String("media", MediaName(image.GetMediaType()));
  const TrackMedia trackMedia = FindTrackMedia(image);
  json_.String("media_from_tracks", MediaName(trackMedia.mediaType));
  json_.Bool("media_disagrees", trackMedia.disagrees);
  json_.Bool("write_protected", image.GetWriteProtect() > 0);
  json_.Number("size", image.GetDiskSize());
  json_.String("size_problem", SizeProblemName(FindSizeProblem(image)));
  json_.Number("track_count", CountTracks(image));
  marked_disk::MarkerCheck check;
  const bool marked = marked_disk::CheckMarker(image, &check);
  char reason[kMaxReason];
  json_.BeginObject("marker");
  json_.String("state", marked ? "marked" : "unmarked");
  json_.String("reason", DescribeUnmarked(image, check, reason));
  json_.EndObject();
  if (marked) Blocks(image);
  if (options_.files) Files(image);
  if (options_.tracks) Tracks(image);
  json_.EndObject();
}

void JsonListing::Blocks(D88Image& image) {
  static std::uint8_t data[marked_disk::LargestBlockSize()];
  json_.BeginArray("blocks");
  for (const marked_disk::Block& block : marked_disk::kBlocks) {
    json_.BeginObject();
    json_.String("name", block.name);
    Location(json_, block.track, marked_disk::CylinderOf(block.track),
             marked_disk::HeadOf(block.track), block.firstSector);
    json_.Number("bytes", block.size);
    marked_disk::RunRead read;
    marked_disk::ReadBlock(image, block, data, &read);
    char reason[kMaxReason];
    const bool cut = DescribeNotCut(image, read, reason) == nullptr;
    json_.String("state", !cut ? "missing" : read.markedCount > 0 ? "marked sectors" : "ok");
    if (!cut) {
      json_.BeginObject("missing");
      Location(json_, read.track, read.c, read.h, read.r);
      json_.String("reason", reason);
      json_.EndObject();
    } else if (read.markedCount > 0) {
      json_.Number("marked_count", read.markedCount);
      json_.BeginArray("marked_sectors");
      for (std::int32_t k = 0; k < read.markedCount && k < marked_disk::RunRead::kMaxMarked; ++k) {
        const marked_disk::MarkedSector& s = read.marked[k];
        char unnamed[32];
        json_.BeginObject();
        Location(json_, s.track, s.c, s.h, s.r);
        json_.String("status", StatusWord(s.status, unnamed));
        json_.Number("status_byte", s.status);
        json_.Bool("deleted", s.deletedMark != 0);
        json_.EndObject();
      }
      json_.EndArray();
    }
    json_.EndObject();
  }
  json_.EndArray();
}

void JsonListing::Files(D88Image& image) {
  if (!file_system::ListFiles(image, &diskFiles)) {
    json_.String("filesystem", nullptr);
    return;
  }
  json_.BeginObject("filesystem");
  json_.String("type", file_system::TypeName(diskFiles.type));
  json_.BeginArray("files");
  for (std::int32_t k = 0; k < diskFiles.fileCount; ++k) {
    const file_system::FileEntry& file = diskFiles.files[k];
    char path[kMaxPathText];
    json_.BeginObject();
    json_.String("name", PathAsText(file, true, false, path));
    char hex[2 * file_system::kMaxPath + 1] = {};
    for (std::int32_t i = 0; i < file.pathLength; ++i) {
      std::snprintf(hex + 2 * i, 3, "%02x", file.path[i]);
    }
    json_.String("name_bytes", hex);
    json_.Number("size", file.size);
    json_.String("type", file_system::FileTypeName(file.type));
    json_.BeginArray("attributes");
    for (std::int32_t a = 0; a < file_system::kAttributeCount; ++a) {
      if ((file.attributes & (1u << a)) != 0) json_.String(nullptr, file_system::AttributeName(a));
    }
    json_.EndArray();
    json_.Number("start", file.start);
    json_.EndObject();
  }
  json_.EndArray();
  json_.BeginArray("problems");
  const std::int32_t kept =
      diskFiles.problemCount < file_system::kMaxProblems ? diskFiles.problemCount : file_system::kMaxProblems;
  for (std::int32_t k = 0; k < kept; ++k) {
    const file_system::Problem& problem = diskFiles.problems[k];
    char reason[kMaxReason];
    json_.BeginObject();
    json_.String("kind", ProblemKindName(problem.kind));
    if (problem.file >= 0) {
      json_.Number("file", problem.file);
    } else {
      json_.String("file", nullptr);
    }
    json_.Number("value", problem.value);
    json_.String("reason", DescribeFileProblem(diskFiles, problem, true, reason));
    json_.EndObject();
  }
  json_.EndArray();
  json_.Number("problem_count", diskFiles.problemCount);
  json_.EndObject();
}

void JsonListing::Tracks(D88Image& image) {
  static D88Image::SectorRecord records[kMaxListedSectors];
  json_.BeginArray("tracks");
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    if (image.GetTrackOffset(t) == 0) continue;
    json_.BeginObject();
    json_.Number("track", t);
    json_.Number("c", marked_disk::CylinderOf(t));
    json_.Number("h", marked_disk::HeadOf(t));
    json_.Number("offset", image.GetTrackOffset(t));
    std::int32_t position = 0;
    const D88Image::TrackLookup lookup = image.LookUpTrack(t, &position);
    char reason[kMaxReason];
    json_.String("absent", lookup == D88Image::TrackLookup::kFound
                               ? nullptr
                               : DescribeAbsence(image, t, lookup, reason));
    const std::int32_t count = lookup == D88Image::TrackLookup::kFound
                                   ? image.GetSectorRecords(t, records, kMaxListedSectors)
                                   : 0;
    json_.Bool("listing_cut", count == kMaxListedSectors);
    // What decoding the track's bits found, for a container of bits.
    const d88::Container& container = image.GetContainer();
    const d88::TrackDecoding& decoding = container.decoding[t];
    if (container.decoded) {
      json_.BeginObject("decoding");
      json_.String("encoding", decoding.encoding == d88::TrackDecoding::Encoding::kFm    ? "fm"
                               : decoding.encoding == d88::TrackDecoding::Encoding::kMfm ? "mfm"
                                                                                        : nullptr);
      json_.Number("reads", decoding.reads);
      json_.Number("disagreeing", decoding.disagreeing);
      json_.EndObject();
    } else {
      json_.String("decoding", nullptr);
    }
    json_.BeginArray("sectors");
    for (std::int32_t k = 0; k < count; ++k) {
      const D88Image::SectorRecord& record = records[k];
      char density[16];
      char status[32];
      json_.BeginObject();
      json_.Number("c", record.c);
      json_.Number("h", record.h);
      json_.Number("r", record.r);
      json_.Number("n", record.n);
      json_.Number("count", record.sectorsInTrack);
      json_.String("density", DensityName(record.density, density));
      json_.Bool("deleted", record.deletedMark != 0);
      json_.String("status", StatusWord(record.status, status));
      json_.Number("status_byte", record.status);
      json_.Number("data_size", record.dataSize);
      if (container.decoded && k < decoding.sectorCount) {
        json_.Number("read", decoding.sectorRead[k]);
      } else {
        json_.String("read", nullptr);
      }
      json_.EndObject();
    }
    json_.EndArray();
    json_.EndObject();
  }
  json_.EndArray();
}

void JsonListing::EndImage(const char*, bool plausible, const Trailing& trailing) {
  json_.EndArray();
  if (repeats_) {
    json_.BeginObject("repeats");
    json_.Number("first", repeatFirst_);
    json_.Number("last", repeatLast_);
    json_.Number("again_from", repeatAgain_);
    json_.EndObject();
  } else {
    json_.String("repeats", nullptr);
  }
  json_.Bool("looks_like_d88", plausible);
  json_.Number("trailing_bytes", trailing.bytes);
  json_.Bool("trailing_padding", trailing.padding);
  json_.EndObject();
}

}  // namespace d88ls
