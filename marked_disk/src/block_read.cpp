#include "marked_disk/block_read.h"

#include "d88image/d88_format.h"

namespace marked_disk {
namespace {

// A run is read this many sectors at a time, each stretch with the records
// of its sectors.
constexpr std::int32_t kStretch = 128;

void NoteMarks(const D88Image::SectorRecord& record, RunRead* read) {
  if (record.status == d88::kStatusNone && record.deletedMark == 0) return;
  if (read->markedCount < RunRead::kMaxMarked) {
    read->marked[read->markedCount] = {read->track, read->c, read->h, read->r, record.status,
                                       record.deletedMark};
  }
  ++read->markedCount;
}

// Why the run could not read the sector it stands at, of which it needs
// `wanted` bytes, into the part of the buffer it could not fill.
void FindWhyItStopped(D88Image& image, std::int32_t n, std::uint8_t* rest, std::int32_t wanted,
                      RunRead* read) {
  const std::int32_t got = image.ReadSector(read->track, read->c, read->h, read->r, n, rest, wanted);
  if (got == 0) {
    read->stop = RunRead::Stop::kMissing;
    std::int32_t position = 0;
    read->lookup = image.LookUpTrack(read->track, &position);
  } else {
    read->stop = RunRead::Stop::kShort;
    read->sectorBytes = got;
    read->wanted = wanted;
  }
}

}  // namespace

std::int32_t ReadRun(D88Image& image, std::int32_t track, std::int32_t c, std::int32_t h,
                     std::int32_t r, std::int32_t n, std::uint8_t* buffer, std::int32_t length,
                     RunRead* read) {
  *read = RunRead{};
  read->track = track;
  read->c = c;
  read->h = h;
  read->r = r;
  if (length <= 0) return 0;
  // A size code the run cannot take stops it at its first sector.
  if (n < 0 || n > d88::kMaxSizeCode) {
    FindWhyItStopped(image, n, buffer, length, read);
    return 0;
  }
  const std::int32_t sectorSize = std::int32_t{128} << n;
  D88Image::SectorRecord records[kStretch];
  while (read->bytes < length) {
    const std::int32_t left = length - read->bytes;
    const std::int32_t stretch = left / sectorSize < kStretch ? left : kStretch * sectorSize;
    const std::int32_t got = image.ReadSectors(read->track, read->c, read->h, read->r, n,
                                               buffer + read->bytes, stretch, records, kStretch);
    // Each sector read, where the run's own steps put it; only the run's
    // last may be read in part.
    for (std::int32_t k = 0; k < got / sectorSize + (got % sectorSize != 0); ++k) {
      NoteMarks(records[k], read);
      read->bytes += got - k * sectorSize < sectorSize ? got - k * sectorSize : sectorSize;
      if (read->bytes == length) return read->bytes;
      if (!image.StepRun(&read->track, &read->c, &read->h, &read->r)) {
        read->stop = RunRead::Stop::kOutOfNumbers;
        return read->bytes;
      }
    }
    if (got < stretch) break;
  }
  const std::int32_t left = length - read->bytes;
  FindWhyItStopped(image, n, buffer + read->bytes, left < sectorSize ? left : sectorSize, read);
  return read->bytes;
}

std::int32_t ReadBlock(D88Image& image, const Block& block, std::uint8_t* buffer, RunRead* read) {
  image.SetSectorRange(kFirstSector, kLastSector);
  return ReadRun(image, block.track, CylinderOf(block.track), HeadOf(block.track),
                 block.firstSector, kSizeCode, buffer, block.size, read);
}

}  // namespace marked_disk
