#include "marked_disk/block_read.h"

#include "d88image/d88_format.h"

namespace marked_disk {

std::int32_t ReadRun(D88Image& image, std::int32_t track, std::int32_t c, std::int32_t h,
                     std::int32_t r, std::int32_t n, std::uint8_t* buffer, std::int32_t length,
                     RunRead* read) {
  *read = RunRead{};
  read->track = track;
  read->c = c;
  read->h = h;
  read->r = r;
  read->bytes = image.ReadSectors(track, c, h, r, n, buffer, length);
  if (read->bytes >= length) return read->bytes;

  // The run stopped at the sector after the bytes it read in full: found by
  // taking the run's own steps from its first sector. A size code the run
  // cannot take stops it at its first sector.
  std::int32_t wanted = length;
  if (n >= 0 && n <= d88::kMaxSizeCode) {
    const std::int32_t sectorSize = std::int32_t{128} << n;
    for (std::int32_t k = 0; k < read->bytes / sectorSize; ++k) {
      if (!image.StepRun(&read->track, &read->c, &read->h, &read->r)) {
        read->stop = RunRead::Stop::kOutOfNumbers;
        return read->bytes;
      }
    }
    const std::int32_t left = length - read->bytes;
    wanted = left < sectorSize ? left : sectorSize;
  }
  // Into the part of the buffer that the run could not fill.
  const std::int32_t got =
      image.ReadSector(read->track, read->c, read->h, read->r, n, buffer + read->bytes, wanted);
  if (got == 0) {
    read->stop = RunRead::Stop::kMissing;
    std::int32_t position = 0;
    read->lookup = image.LookUpTrack(read->track, &position);
  } else {
    read->stop = RunRead::Stop::kShort;
    read->sectorBytes = got;
    read->wanted = wanted;
  }
  return read->bytes;
}

std::int32_t ReadBlock(D88Image& image, const Block& block, std::uint8_t* buffer, RunRead* read) {
  image.SetSectorRange(kFirstSector, kLastSector);
  return ReadRun(image, block.track, CylinderOf(block.track), HeadOf(block.track),
                 block.firstSector, kSizeCode, buffer, block.size, read);
}

}  // namespace marked_disk
