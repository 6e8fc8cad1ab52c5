// Raw sector images: the sectors alone, cylinder by cylinder, head by head,
// R 1 to n, with no header. The geometry comes from the file's size, by the
// table below; where a size fits more than one, the name's extension
// chooses, and the first listed is taken for any other name.
//
// A file of no size in the table is raw only where its extension names one
// of its geometries: it is then read as that geometry, cut short.

#include "container_reader.h"
#include "regular_tracks.h"

namespace d88 {
namespace {

struct RawLayout {
  std::int32_t size;
  Geometry geometry;
  // The extensions that name this layout, each followed by a space.
  const char* extensions;
  bool singleDensityTrackZero;
};

// 184,320 bytes (40 x 1 x 18 x 256, the Dragon's and the CoCo's
// single-sided disks) is beyond the usual table of the Japanese machines;
// it is here for the one raw twin of the real images that has it.
constexpr RawLayout kLayouts[] = {
    {163840, {40, 1, 16, 256}, "1d ", false},
    {184320, {40, 1, 18, 256}, "dsk vdk ", false},
    {327680, {40, 2, 16, 256}, "2d ", false},
    {327680, {40, 2, 8, 512}, "", false},
    {368640, {40, 2, 9, 512}, "img ", false},
    {655360, {80, 2, 16, 256}, "2dd ddb ", false},
    {655360, {80, 2, 8, 512}, "dd6 ", false},
    {737280, {80, 2, 9, 512}, "dd9 img ", false},
    {1021696, {77, 2, 26, 256}, "hdb ", true},
    {1228800, {80, 2, 15, 512}, "hd5 img ", false},
    {1261568, {77, 2, 8, 1024}, "hdm xdf dup 2hd ", false},
    {1474560, {80, 2, 18, 512}, "hd4 img ", false},
};

bool Names(const RawLayout& layout, const char* extension) {
  if (extension[0] == '\0') return false;
  for (const char* p = layout.extensions; *p != '\0';) {
    std::int32_t k = 0;
    while (extension[k] != '\0' && p[k] == extension[k]) ++k;
    if (extension[k] == '\0' && p[k] == ' ') return true;
    while (*p != ' ') ++p;
    ++p;
  }
  return false;
}

// The layout a file of `size` bytes whose name ends in `extension` is read
// as, or nullptr.
const RawLayout* ChosenLayout(std::int32_t size, const char* extension) {
  const RawLayout* bySize = nullptr;
  for (const RawLayout& layout : kLayouts) {
    if (layout.size != size) continue;
    if (Names(layout, extension)) return &layout;
    if (bySize == nullptr) bySize = &layout;
  }
  if (bySize != nullptr) return bySize;
  for (const RawLayout& layout : kLayouts) {
    if (Names(layout, extension) && size > 0 && size < layout.size) return &layout;
  }
  return nullptr;
}

}  // namespace

Match RecogniseRaw(ContainerFile& file) {
  return ChosenLayout(file.Size(), file.Extension()) != nullptr ? Match::kBySize : Match::kNo;
}

void ReadRaw(ContainerFile& file, D88Writer& writer, Container* container) {
  const RawLayout& chosen = *ChosenLayout(file.Size(), file.Extension());
  container->geometry = chosen.geometry;
  // The other layouts of the file's size: none for a file cut short.
  for (const RawLayout& layout : kLayouts) {
    if (&layout == &chosen || layout.size != file.Size() ||
        container->otherGeometryCount == Container::kMaxOtherGeometries) {
      continue;
    }
    container->otherGeometries[container->otherGeometryCount++] = layout.geometry;
  }
  RegularLayout regular;
  regular.geometry = chosen.geometry;
  regular.singleDensityTrackZero = chosen.singleDensityTrackZero;
  ReadRegularTracks(file, writer, regular, D88Writer::kImpliedMedia, container);
}

bool RawGeometryOf(std::int32_t size, const char* name, Geometry* geometry) {
  char extension[8];
  ExtensionOf(name, extension);
  const RawLayout* layout = ChosenLayout(size, extension);
  if (layout == nullptr || layout->size != size) return false;
  *geometry = layout->geometry;
  return true;
}

}  // namespace d88
