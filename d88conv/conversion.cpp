#include "conversion.h"

#include "d88image/d88_writer.h"

namespace d88conv {
namespace {

// Records read from a track; a longer track (a chain of records whose
// counts never end it) is refused rather than cut.
constexpr std::int32_t kMaxRecords = 4096;
D88Image::SectorRecord records[kMaxRecords];

// The records of `track`, or -1 (with the misfit said) where there are more
// than are read.
std::int32_t ReadRecords(D88Image& image, std::int32_t track, Misfit* misfit) {
  std::int32_t position = 0;
  if (image.LookUpTrack(track, &position) != D88Image::TrackLookup::kFound) return 0;
  const std::int32_t count = image.GetSectorRecords(track, records, kMaxRecords);
  if (count < kMaxRecords) return count;
  *misfit = {Misfit::Kind::kTooManySectors, track, 0, count, kMaxRecords - 1};
  return -1;
}

// Selects disk `disk` and finds its last track, and whether head 1 has
// any; false (with the misfit said, where there is one) where it has none.
bool FindTracks(D88Image& image, std::int32_t disk, Misfit* misfit, std::int32_t* lastTrack,
                bool* doubleSided) {
  if (!image.SelectDisk(disk)) return false;
  for (std::int32_t track = 0; track < d88::kTrackCount; ++track) {
    const std::int32_t count = ReadRecords(image, track, misfit);
    if (count < 0) return false;
    if (count == 0) continue;
    *lastTrack = track;
    if ((track & 1) != 0) *doubleSided = true;
  }
  if (*lastTrack >= 0) return true;
  *misfit = {Misfit::Kind::kNoTracks, 0, 0, disk, 0};
  return false;
}

std::int32_t NominalSize(std::int32_t n) {
  return n <= d88::kMaxSizeCode ? std::int32_t{128} << n : -1;
}

// Records the selected disk's tracks up to `lastTrack` through `writer` at
// `kbps` and `rpm`; false (with the misfit said) where the image cannot be
// read, the writer's own problem else.
bool RecordHfe(D88Image& image, std::int32_t lastTrack, bool doubleSided, std::int32_t kbps,
               std::int32_t rpm, d88::HfeWriter& writer, Misfit* misfit) {
  writer.BeginDisk(kbps, rpm, lastTrack / 2 + 1, doubleSided ? 2 : 1, image.GetWriteProtect() != 0);
  static std::uint8_t data[std::int32_t{128} << 7];
  for (std::int32_t track = 0; track <= lastTrack; ++track) {
    const std::int32_t count = ReadRecords(image, track, misfit);
    for (std::int32_t k = 0; k < count; ++k) {
      const D88Image::SectorRecord& record = records[k];
      const std::int32_t wanted = record.dataSize < static_cast<std::int32_t>(sizeof data)
                                      ? record.dataSize
                                      : static_cast<std::int32_t>(sizeof data);
      if (image.ReadImageBytes(record.position + d88::kSectorHeaderSize, data, wanted) != wanted) {
        *misfit = {Misfit::Kind::kDataCutShort, track, record.r, 0, 0};
        return false;
      }
      const d88::SectorFacts facts = {record.c, record.h, record.r, record.n,
                                      static_cast<std::uint8_t>(record.density),
                                      static_cast<std::uint8_t>(record.deletedMark),
                                      static_cast<std::uint8_t>(record.status)};
      if (!writer.AddSector(track, facts, data, record.dataSize)) return true;
    }
  }
  writer.EndDisk();
  return true;
}

}  // namespace

std::int32_t LayOutD88(D88Image& image, std::int32_t first, std::int32_t last,
                       std::uint8_t* buffer, std::int32_t capacity, Misfit* misfit) {
  *misfit = Misfit{};
  d88::D88Writer writer(buffer, capacity);
  std::int32_t starts[d88::kMaxDisks];
  for (std::int32_t disk = first; disk <= last; ++disk) {
    if (!image.SelectDisk(disk)) continue;
    starts[disk - first] = image.GetDiskStart();
    bool again = false;
    for (std::int32_t k = first; k < disk; ++k) again = again || starts[k - first] == starts[disk - first];
    if (again) break;
    writer.BeginDisk(image.GetDiskName(), image.GetWriteProtect(), image.GetMediaType());
    for (std::int32_t track = 0; track < d88::kTrackCount; ++track) {
      const std::int32_t count = ReadRecords(image, track, misfit);
      if (count < 0) return 0;
      for (std::int32_t k = 0; k < count; ++k) {
        const D88Image::SectorRecord& record = records[k];
        const d88::SectorFacts facts = {record.c, record.h, record.r, record.n,
                                        static_cast<std::uint8_t>(record.density),
                                        static_cast<std::uint8_t>(record.deletedMark),
                                        static_cast<std::uint8_t>(record.status)};
        std::uint8_t* data = writer.AddSector(track, facts, record.dataSize);
        if (data == nullptr) {
          *misfit = {Misfit::Kind::kTooLarge, track, record.r, 0, capacity};
          return 0;
        }
        // A sector whose data the image ends inside of cannot be kept as
        // it is: it would come out whole.
        if (image.ReadImageBytes(record.position + d88::kSectorHeaderSize, data,
                                 record.dataSize) != record.dataSize) {
          *misfit = {Misfit::Kind::kDataCutShort, track, record.r, 0, 0};
          return 0;
        }
      }
    }
    writer.EndDisk();
  }
  if (writer.Problem().kind != d88::ContainerProblem::Kind::kNone) {
    *misfit = {Misfit::Kind::kTooLarge, 0, 0, 0, capacity};
    return 0;
  }
  return writer.Size();
}

std::int32_t LayOutHfe(D88Image& image, std::int32_t disk, d88::HfeWriter& writer,
                       std::int32_t capacity, Misfit* misfit, d88::HfeWriter::Inexact* inexact) {
  *misfit = Misfit{};
  std::int32_t lastTrack = -1;
  bool doubleSided = false;
  if (!FindTracks(image, disk, misfit, &lastTrack, &doubleSided)) return 0;
  // A 2HD disk turns at 360 rpm, unless its tracks need the longer
  // revolution of 300 (as 1.44 MB disks do); others at 300 rpm.
  const bool high = image.GetMediaType() == 0x20;
  const std::int32_t speeds[] = {high ? 360 : 300, 300};
  for (std::int32_t k = 0; k < (high ? 2 : 1); ++k) {
    if (!RecordHfe(image, lastTrack, doubleSided, high ? 500 : 250, speeds[k], writer, misfit)) return 0;
    if (writer.GetProblem().fault != d88::HfeWriter::Fault::kTrackTooLong) break;
  }
  using Fault = d88::HfeWriter::Fault;
  const d88::HfeWriter::Problem& problem = writer.GetProblem();
  switch (problem.fault) {
    case Fault::kNone: break;
    case Fault::kTooLarge: *misfit = {Misfit::Kind::kTooLarge, 0, 0, 0, capacity}; return 0;
    case Fault::kTrackTooLong:
      *misfit = {Misfit::Kind::kTrackTooLong, problem.track, 0, problem.value, problem.limit};
      return 0;
    case Fault::kMixedDensity: *misfit = {Misfit::Kind::kMixedDensity, problem.track, 0, 0, 0}; return 0;
    case Fault::kTooManySectors:
      *misfit = {Misfit::Kind::kTooManySectors, problem.track, 0, problem.value, problem.limit};
      return 0;
  }
  *inexact = writer.GetInexact();
  return writer.Size();
}

std::int32_t LayOutRaw(D88Image& image, std::int32_t disk, std::uint8_t* buffer,
                       std::int32_t capacity, Misfit* misfit, d88::Geometry* geometry) {
  *misfit = Misfit{};
  std::int32_t lastTrack = -1;
  bool doubleSided = false;
  if (!FindTracks(image, disk, misfit, &lastTrack, &doubleSided)) return 0;
  std::int32_t sectors = 0;
  std::int32_t size = 0;
  std::int32_t sizeCode = 0;
  std::int32_t used = 0;
  for (std::int32_t track = 0; track <= lastTrack; track += doubleSided ? 1 : 2) {
    const std::int32_t count = ReadRecords(image, track, misfit);
    if (count < 0) return 0;
    if (count == 0) {
      *misfit = {Misfit::Kind::kTrackMissing, track, 0, 0, 0};
      return 0;
    }
    if (track == 0) {
      sectors = count;
      sizeCode = records[0].n;
      size = NominalSize(sizeCode);
    }
    // Each of R 1 to n, once, of one size.
    for (std::int32_t r = 1; r <= sectors; ++r) {
      const D88Image::SectorRecord* found = nullptr;
      for (std::int32_t k = 0; k < count; ++k) {
        if (records[k].r != r) continue;
        if (found != nullptr) {
          *misfit = {Misfit::Kind::kSectorTwice, track, r, 0, 0};
          return 0;
        }
        found = &records[k];
      }
      if (found == nullptr) {
        *misfit = {Misfit::Kind::kSectorMissing, track, r, 0, 0};
        return 0;
      }
      if (found->n != sizeCode) {
        *misfit = {Misfit::Kind::kSizeCodeDiffers, track, r, found->n, sizeCode};
        return 0;
      }
      if (found->dataSize != size) {
        *misfit = {Misfit::Kind::kSizeDiffers, track, r, found->dataSize, size};
        return 0;
      }
      if (size > capacity - used) {
        *misfit = {Misfit::Kind::kTooLarge, track, r, 0, capacity};
        return 0;
      }
      const std::int32_t got =
          image.ReadImageBytes(found->position + d88::kSectorHeaderSize, buffer + used, size);
      if (got != size) {
        *misfit = {Misfit::Kind::kDataCutShort, track, r, 0, 0};
        return 0;
      }
      used += size;
    }
    if (count != sectors) {
      *misfit = {Misfit::Kind::kCountDiffers, track, 0, count, sectors};
      return 0;
    }
  }
  *geometry = {lastTrack / 2 + 1, doubleSided ? 2 : 1, sectors, size};
  return used;
}

}  // namespace d88conv
