// DIM (X68000 and PC-98): a 256-byte header, then the stored tracks' sectors.
//   +0     media: 0 2HD (8 x 1024), 1 2HS (9 x 1024), 2 2HC (15 x 512),
//          3 2HDE (9 x 1024), 9 2HQ (18 x 512), 17 N88-BASIC (26 x 256)
//   +1     160 bytes, one per track (2 x cylinder + head): 1 = stored
//   +0xAB  "DIFC HEADER  "
//   +0x100 the stored tracks, in order
// Sources give these media 77, 80 or 82 cylinders: the count is taken from
// the stored map (its last stored track), or where the map stores nothing,
// from the file's size. 2HS numbers its sectors 10 to 18 but on cylinder 0
// head 0 (R 1 to 9), as one source has it; 2HDE and media 17 are read as
// plain tracks of their sectors, every track alike (no source says more).

#include <cstring>

#include "container_reader.h"
#include "regular_tracks.h"

namespace d88 {
namespace {

constexpr std::int32_t kHeaderSize = 0x100;
constexpr std::int32_t kMapOffset = 1;
constexpr std::int32_t kMapSize = 160;
constexpr std::int32_t kSignatureOffset = 0xAB;
constexpr char kSignature[] = "DIFC HEADER  ";

struct DimMedia {
  std::int32_t media;
  std::int32_t sectors;
  std::int32_t sectorSize;
  bool numberedFromTen;
};
constexpr DimMedia kMedia[] = {{0, 8, 1024, false}, {1, 9, 1024, true}, {2, 15, 512, false},
                               {3, 9, 1024, false}, {9, 18, 512, false}, {17, 26, 256, false}};

}  // namespace

Match RecogniseDim(ContainerFile& file) {
  std::uint8_t signature[sizeof kSignature - 1];
  if (!file.Read(kSignatureOffset, signature, sizeof signature)) return Match::kNo;
  return std::memcmp(signature, kSignature, sizeof signature) == 0 ? Match::kByContent : Match::kNo;
}

void ReadDim(ContainerFile& file, D88Writer& writer, Container* container) {
  std::uint8_t header[kHeaderSize] = {};
  if (!file.Read(0, header, kHeaderSize)) {
    NoteProblem(container, ContainerProblem::Kind::kCutShort, ContainerProblem::Part::kHeader, -1);
  }
  const DimMedia* media = nullptr;
  for (const DimMedia& known : kMedia) {
    if (known.media == header[0]) media = &known;
  }
  if (media == nullptr) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kHeader, -1,
                header[0]);
    writer.BeginDisk(nullptr, 0, D88Writer::kImpliedMedia);
    writer.EndDisk();
    return;
  }
  RegularLayout layout;
  layout.dataStart = kHeaderSize;
  layout.numberedFromTen = media->numberedFromTen;
  layout.geometry = {0, 2, media->sectors, media->sectorSize};
  const std::uint8_t* map = header + kMapOffset;
  for (std::int32_t t = 0; t < kMapSize; ++t) {
    if (map[t] != 0) layout.geometry.cylinders = t / 2 + 1;
  }
  if (layout.geometry.cylinders > 0) {
    layout.stored = map;
  } else {
    const std::int32_t trackBytes = media->sectors * media->sectorSize;
    const std::int32_t tracks = (file.Size() - kHeaderSize) / trackBytes;
    layout.geometry.cylinders = tracks > kMapSize ? kMapSize / 2 : (tracks + 1) / 2;
  }
  container->geometry = layout.geometry;
  ReadRegularTracks(file, writer, layout, D88Writer::kImpliedMedia, container);
}

}  // namespace d88
