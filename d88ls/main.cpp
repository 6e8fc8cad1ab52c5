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

}  // namespace

int main(int rawArgc, char* rawArgv[]) {
  d88cut::PrepareProcess();
  int argc = 0;
  char** argv = d88cut::Utf8Arguments(rawArgc, rawArgv, &argc);
  const bool listTracks = argc == 3 && std::strcmp(argv[1], "-t") == 0;
  if (argc != (listTracks ? 3 : 2) || (!listTracks && argv[1][0] == '-' && argv[1][1] != '\0')) {
    std::fprintf(stderr, "Usage: %s [-t] [d88file]\n", argc > 0 && argv[0] ? argv[0] : "d88ls");
    return 1;
  }
  if (!image.Open(argv[listTracks ? 2 : 1])) {
    std::fprintf(stderr, kOpenFailureMessage);
    return 1;
  }
  const std::int32_t diskCount = image.GetDiskCount();
  if (diskCount == 0) std::printf("no disks: the image is shorter than a disk header\n");
  for (std::int32_t i = 0; i < diskCount; ++i) {
    image.SelectDisk(i);
    d88ls::ReportDisk(image, i, listTracks);
  }
  return d88cut::FinishStandardOutput("d88ls") ? 0 : 1;
}
