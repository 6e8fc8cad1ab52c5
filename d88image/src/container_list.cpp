// Every container the reader knows, and the order in which a file is
// offered to them: first to those that know their files by what they
// hold, then to raw images, known by their size alone. A name of the D88
// family is always a D88, so is a file that begins as one, and a file no
// container claims reads as a D88, as every file did before there were
// other containers.

#include "container_reader.h"

namespace d88 {
namespace {

constexpr ContainerReader kReaders[] = {
    {Format::kImd, RecogniseImd, ReadImd},    {Format::kTd0, RecogniseTd0, ReadTd0},
    {Format::kDsk, RecogniseDsk, ReadDsk},    {Format::kEdsk, RecogniseEdsk, ReadDsk},
    {Format::kNfd, RecogniseNfd, ReadNfd},    {Format::kVfd, RecogniseVfd, ReadVfd},
    {Format::kDim, RecogniseDim, ReadDim},    {Format::kFdi, RecogniseFdi, ReadFdi},
    {Format::kDcp, RecogniseDcp, ReadDcp},    {Format::kDmk, RecogniseDmk, ReadDmk},
    {Format::kHfe, RecogniseHfe, ReadHfe},    {Format::kMfm, RecogniseHxcMfm, ReadHxcMfm},
    {Format::k86f, Recognise86f, Read86f},    {Format::kScp, RecogniseScp, ReadScp},
    {Format::kRaw, RecogniseRaw, ReadRaw},
};

constexpr const char* kD88Extensions[] = {"d88", "d77", "d68", "d98", "88d", "1dd"};
constexpr std::int32_t kMaxContainerFile = 1 << 30;

// Whether the file begins as a D88 does: a disk size no less than a
// header's, and a first track right after a table of 164 entries or 160
// (the slots from the first track on being no entries).
bool LooksLikeD88(ContainerFile& file) {
  std::uint8_t header[kDiskHeaderSize];
  if (!file.Read(0, header, kDiskHeaderSize)) return false;
  const std::int32_t size = DecodeU32Le(header + kDiskSizeOffset);
  std::int32_t tableEnd = kDiskHeaderSize;
  for (std::int32_t t = 0; kTrackTableOffset + 4 * t < tableEnd; ++t) {
    const std::int32_t entry = DecodeU32Le(header + kTrackTableOffset + 4 * t);
    if (entry > 0 && entry < tableEnd) tableEnd = entry;
  }
  return size >= kDiskHeaderSize && (tableEnd == kDiskHeaderSize || tableEnd == kDiskHeaderSize - 16);
}

}  // namespace

const char* FormatName(Format format) {
  switch (format) {
    case Format::kD88: return "d88";
    case Format::kRaw: return "raw";
    case Format::kFdi: return "fdi";
    case Format::kDim: return "dim";
    case Format::kDcp: return "dcp";
    case Format::kNfd: return "nfd";
    case Format::kVfd: return "vfd";
    case Format::kImd: return "imd";
    case Format::kDsk: return "dsk";
    case Format::kEdsk: return "edsk";
    case Format::kTd0: return "td0";
    case Format::kDmk: return "dmk";
    case Format::kHfe: return "hfe";
    case Format::kMfm: return "mfm";
    case Format::k86f: return "86f";
    case Format::kScp: return "scp";
  }
  return "d88";
}

const ContainerReader* FindContainerReader(ContainerFile& file) {
  for (const char* extension : kD88Extensions) {
    if (file.HasExtension(extension)) return nullptr;
  }
  // A file this large is no container's: positions within it, and a
  // field's worth past them, stay within 32 bits.
  if (file.Size() >= kMaxContainerFile) return nullptr;
  const ContainerReader* best = nullptr;
  Match bestMatch = Match::kNo;
  for (const ContainerReader& reader : kReaders) {
    const Match match = reader.recognise(file);
    if (match > bestMatch) {
      best = &reader;
      bestMatch = match;
    }
    if (match == Match::kByContent) return best;
  }
  // A D88 under another name is still a D88, before any size or name says
  // otherwise.
  return LooksLikeD88(file) ? nullptr : best;
}

}  // namespace d88
