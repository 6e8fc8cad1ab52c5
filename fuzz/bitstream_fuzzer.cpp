// Decodes the input as one track's bits, as the bitstream containers give
// them: its first byte says how (cells, one revolution or several; or
// flux intervals, big-endian u16 ticks, clocked to cells), the rest is the
// track. Whatever the bits, decoding stays within its bounds, every
// sector laid out lies within the D88 made, and the notes of the decoding
// count no more than was read.

#include <cstdint>
#include <cstdlib>
#include <new>

#include "bitstream_disk.h"
#include "d88image/d88_writer.h"
#include "flux_clock.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  alignas(d88::DecodeSpace) static std::uint8_t room[sizeof(d88::DecodeSpace)];
  static d88::DecodeSpace& space = *new (room) d88::DecodeSpace;
  static std::uint8_t out[4 * 1024 * 1024];
  const std::uint8_t how = data[0];
  const std::uint8_t* bits = data + 1;
  const std::int32_t length = static_cast<std::int32_t>(size - 1);
  space.cells.Clear();
  space.reads.Clear();
  if ((how & 1) == 0) {
    // Cells, in up to four revolutions of equal parts.
    const std::int32_t revolutions = 1 + ((how >> 1) & 3);
    for (std::int32_t r = 0; r < revolutions; ++r) {
      if (r > 0) space.cells.BeginRevolution();
      for (std::int32_t k = r * length / revolutions; k < (r + 1) * length / revolutions; ++k) {
        space.cells.AddByte(bits[k]);
      }
    }
  } else {
    static std::int32_t intervals[1 << 16];
    std::int32_t count = 0;
    for (std::int32_t k = 0; k + 1 < length && count < (1 << 16); k += 2) {
      intervals[count++] = (bits[k] << 8) | bits[k + 1];
    }
    static std::int32_t sample[1 << 16];
    std::int32_t sampled = 0;
    for (std::int32_t k = 0; k < count; ++k) {
      if (intervals[k] != 0) sample[sampled++] = intervals[k];
    }
    std::int32_t cellTime = 0;
    if (d88::FindCellTime(sample, sampled, &cellTime)) {
      Check(cellTime > 0);
      d88::FluxClock clock;
      clock.Begin(cellTime);
      for (std::int32_t k = 0; k < count; ++k) {
        if ((how & 2) != 0 && k == count / 2) space.cells.BeginRevolution();
        clock.Add(intervals[k] == 0 ? 65536 : intervals[k], &space.cells);
      }
    }
  }
  Check(space.cells.Count() <= d88::CellTrack::kMaxCells);
  d88::DecodeTrack(space.cells, &space.marks, &space.reads);
  Check(space.reads.Rounds() == space.cells.Revolutions());
  Check(space.reads.Count() <= d88::TrackReads::kMaxReads);
  d88::D88Writer writer(out, sizeof out);
  writer.BeginDisk(nullptr, 0, d88::D88Writer::kImpliedMedia);
  d88::TrackDecoding decoding;
  const bool written = space.reads.Write(writer, 0, &decoding);
  writer.EndDisk();
  Check(writer.Size() <= static_cast<std::int32_t>(sizeof out));
  Check(decoding.reads == space.reads.Rounds());
  Check(decoding.disagreeing <= decoding.reads);
  Check(decoding.sectorCount <= d88::TrackDecoding::kMaxSectors);
  for (std::int32_t k = 0; k < decoding.sectorCount; ++k) Check(decoding.sectorRead[k] < decoding.reads);
  Check(written || writer.Problem().kind != d88::ContainerProblem::Kind::kNone);
  return 0;
}
