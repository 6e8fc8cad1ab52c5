#include "bitstream_disk.h"

#include <algorithm>
#include <new>

namespace d88 {
namespace {

static_assert(sizeof(DecodeSpace) <= static_cast<std::size_t>(kDecodeSpaceSize),
              "the decoding's room is too small");

// A drive of more cylinders than a 2D disk's 40 (and a few more) may have
// read a 40-track disk twice over.
constexpr std::int32_t kMostSingleStepped = 43;
// A revolution of double density is 100,000 cells at 300 rpm (83,333 at
// 360); of high density, 166,667 at 360 rpm (200,000 at 300).
constexpr std::int32_t kMostDoubleDensityCells = 130000;

// The cylinder most of the good IDs on (cylinder, head 0) name; -1 where
// none reads good.
std::int32_t IdCylinder(ContainerFile& file, const BitstreamTracks& tracks, DecodeSpace& space,
                        std::int32_t cylinder, Container* container) {
  space.reads.Clear();
  space.cells.Clear();
  if (!tracks.load(tracks.context, file, cylinder, 0, &space.cells, container)) return -1;
  DecodeTrack(space.cells, &space.marks, &space.reads);
  std::int32_t votes[256] = {};
  std::int32_t best = -1;
  for (std::int32_t k = 0; k < space.reads.Count(); ++k) {
    const SectorRead& read = space.reads.At(k);
    if (read.quality == ReadQuality::kIdCrcError) continue;
    ++votes[read.facts.c];
    if (best < 0 || votes[read.facts.c] > votes[best]) best = read.facts.c;
  }
  return best;
}

bool RecordedTwice(ContainerFile& file, const BitstreamTracks& tracks, DecodeSpace& space,
                   Container* container) {
  if (tracks.cylinders <= kMostSingleStepped) return false;
  for (std::int32_t p = 2; p < tracks.cylinders && p <= 8; p += 2) {
    const std::int32_t named = IdCylinder(file, tracks, space, p, container);
    if (named >= 0) return named == p / 2;
  }
  return false;
}

}  // namespace

void AddFileCells(ContainerFile& file, std::int32_t position, std::int32_t count,
                  std::int32_t track, CellTrack* cells, Container* container) {
  constexpr std::int32_t kChunk = 4096;
  std::uint8_t bytes[kChunk];
  const std::int32_t length = count / 8 + (count % 8 != 0 ? 1 : 0);
  for (std::int32_t at = 0; at < length; at += kChunk) {
    const std::int32_t chunk = length - at < kChunk ? length - at : kChunk;
    std::int32_t from = 0;
    if (!AddToPosition(position, at, &from) || !file.Read(from, bytes, chunk)) {
      NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kTrackBits,
                  track, at);
      return;
    }
    for (std::int32_t k = 0; k < chunk; ++k) {
      const std::int32_t left = count - 8 * (at + k);
      cells->AddByte(bytes[k], left < 8 ? left : 8);
    }
  }
}

void ReadNoTracks(D88Writer& writer, Container* container, ContainerProblem::Kind kind,
                  ContainerProblem::Part part, std::int32_t value) {
  NoteProblem(container, kind, part, -1, value);
  writer.BeginDisk(nullptr, 0, D88Writer::kImpliedMedia);
  writer.EndDisk();
}

void ReadBitstreamDisk(ContainerFile& file, const BitstreamTracks& tracks,
                       std::int32_t writeProtect, D88Writer& writer, Container* container) {
  DecodeSpace& space = *new (file.DecodeRoom()) DecodeSpace;
  container->decoded = true;
  writer.BeginDisk(nullptr, writeProtect, D88Writer::kImpliedMedia);
  const bool twice = RecordedTwice(file, tracks, space, container);
  container->doubleStepped = twice;
  const std::int32_t cylinders = twice ? (tracks.cylinders + 1) / 2 : tracks.cylinders;
  bool anySector = false;
  // Each track's revolution, the data rate's measure: the middle one of
  // them, so that one long track (of copy protection) does not decide.
  std::int32_t lengths[kTrackCount];
  std::int32_t lengthCount = 0;
  for (std::int32_t c = 0; c < cylinders; ++c) {
    for (std::int32_t h = 0; h < tracks.heads; ++h) {
      const std::int32_t track = 2 * c + h;
      if (track >= kTrackCount) {
        NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kHeader, -1,
                    tracks.cylinders);
        writer.EndDisk();
        return;
      }
      space.reads.Clear();
      TrackDecoding::Encoding encoding = TrackDecoding::Encoding::kNone;
      std::int32_t firstRecordingReads = 0;
      for (std::int32_t copy = 0; copy < (twice ? 2 : 1); ++copy) {
        if (copy == 1) firstRecordingReads = space.reads.Rounds();
        const std::int32_t cylinder = twice ? 2 * c + copy : c;
        if (cylinder >= tracks.cylinders) break;
        space.cells.Clear();
        if (!tracks.load(tracks.context, file, cylinder, h, &space.cells, container)) continue;
        if (space.cells.Dropped()) {
          NoteProblem(container, ContainerProblem::Kind::kTooLarge, ContainerProblem::Part::kTrackBits,
                      track, space.cells.Count());
        }
        const TrackDecoding::Encoding found = DecodeTrack(space.cells, &space.marks, &space.reads);
        if (encoding == TrackDecoding::Encoding::kNone) encoding = found;
        if (found != TrackDecoding::Encoding::kNone && copy == 0) {
          lengths[lengthCount++] = space.cells.RevolutionEnd(0) - space.cells.RevolutionStart(0);
        }
      }
      if (space.reads.Count() == 0) continue;
      container->decoding[track].encoding = encoding;
      container->decoding[track].firstRecordingReads =
          static_cast<std::uint8_t>(twice && firstRecordingReads > 0 ? firstRecordingReads : space.reads.Rounds());
      if (!space.reads.Write(writer, track, &container->decoding[track])) {
        writer.EndDisk();
        return;
      }
      anySector = true;
    }
  }
  if (lengthCount > 0) {
    std::nth_element(lengths, lengths + lengthCount / 2, lengths + lengthCount);
    writer.SetHighDensity(lengths[lengthCount / 2] > kMostDoubleDensityCells);
  }
  writer.EndDisk();
  if (!anySector) {
    const bool noClock = tracks.clockFound != nullptr && !*tracks.clockFound;
    NoteProblem(container, noClock ? ContainerProblem::Kind::kNoClock : ContainerProblem::Kind::kNoSectors,
                ContainerProblem::Part::kTrackBits, -1);
  }
}

}  // namespace d88
