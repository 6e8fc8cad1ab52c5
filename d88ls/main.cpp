// d88ls: lists the disks of D88 images and, for each, whether d88cut would
// recognise it and which of its blocks it could cut.

#include <cstdio>
#include <cstring>

#include "d88image/d88image.h"
#include "disk_report.h"
#include "messages.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/tool_output.h"

namespace {

using platform::Print;

D88Image image;

const char* Describe(d88::FileKind kind) {
  switch (kind) {
    case d88::FileKind::kFolder: return d88ls::kAFolder;
    case d88::FileKind::kDevice: return d88ls::kADevice;
    case d88::FileKind::kFifo: return d88ls::kAFifo;
    case d88::FileKind::kSocket: return d88ls::kASocket;
    default: return d88ls::kNotAFile;
  }
}

// Says on standard error why `path` did not open as an image, as the reader
// found it: the path is not looked at again.
void ReportUnopened(const char* path) {
  const d88::OpenFailure failure = image.GetOpenFailure();
  if (failure.kind != d88::FileKind::kNone) {
    char reason[64];
    std::snprintf(reason, sizeof reason, d88ls::kNotARegularFile, Describe(failure.kind));
    platform::ReportError(reason, "%s", path);
  } else {
    platform::ReportError(std::strerror(failure.error), d88ls::kCannotOpen, path);
  }
}

// Disks from `first` on start where disk `again` did, and so repeat the
// disks from there: one line says so instead of listing each again. The
// size fields of disks `again` to `first - 1` add up to 0.
void PrintRepeats(std::int32_t first, std::int32_t last, std::int32_t again) {
  if (first == last) {
    Print(d88ls::kRepeatedDisk, static_cast<int>(first));
  } else {
    Print(d88ls::kRepeatedDisks, static_cast<int>(first), static_cast<int>(last));
  }
  const int previous = static_cast<int>(first - 1);
  if (again == first - 1) {
    Print(d88ls::kSameHeaderAgain, previous);
  } else {
    Print(d88ls::kDisksAgain, static_cast<int>(again), previous);
  }
}

// Lists the disks of the image opened from `path`.
void ListDisks(const char* path, bool listTracks) {
  const std::int32_t diskCount = image.GetDiskCount();
  if (diskCount == 0) Print(d88ls::kNoDisks);
  bool plausible = false;
  std::int32_t starts[d88::kMaxDisks];
  for (std::int32_t i = 0; i < diskCount; ++i) {
    starts[i] = -1;
    if (!image.SelectDisk(i)) {
      // Only when the file shrank, or failed to be read, since it was opened.
      Print(d88ls::kHeaderUnreadable, static_cast<int>(i));
      continue;
    }
    // Disks are found from the size fields alone: once one starts where an
    // earlier one did, every later one repeats the disks from there.
    std::int32_t again = 0;
    while (again < i && starts[again] != image.GetDiskStart()) ++again;
    if (again < i) {
      PrintRepeats(i, diskCount - 1, again);
      break;
    }
    starts[i] = image.GetDiskStart();
    if (d88ls::ReportDisk(image, i, listTracks)) plausible = true;
  }
  if (!plausible) Print(d88ls::kNotAnImage, path);
}

}  // namespace

int main(int rawArgc, char* rawArgv[]) {
  platform::PrepareProcess();
  platform::SetProgramName(d88ls::kProgram);
  int argc = 0;
  char** argv = platform::Utf8Arguments(rawArgc, rawArgv, &argc);
  const char* program = rawArgc > 0 && rawArgv[0] ? rawArgv[0] : d88ls::kProgram;

  // Options may stand anywhere before "--"; "-" alone is a file name.
  bool listTracks = false;
  bool optionsEnded = false;
  int paths = 0;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (optionsEnded || argument[0] != '-' || argument[1] == '\0') {
      argv[++paths] = argv[i];  // the names, in order, from argv[1] on
    } else if (std::strcmp(argument, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(argument, "-t") == 0) {
      listTracks = true;
    } else if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
      Print(d88ls::kUsage, program);
      Print(d88ls::kHelp);
      return platform::FinishRun(d88ls::kWriteError);
    } else if (std::strcmp(argument, "--version") == 0) {
      Print(d88ls::kVersion, D88CUT_VERSION);
      return platform::FinishRun(d88ls::kWriteError);
    } else {
      platform::ReportError(nullptr, d88ls::kUnknownOption, argument);
      paths = -1;
      break;
    }
  }
  if (paths <= 0) {
    platform::PrintError(d88ls::kUsage, program);
    platform::KeepWindowOpenIfAlone(nullptr, d88ls::kPressEnter);
    return 1;
  }
  // As ls does with several folders: each listing under its name, with a
  // blank line between them; one that cannot be opened is reported and
  // the others are still listed.
  bool anyListed = false;
  for (int k = 1; k <= paths; ++k) {
    if (!image.Open(argv[k])) {
      ReportUnopened(argv[k]);
      continue;
    }
    if (paths > 1) {
      if (anyListed) Print("\n");
      Print(d88ls::kImageHeading, argv[k]);
    }
    anyListed = true;
    ListDisks(argv[k], listTracks);
  }
  const int status = platform::FinishRun(d88ls::kWriteError);
  platform::KeepWindowOpenIfAlone(nullptr, d88ls::kPressEnter);
  return status;
}
