// d88conv: converts a disk image, in any container the reader knows, to a
// D88 or to a raw image, as the output's name says, written as d88cut
// writes its files: whole, or not at all.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "conversion.h"
#include "d88image/d88image.h"
#include "messages.h"
#include "output_kind.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/image_words.h"
#include "platform/output_file.h"
#include "platform/process.h"
#include "platform/tool_output.h"
#include "platform/translation.h"

namespace {

using platform::Say;

D88Image image;
// What is written, laid out whole before the file is made: four times the
// most one disk of another container can be, for a D88 of several disks.
constexpr std::int32_t kMaxOutput = 4 * d88::kMaxConvertedSize;
std::uint8_t output[kMaxOutput];
// What records a disk as HFE into `output`, keeping a track's sectors and
// cells while it records them.
d88::HfeWriter hfe(output, kMaxOutput);

// Why `misfit` keeps the disk from being written, in words.
const char* DescribeMisfit(const d88conv::Misfit& misfit, char (&reason)[512]) {
  using Kind = d88conv::Misfit::Kind;
  const int t = static_cast<int>(misfit.track);
  const int c = t >> 1;
  const int h = t & 1;
  const int r = static_cast<int>(misfit.r);
  const int value = static_cast<int>(misfit.value);
  const int expected = static_cast<int>(misfit.expected);
  switch (misfit.kind) {
    case Kind::kNone: reason[0] = '\0'; break;
    case Kind::kTooLarge: std::snprintf(reason, sizeof reason, Say(d88conv::kTooLarge), expected); break;
    case Kind::kTooManySectors:
      std::snprintf(reason, sizeof reason, Say(d88conv::kTooManySectors), t, c, h, expected);
      break;
    case Kind::kNoTracks: std::snprintf(reason, sizeof reason, Say(d88conv::kNoTracks), value); break;
    case Kind::kTrackMissing:
      std::snprintf(reason, sizeof reason, Say(d88conv::kTrackMissing), t, c, h);
      break;
    case Kind::kSectorMissing:
      std::snprintf(reason, sizeof reason, Say(d88conv::kSectorMissing), t, c, h, r);
      break;
    case Kind::kCountDiffers:
      std::snprintf(reason, sizeof reason, Say(d88conv::kSectorCountDiffers), t, c, h, value,
                    expected);
      break;
    case Kind::kSizeDiffers:
      std::snprintf(reason, sizeof reason, Say(d88conv::kSectorSizeDiffers), t, c, h, r, value,
                    expected);
      break;
    case Kind::kSectorTwice:
      std::snprintf(reason, sizeof reason, Say(d88conv::kSectorTwice), t, c, h, r);
      break;
    case Kind::kSizeCodeDiffers:
      std::snprintf(reason, sizeof reason, Say(d88conv::kSizeCodeDiffers), t, c, h, r, value,
                    expected);
      break;
    case Kind::kDataCutShort:
      std::snprintf(reason, sizeof reason, Say(d88conv::kDataCutShort), t, c, h, r);
      break;
    case Kind::kTrackTooLong:
      std::snprintf(reason, sizeof reason, Say(d88conv::kTrackTooLong), t, c, h, value, expected);
      break;
    case Kind::kMixedDensity:
      std::snprintf(reason, sizeof reason, Say(d88conv::kMixedDensity), t, c, h);
      break;
  }
  return reason;
}

int Convert(const char* input, const char* outputPath, std::int32_t disk) {
  if (!image.Open(input)) {
    char reason[platform::kMaxImageWords];
    platform::ReportOpenFailure(input, image.GetOpenFailure(), reason);
    return 1;
  }
  char reason[512];
  if (image.GetContainer().problem.kind != d88::ContainerProblem::Kind::kNone) {
    char damage[platform::kMaxImageWords];
    std::snprintf(reason, sizeof reason, Say(d88conv::kDamaged),
                  platform::DescribeContainerProblem(image.GetContainer().problem, damage));
    platform::ReportError(reason, d88conv::kImage, input);
    return 1;
  }
  const std::int32_t count = image.GetDiskCount();
  if (count == 0 || (disk >= count)) {
    if (count == 0) {
      std::snprintf(reason, sizeof reason, "%s", Say(d88conv::kNoDisks));
    } else {
      std::snprintf(reason, sizeof reason, Say(d88conv::kNoSuchDisk), static_cast<int>(disk),
                    static_cast<int>(count));
    }
    platform::ReportError(reason, d88conv::kImage, input);
    return 1;
  }
  // A file that no container claims reads as a D88; one whose disks are
  // nothing a D88 could hold is no image at all.
  bool plausible = false;
  for (std::int32_t k = disk < 0 ? 0 : disk; k <= (disk < 0 ? count - 1 : disk); ++k) {
    plausible = plausible || (image.SelectDisk(k) && image.SelectedDiskIsPlausible());
  }
  if (!plausible) {
    platform::ReportError(Say(d88conv::kNotAnImage), d88conv::kImage, input);
    return 1;
  }
  const d88conv::OutputKind kind = d88conv::OutputKindOf(outputPath);
  d88conv::Misfit misfit;
  d88::HfeWriter::Inexact inexact;
  d88::Geometry geometry;
  std::int32_t size = 0;
  switch (kind) {
    case d88conv::OutputKind::kUnknown:
      platform::ReportError(Say(d88conv::kUnknownOutput), d88conv::kImage, outputPath);
      return 1;
    case d88conv::OutputKind::kD88:
      size = d88conv::LayOutD88(image, disk < 0 ? 0 : disk, disk < 0 ? count - 1 : disk, output,
                                kMaxOutput, &misfit);
      break;
    case d88conv::OutputKind::kRaw:
      size = d88conv::LayOutRaw(image, disk < 0 ? 0 : disk, output, kMaxOutput, &misfit,
                                &geometry);
      break;
    case d88conv::OutputKind::kHfe:
      size = d88conv::LayOutHfe(image, disk < 0 ? 0 : disk, hfe, kMaxOutput, &misfit, &inexact);
      break;
  }
  if (misfit.kind != d88conv::Misfit::Kind::kNone) {
    platform::ReportError(DescribeMisfit(misfit, reason), d88conv::kImage, input);
    return 1;
  }
  int error = 0;
  if (!platform::WriteFileReplacing(outputPath, output, size, &error)) {
    platform::ReportError(std::strerror(error), d88conv::kCannotWrite, outputPath);
    return 1;
  }
  if (inexact.any) {
    const int t = static_cast<int>(inexact.track);
    if (inexact.byStatus && inexact.readBack < 0) {
      std::snprintf(reason, sizeof reason, Say(d88conv::kIdsAllBad), t, t >> 1, t & 1);
    } else if (inexact.byStatus) {
      std::snprintf(reason, sizeof reason, Say(d88conv::kStatusNotKept), t, t >> 1, t & 1,
                    static_cast<int>(inexact.r), static_cast<int>(inexact.status),
                    static_cast<int>(inexact.deletedMark), static_cast<int>(inexact.readBack));
    } else {
      std::snprintf(reason, sizeof reason, Say(d88conv::kDataKeptAs), t, t >> 1, t & 1,
                    static_cast<int>(inexact.r), static_cast<int>(inexact.dataSize),
                    static_cast<int>(inexact.nominal));
    }
    platform::ReportWarning(reason, d88conv::kImage, outputPath);
  }
  // A raw image is known by its size alone: say where it will not read
  // back as the disk it holds.
  d88::Geometry readBack;
  const bool known = d88::RawGeometryOf(size, outputPath, &readBack);
  if (kind == d88conv::OutputKind::kRaw && !(known && readBack == geometry)) {
    const d88::Geometry& g = geometry;
    if (known) {
      std::snprintf(reason, sizeof reason, Say(d88conv::kReadsBackAs), g.cylinders, g.heads,
                    g.sectors, g.sectorSize, readBack.cylinders, readBack.heads, readBack.sectors,
                    readBack.sectorSize);
    } else {
      std::snprintf(reason, sizeof reason, Say(d88conv::kReadsBackAsNothing), g.cylinders,
                    g.heads, g.sectors, g.sectorSize);
    }
    platform::ReportWarning(reason, d88conv::kImage, outputPath);
  }
  return 0;
}

// What it says of its command line.
constexpr platform::DiskToolWords kWords = {
    d88conv::kProgram,
    d88conv::kUsage,
    d88conv::kHelp,
    d88conv::kVersion,
    D88CUT_VERSION,
    d88conv::kUnknownOption,
    d88conv::kNoDiskNumber,
    d88conv::kBadDiskNumber,
    d88conv::kWriteError,
    d88conv::kPressEnter};

}  // namespace

int main(int rawArgc, char* rawArgv[]) {
  platform::PrepareProcess();
  platform::SetProgramName(d88conv::kProgram);
  int argc = 0;
  char** argv = platform::Utf8Arguments(rawArgc, rawArgv, &argc);
  platform::DiskCommandLine line;
  int status = 0;
  if (!platform::ReadDiskCommandLine(argc, argv, 2, 2, d88::kMaxDisks, kWords, &line,
                                     &status)) {
    return status;
  }
  const int converted = Convert(argv[1], argv[2], line.disk);
  const int finished = platform::FinishRun(d88conv::kWriteError);
  return converted != 0 ? converted : finished;
}
