// DCP and DCU (Disk Copy Pro, PC-98): a 0xA2-byte header, then the stored
// tracks' sectors.
//   +0     media (the table below)
//   +1     160 bytes, one per track (2 x cylinder + head): 1 = stored
//   +0xA1  1 = every track is stored, whatever the map says
// No magic: the file is DCP where its media is known and its size is the
// header's and the stored tracks'. Some writers leave a wrong map; where
// the map's tracks do not add up to the size and every track's do, every
// track is read.

#include "container_reader.h"
#include "regular_tracks.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 0xA2;
constexpr std::int32_t kMapOffset = 1;
constexpr std::int32_t kAllTracksOffset = 0xA1;

struct DcpMedia {
  std::int32_t media;
  Geometry geometry;
  bool singleDensityTrackZero;
};
constexpr DcpMedia kMedia[] = {
    {0x01, {77, 2, 8, 1024}, false}, {0x02, {80, 2, 15, 512}, false},
    {0x03, {80, 2, 18, 512}, false}, {0x04, {80, 2, 8, 512}, false},
    {0x05, {80, 2, 9, 512}, false},  {0x08, {80, 2, 9, 1024}, false},
    {0x11, {77, 2, 26, 256}, true},  {0x19, {80, 2, 16, 256}, false},
    {0x21, {80, 2, 26, 256}, false}};

// The layout the file's size agrees with, the map's or every track's; or
// in a file named .dcp or .dcu of a known media, the map's, which the size
// does not agree with.
Match FindLayout(ContainerFile& file, std::uint8_t (&header)[kHeaderSize], RegularLayout* layout) {
  if (!file.Read(0, header, kHeaderSize)) return Match::kNo;
  for (const DcpMedia& media : kMedia) {
    if (media.media != header[0]) continue;
    layout->geometry = media.geometry;
    layout->dataStart = kHeaderSize;
    layout->singleDensityTrackZero = media.singleDensityTrackZero;
    layout->stored = nullptr;
    if (RegularDataBytes(*layout) == file.Size() - kHeaderSize) return Match::kByContent;
    if (header[kAllTracksOffset] != 1) layout->stored = header + kMapOffset;
    if (RegularDataBytes(*layout) == file.Size() - kHeaderSize) return Match::kByContent;
    return file.HasExtension("dcp") || file.HasExtension("dcu") ? Match::kByName : Match::kNo;
  }
  return Match::kNo;
}

}  // namespace

Match RecogniseDcp(ContainerFile& file) {
  std::uint8_t header[kHeaderSize] = {};
  RegularLayout layout;
  return FindLayout(file, header, &layout);
}

void ReadDcp(ContainerFile& file, D88Writer& writer, Container* container) {
  std::uint8_t header[kHeaderSize] = {};
  RegularLayout layout;
  FindLayout(file, header, &layout);
  if (RegularDataBytes(layout) < file.Size() - kHeaderSize) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kTrackTable,
                -1, RegularDataBytes(layout));
  }
  container->geometry = layout.geometry;
  ReadRegularTracks(file, writer, layout, D88Writer::kImpliedMedia, container);
}

}  // namespace d88
