// d88ls: lists the disks of a D88 image and, for each, whether d88cut would
// recognise it and which of its blocks it could cut.

#include <cstdio>
#include <cstring>

#include "d88image/d88image.h"
#include "disk_report.h"
#include "messages.h"
#include "process.h"
#include "standard_output.h"

namespace {

D88Image image;

void PrintUsage(std::FILE* stream, const char* program) {
  std::fprintf(stream, "Usage: %s [-t] [d88file]\n", program);
}

void PrintHelp(const char* program) {
  PrintUsage(stdout, program);
  std::printf(
      "Lists the disks of a D88 image and whether d88cut would cut them.\n"
      "  -t         also list every track with its sector numbers in storage order\n"
      "  -h, --help show this help\n"
      "  --version  show the version\n");
}

// Disks from `first` on all start where disk `first - 1` does, since its
// size field is 0: one line says so instead of listing each again.
void PrintRepeats(std::int32_t first, std::int32_t last) {
  const int previous = static_cast<int>(first - 1);
  if (first == last) {
    std::printf("disk %d: the same header again, because disk %d's size field is 0\n",
                static_cast<int>(first), previous);
  } else {
    std::printf("disks %d to %d: the same header again, because disk %d's size field is 0\n",
                static_cast<int>(first), static_cast<int>(last), previous);
  }
}

}  // namespace

int main(int rawArgc, char* rawArgv[]) {
  d88cut::PrepareProcess();
  int argc = 0;
  char** argv = d88cut::Utf8Arguments(rawArgc, rawArgv, &argc);
  const char* program = rawArgc > 0 && rawArgv[0] ? rawArgv[0] : "d88ls";

  // Options may stand anywhere before "--"; "-" alone is a file name.
  bool listTracks = false;
  bool optionsEnded = false;
  const char* path = nullptr;
  int paths = 0;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (optionsEnded || argument[0] != '-' || argument[1] == '\0') {
      path = argument;
      ++paths;
    } else if (std::strcmp(argument, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(argument, "-t") == 0) {
      listTracks = true;
    } else if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
      PrintHelp(program);
      return d88cut::FinishStandardOutput("d88ls") ? 0 : 1;
    } else if (std::strcmp(argument, "--version") == 0) {
      std::printf("d88ls %s\n", D88CUT_VERSION);
      return d88cut::FinishStandardOutput("d88ls") ? 0 : 1;
    } else {
      paths = -1;  // an unknown option
      break;
    }
  }
  if (paths != 1) {
    PrintUsage(stderr, program);
    return 1;
  }
  if (!image.Open(path)) {
    std::fprintf(stderr, kOpenFailureMessage);
    return 1;
  }
  const std::int32_t diskCount = image.GetDiskCount();
  if (diskCount == 0) std::printf("no disks: the image is shorter than a disk header\n");
  for (std::int32_t i = 0; i < diskCount; ++i) {
    const bool selected = image.SelectDisk(i);
    d88ls::ReportDisk(image, i, listTracks);
    // A size field of 0 puts every later disk where this one starts.
    if (selected && image.GetDiskSize() == 0 && i + 1 < diskCount) {
      PrintRepeats(i + 1, diskCount - 1);
      break;
    }
  }
  return d88cut::FinishStandardOutput("d88ls") ? 0 : 1;
}
