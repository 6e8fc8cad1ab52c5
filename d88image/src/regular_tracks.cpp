// Whole tracks of numbered sectors, read as a D88 disk.

#include "regular_tracks.h"

namespace d88 {
namespace {

constexpr std::int32_t kStoredMapSize = 160;

bool Stored(const RegularLayout& layout, std::int32_t track) {
  return layout.stored == nullptr || (track < kStoredMapSize && layout.stored[track] != 0);
}

bool SingleDensity(const RegularLayout& layout, std::int32_t track) {
  return layout.singleDensityTrackZero && track == 0;
}

}  // namespace

bool PlausibleGeometry(const Geometry& g) {
  return g.cylinders >= 1 && g.cylinders <= kTrackCount / 2 && g.heads >= 1 && g.heads <= 2 &&
         g.sectors >= 1 && g.sectors <= 255 && g.sectorSize >= 128 && g.sectorSize <= 16384 &&
         (g.sectorSize & (g.sectorSize - 1)) == 0;
}

std::int32_t RegularTrackBytes(const RegularLayout& layout, std::int32_t track) {
  if (!Stored(layout, track)) return 0;
  const std::int32_t size = SingleDensity(layout, track) ? 128 : layout.geometry.sectorSize;
  return layout.geometry.sectors * size;
}

std::int32_t RegularDataBytes(const RegularLayout& layout) {
  std::int32_t bytes = 0;
  const Geometry& g = layout.geometry;
  for (std::int32_t c = 0; c < g.cylinders; ++c) {
    for (std::int32_t h = 0; h < g.heads; ++h) bytes += RegularTrackBytes(layout, 2 * c + h);
  }
  return bytes;
}

void ReadRegularTracks(ContainerFile& file, D88Writer& writer, const RegularLayout& layout,
                       std::int32_t mediaType, Container* container) {
  writer.BeginDisk(nullptr, 0, mediaType);
  const Geometry& g = layout.geometry;
  std::int32_t position = layout.dataStart;
  for (std::int32_t c = 0; c < g.cylinders; ++c) {
    for (std::int32_t h = 0; h < g.heads; ++h) {
      const std::int32_t track = 2 * c + h;
      if (!Stored(layout, track)) continue;
      const bool fm = SingleDensity(layout, track);
      const std::int32_t size = fm ? 128 : g.sectorSize;
      const std::int32_t first = layout.numberedFromTen && track != 0 ? 10 : 1;
      for (std::int32_t k = 0; k < g.sectors; ++k) {
        if (size > file.Size() - position) {
          NoteProblem(container, ContainerProblem::Kind::kCutShort,
                      ContainerProblem::Part::kSectorData, track);
          writer.EndDisk();
          return;
        }
        SectorFacts facts;
        facts.c = static_cast<std::uint8_t>(c);
        facts.h = static_cast<std::uint8_t>(h);
        facts.r = static_cast<std::uint8_t>(first + k);
        facts.n = SizeCodeOf(size);
        facts.density = fm ? kSingleDensity : kDoubleDensity;
        std::uint8_t* data = writer.AddSector(track, facts, size);
        if (data == nullptr) {
          writer.EndDisk();
          return;
        }
        file.Read(position, data, size);
        position += size;
      }
    }
  }
  writer.EndDisk();
}

}  // namespace d88
