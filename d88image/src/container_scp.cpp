// SuperCard Pro flux: the time between each change of a track's flux, as
// a flux reader measured it over several revolutions. A 16-byte header:
//   +0 "SCP", +3 version, +4 disk type, +5 revolutions, +6 first track,
//   +7 last track, +8 flags, +9 width of an interval in bits (0 for 16),
//   +10 heads (0 both, 1 side 0 only, 2 side 1 only), +11 resolution (a
//   tick is 25 ns x (it + 1)), +12 u32 checksum: the sum of every byte
//   from +16 to the end (0 where the writer gave none)
// then at +16 a table of 168 u32 places of tracks (0 for none), by track
// number: 2 x cylinder + head, or the cylinder alone in a file of one side
// whose numbers say so (some are odd where only side 0 is kept). A track:
// "TRK", its number, then per revolution three u32: the index's time, the
// count of intervals and their place (from the track's "TRK"). Intervals
// are big-endian u16 ticks; 0 adds 65,536 ticks to the next. The
// revolutions follow each other with no change lost between them, so
// they are clocked as one run of cells.

#include <cstring>

#include "bitstream_disk.h"
#include "container_reader.h"
#include "flux_clock.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 16;
constexpr std::int32_t kTableEntries = 168;
constexpr std::int32_t kChunk = 2048;  // intervals read at once
// The intervals the cell time is found from, of the first revolution.
constexpr std::int32_t kSample = 4096;
// A silence longer than this (about 0.4 s at 25 ns) is no longer than it.
constexpr std::int32_t kLongestInterval = 1 << 24;

struct ScpFile {
  std::int32_t revolutions;
  std::int32_t width;
  std::int32_t heads;
  bool byCylinder;  // track numbers are cylinders
  std::int32_t places[kTableEntries];
  std::int32_t cylinders;
  bool clockFound;
};

bool ReadHeader(ContainerFile& file, std::uint8_t (&bytes)[kHeaderSize]) {
  return file.Read(0, bytes, kHeaderSize) && std::memcmp(bytes, "SCP", 3) == 0;
}

// Reads intervals [from, from + count) of a revolution whose intervals
// begin at `place`, into `ticks`; false where the file ends first.
bool ReadIntervals(ContainerFile& file, std::int32_t place, std::int32_t from, std::int32_t count,
                   std::int32_t* ticks) {
  std::uint8_t bytes[2 * kChunk];
  std::int32_t at = 0;
  if (count > kChunk || !AddToPosition(place, 2 * from, &at) || !file.Read(at, bytes, 2 * count)) {
    return false;
  }
  for (std::int32_t k = 0; k < count; ++k) ticks[k] = (bytes[2 * k] << 8) | bytes[2 * k + 1];
  return true;
}

struct Revolution {
  std::int32_t count;
  std::int32_t place;
};

bool LoadTrack(void* context, ContainerFile& file, std::int32_t cylinder, std::int32_t head,
               CellTrack* cells, Container* container) {
  ScpFile& scp = *static_cast<ScpFile*>(context);
  const std::int32_t track = 2 * cylinder + head;
  const std::int32_t index = scp.byCylinder ? cylinder : track;
  if (scp.heads != 0 && head != scp.heads - 1) return false;
  if (index >= kTableEntries || scp.places[index] == 0) return false;
  const std::int32_t place = scp.places[index];
  std::uint8_t start[4];
  if (place < 0 || !file.Read(place, start, 4) || std::memcmp(start, "TRK", 3) != 0) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kTrackHeader,
                track, place);
    return false;
  }
  Revolution revolutions[CellTrack::kMaxRevolutions];
  const std::int32_t count =
      scp.revolutions < CellTrack::kMaxRevolutions ? scp.revolutions : CellTrack::kMaxRevolutions;
  for (std::int32_t r = 0; r < count; ++r) {
    std::uint8_t entry[12];
    std::int32_t at = 0;
    if (!AddToPosition(place, 4 + 12 * r, &at) || !file.Read(at, entry, 12)) {
      NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kTrackHeader,
                  track);
      return false;
    }
    revolutions[r].count = DecodeU32Le(entry + 4);
    std::int32_t data = 0;
    if (revolutions[r].count < 0 || revolutions[r].count > file.Size() / 2 ||
        !AddToPosition(place, DecodeU32Le(entry + 8), &data)) {
      NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kTrackHeader,
                  track, revolutions[r].count);
      return false;
    }
    revolutions[r].place = data;
  }
  if (count == 0) return false;
  // The clock, from the first revolution.
  std::int32_t sample[kSample];
  std::int32_t sampled = revolutions[0].count < kSample ? revolutions[0].count : kSample;
  for (std::int32_t from = 0; from < sampled; from += kChunk) {
    const std::int32_t part = sampled - from < kChunk ? sampled - from : kChunk;
    if (!ReadIntervals(file, revolutions[0].place, from, part, sample + from)) sampled = from;
  }
  std::int32_t taken = 0;
  for (std::int32_t k = 0; k < sampled; ++k) {
    if (sample[k] != 0) sample[taken++] = sample[k];
  }
  std::int32_t cellTime = 0;
  if (!FindCellTime(sample, taken, &cellTime)) return true;
  scp.clockFound = true;
  FluxClock clock;
  clock.Begin(cellTime);
  std::int32_t carried = 0;
  for (std::int32_t r = 0; r < count && !cells->Dropped(); ++r) {
    if (r > 0) cells->BeginRevolution();
    std::int32_t ticks[kChunk];
    for (std::int32_t from = 0; from < revolutions[r].count && !cells->Dropped(); from += kChunk) {
      const std::int32_t part =
          revolutions[r].count - from < kChunk ? revolutions[r].count - from : kChunk;
      if (!ReadIntervals(file, revolutions[r].place, from, part, ticks)) {
        NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kTrackBits,
                    track, r);
        return true;
      }
      for (std::int32_t k = 0; k < part; ++k) {
        if (ticks[k] == 0) {
          if (carried < kLongestInterval) carried += 65536;
          continue;
        }
        clock.Add(carried + ticks[k], cells);
        carried = 0;
      }
    }
  }
  return true;
}

