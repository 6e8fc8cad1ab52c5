// D88Image: reading sectors of the selected disk.

#include <cstdint>

#include "d88image/d88image.h"

namespace {

using d88::kInt32Max;
constexpr std::int32_t kIdValues = 256;  // each ID byte is 0 to 255

bool Matches(const D88Image::SectorRecord& record, std::int32_t c, std::int32_t h,
             std::int32_t r, std::int32_t n) {
  return record.c == c && record.h == h && record.r == r && record.n == n;
}

}  // namespace

// A walk over a track's records in storage order. Every operation steps
// through a track this way: read a record's header, then either take its
// data or skip over it to the next header.
//
// A walk ends when the image ends inside a header, or after the record
// whose own sectors-in-track count equals its position plus one (only
// equality counts: a count that never matches lets the walk run on over
// whatever records follow). A sector search also ends at a count of 0; a
// listing of IDs does not.
struct D88Image::TrackWalk {
  bool endsAtCountZero;
  // Position of the record last read, from 0. Every record moves `next` on
  // by 16 bytes or more within 32 bits, so this stays far below 2^31.
  std::int32_t index = -1;
  std::int32_t next = 0;  // file position of the next header
  bool ended = false;
};

D88Image::TrackLookup D88Image::LookUpTrack(std::int32_t track, std::int32_t* position) const {
  if (!stream_.IsOpen()) return TrackLookup::kNoImage;
  if (track < 0 || track >= d88::kTrackCount) return TrackLookup::kNoSuchTrack;
  const std::int32_t entry = trackTable_[track];
  if (entry == 0) return TrackLookup::kNoEntry;
  if (entry > diskSize_) return TrackLookup::kPastDiskSize;
  if (!d88::AddToPosition(diskStart_, entry, position)) return TrackLookup::kOutsideFile;
  return TrackLookup::kFound;
}

// Starts a walk at the track's first record, if the track can be found.
bool D88Image::StartWalk(std::int32_t track, TrackWalk* walk) {
  return LookUpTrack(track, &walk->next) == TrackLookup::kFound;
}

bool D88Image::NextRecord(TrackWalk* walk, SectorRecord* record) {
  if (walk->ended) return false;
  std::uint8_t bytes[d88::kSectorHeaderSize];
  stream_.Seek(walk->next);
  if (stream_.Read(bytes, d88::kSectorHeaderSize) != d88::kSectorHeaderSize) return false;
  const std::uint8_t* id = bytes + d88::kSectorIdOffset;
  record->c = id[0];
  record->h = id[1];
  record->r = id[2];
  record->n = id[3];
  record->sectorsInTrack = d88::DecodeU16Le(bytes + d88::kSectorCountOffset);
  record->density = bytes[d88::kDensityOffset];
  record->deletedMark = bytes[d88::kDeletedMarkOffset];
  record->status = bytes[d88::kStatusOffset];
  for (std::int32_t i = 0; i < d88::kReservedSize; ++i) {
    record->reserved[i] = bytes[d88::kReservedOffset + i];
  }
  record->dataSize = d88::DecodeU16Le(bytes + d88::kDataSizeOffset);
  record->position = walk->next;
  ++walk->index;
  if (walk->endsAtCountZero && record->sectorsInTrack == 0) return false;
  // A whole header was read, so its data starts within 32 bits; a record
  // whose data reaches past them has no record after it.
  std::int32_t dataPosition = 0;
  if (!d88::AddToPosition(walk->next, d88::kSectorHeaderSize, &dataPosition)) return false;
  walk->ended = walk->index == record->sectorsInTrack - 1 ||
                !d88::AddToPosition(dataPosition, record->dataSize, &walk->next);
  return true;
}

// Reads at most `maximum` bytes of a record's data, never past its size; if
// the image ends inside the data, only what arrived is counted. NextRecord
// gave the record only where its data starts within 32 bits.
std::int32_t D88Image::ReadRecordData(const SectorRecord& record, std::uint8_t* buffer,
                                      std::int32_t maximum) {
  const std::int32_t length = record.dataSize < maximum ? record.dataSize : maximum;
  stream_.Seek(record.position + d88::kSectorHeaderSize);
  return stream_.Read(buffer, length);
}

void D88Image::SetSectorRange(std::int32_t first, std::int32_t last) {
  firstSector_ = first;
  lastSector_ = last;
}

bool D88Image::FindSectorRecord(std::int32_t track, std::int32_t c, std::int32_t h,
                                std::int32_t r, std::int32_t n, SectorRecord* record) {
  TrackWalk walk{true};
  if (!StartWalk(track, &walk)) return false;
  while (NextRecord(&walk, record)) {
    if (Matches(*record, c, h, r, n)) return true;
  }
  return false;
}

