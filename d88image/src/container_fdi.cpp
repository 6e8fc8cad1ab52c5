// FDI (PC-98): a header of eight u32 fields, then the sectors as a raw
// image holds them.
//   +0   reserved        +4   drive type      +8   header size (4096)
//   +12  data size       +16  sector size     +20  sectors per track
//   +24  heads           +28  cylinders
// The file is FDI where the header's size and the data's add up to the
// file's, and the data's is what the geometry holds. The drive type is not
// needed: the geometry says the media.

#include "container_reader.h"
#include "regular_tracks.h"

namespace d88 {
namespace {

constexpr std::int32_t kFieldsSize = 32;

struct FdiHeader {
  std::int32_t headerSize;
  std::int32_t dataSize;
  Geometry geometry;
};

constexpr std::int32_t kLargestHeader = 1 << 20;

// How the file answers to FDI: by content where its header's fields agree
// with each other and with the file's size; by name where they agree with
// each other alone, in a file named .fdi.
Match ReadHeader(ContainerFile& file, FdiHeader* header) {
  std::uint8_t bytes[kFieldsSize];
  if (!file.Read(0, bytes, kFieldsSize)) return Match::kNo;
  header->headerSize = DecodeU32Le(bytes + 8);
  header->dataSize = DecodeU32Le(bytes + 12);
  header->geometry = {DecodeU32Le(bytes + 28), DecodeU32Le(bytes + 24), DecodeU32Le(bytes + 20),
                      DecodeU32Le(bytes + 16)};
  RegularLayout layout;
  layout.geometry = header->geometry;
  if (header->headerSize < kFieldsSize || header->headerSize > kLargestHeader ||
      !PlausibleGeometry(header->geometry) || RegularDataBytes(layout) != header->dataSize) {
    return Match::kNo;
  }
  if (header->headerSize == file.Size() - header->dataSize) return Match::kByContent;
  return file.HasExtension("fdi") ? Match::kByName : Match::kNo;
}

}  // namespace

Match RecogniseFdi(ContainerFile& file) {
  FdiHeader header = {};
  return ReadHeader(file, &header);
}

void ReadFdi(ContainerFile& file, D88Writer& writer, Container* container) {
  FdiHeader header = {};
  ReadHeader(file, &header);
  // A file longer than its header and data says holds something else too.
  if (header.dataSize < file.Size() - header.headerSize) {
    NoteProblem(container, ContainerProblem::Kind::kBadField, ContainerProblem::Part::kHeader, -1,
                header.dataSize);
  }
  container->geometry = header.geometry;
  RegularLayout layout;
  layout.geometry = header.geometry;
  layout.dataStart = header.headerSize;
  ReadRegularTracks(file, writer, layout, D88Writer::kImpliedMedia, container);
}

}  // namespace d88