// Whether the file's bytes after its header add up to its checksum.
bool ChecksumHolds(ContainerFile& file, std::uint32_t checksum) {
  std::uint32_t sum = 0;
  std::uint8_t bytes[4096];
  for (std::int32_t at = kHeaderSize; at < file.Size(); at += 4096) {
    const std::int32_t count = file.Size() - at < 4096 ? file.Size() - at : 4096;
    if (!file.Read(at, bytes, count)) return false;
    for (std::int32_t k = 0; k < count; ++k) sum += bytes[k];
  }
  return sum == checksum;
}

}  // namespace

Match RecogniseScp(ContainerFile& file) {
  std::uint8_t bytes[kHeaderSize];
  return ReadHeader(file, bytes) ? Match::kByContent : Match::kNo;
}

void ReadScp(ContainerFile& file, D88Writer& writer, Container* container) {
  std::uint8_t bytes[kHeaderSize];
  ReadHeader(file, bytes);
  ScpFile scp = {};
  scp.revolutions = bytes[5];
  scp.width = bytes[9];
  scp.heads = bytes[10];
  if ((scp.width != 0 && scp.width != 16) || scp.heads > 2) {
    ReadNoTracks(writer, container, ContainerProblem::Kind::kUnsupported,
                 ContainerProblem::Part::kHeader, scp.heads > 2 ? scp.heads : scp.width);
    return;
  }
  const std::uint32_t checksum = static_cast<std::uint32_t>(DecodeU32Le(bytes + 12));
  if (checksum != 0 && !ChecksumHolds(file, checksum)) {
    NoteProblem(container, ContainerProblem::Kind::kBadChecksum, ContainerProblem::Part::kHeader, -1);
  }
  bool odd = false;
  bool even = false;
  for (std::int32_t k = 0; k < kTableEntries; ++k) {
    std::uint8_t entry[4];
    if (!file.Read(kHeaderSize + 4 * k, entry, 4)) {
      ReadNoTracks(writer, container, ContainerProblem::Kind::kCutShort,
                   ContainerProblem::Part::kTrackTable, 0);
      return;
    }
    scp.places[k] = DecodeU32Le(entry);
    if (scp.places[k] == 0) continue;
    (k % 2 != 0 ? odd : even) = true;
    scp.cylinders = k / 2 + 1;
  }
  // A file of one side numbers its tracks 2 x cylinder + head where all
  // are of that head's parity, else by cylinder.
  scp.byCylinder = scp.heads != 0 && odd && even;
  if (scp.byCylinder) {
    for (std::int32_t k = 0; k < kTableEntries; ++k) {
      if (scp.places[k] != 0) scp.cylinders = k + 1;
    }
  }
  const BitstreamTracks tracks = {scp.cylinders, scp.heads == 0 ? 2 : scp.heads, LoadTrack, &scp,
                                  &scp.clockFound};
  ReadBitstreamDisk(file, tracks, 0, writer, container);
}

}  // namespace d88