std::int32_t D88Image::ReadSector(std::int32_t track, std::int32_t c, std::int32_t h,
                                  std::int32_t r, std::int32_t n, std::uint8_t* buffer,
                                  std::int32_t maximum) {
  SectorRecord record;
  if (maximum <= 0 || !FindSectorRecord(track, c, h, r, n, &record)) return 0;
  return ReadRecordData(record, buffer, maximum);
}

// Where ReadSector would find each sector R of one track with the given C,
// H and N. A search for any R follows the same walk, only stopping early at
// its match, so one whole walk noting the first record of every R answers
// all of them; a run reads its sectors through this instead of searching
// the track again for each one.
struct D88Image::TrackIndex {
  bool built = false;
  std::int32_t track = 0;
  std::int32_t c = 0;
  std::int32_t h = 0;
  bool found[kIdValues];
  SectorRecord record[kIdValues];
};

void D88Image::IndexTrack(std::int32_t track, std::int32_t c, std::int32_t h, std::int32_t n,
                          TrackIndex* index) {
  index->built = true;
  index->track = track;
  index->c = c;
  index->h = h;
  for (bool& found : index->found) found = false;
  TrackWalk walk{true};
  if (!StartWalk(track, &walk)) return;
  SectorRecord record;
  while (NextRecord(&walk, &record)) {
    if (!index->found[record.r] && Matches(record, c, h, record.r, n)) {
      index->found[record.r] = true;
      index->record[record.r] = record;
    }
  }
}

std::int32_t D88Image::ReadSectors(std::int32_t track, std::int32_t c, std::int32_t h,
                                   std::int32_t r, std::int32_t n, std::uint8_t* buffer,
                                   std::int32_t length) {
  return ReadSectors(track, c, h, r, n, buffer, length, nullptr, 0);
}

std::int32_t D88Image::ReadSectors(std::int32_t track, std::int32_t c, std::int32_t h,
                                   std::int32_t r, std::int32_t n, std::uint8_t* buffer,
                                   std::int32_t length, SectorRecord* records,
                                   std::int32_t maxRecords) {
  if (length <= 0 || n < 0 || n > d88::kMaxSizeCode) return 0;
  const std::int32_t sectorSize = std::int32_t{128} << n;
  TrackIndex index;
  std::int32_t done = 0;
  std::int32_t stored = 0;  // records
  while (done < length) {
    const std::int32_t chunk = sectorSize < length - done ? sectorSize : length - done;
    if (!index.built || index.track != track || index.c != c || index.h != h) {
      IndexTrack(track, c, h, n, &index);
    }
    // Each chunk is exactly what ReadSector(track, c, h, r, n) would give.
    if (r < 0 || r >= kIdValues || !index.found[r]) return done;
    if (ReadRecordData(index.record[r], buffer + done, chunk) < chunk) return done;
    done += chunk;
    if (stored < maxRecords) records[stored++] = index.record[r];
    if (done == length || !StepRun(&track, &c, &h, &r)) break;
  }
  return done;
}

bool D88Image::StepRun(std::int32_t* track, std::int32_t* c, std::int32_t* h,
                       std::int32_t* r) const {
  if (*r != lastSector_) {
    if (*r == kInt32Max) return false;
    ++*r;
    return true;
  }
  if (*track == kInt32Max || (*h != 0 && *c == kInt32Max)) return false;
  ++*track;
  if (*h == 0) {
    *h = 1;
  } else {
    *h = 0;
    ++*c;
  }
  *r = firstSector_;
  return true;
}

std::int32_t D88Image::GetSectorIds(std::int32_t track, std::uint8_t* buffer,
                                    std::int32_t bufferLength) {
  TrackWalk walk{false};
  if (bufferLength < 4 || !StartWalk(track, &walk)) return 0;
  std::int32_t stored = 0;
  SectorRecord record;
  while (bufferLength - stored >= 4 && NextRecord(&walk, &record)) {
    buffer[stored] = record.c;
    buffer[stored + 1] = record.h;
    buffer[stored + 2] = record.r;
    buffer[stored + 3] = record.n;
    stored += 4;
  }
  return stored;
}

std::int32_t D88Image::GetSectorRecords(std::int32_t track, SectorRecord* records,
                                        std::int32_t maxRecords) {
  TrackWalk walk{false};
  if (maxRecords <= 0 || !StartWalk(track, &walk)) return 0;
  std::int32_t stored = 0;
  while (stored < maxRecords && NextRecord(&walk, &records[stored])) ++stored;
  return stored;
}
