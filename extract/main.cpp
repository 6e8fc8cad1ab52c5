// d88cut: cuts the program, FM voice bank and music blocks out of the marked
// disk of a D88 image into files in the current folder.

#include <cstdio>

#include "console.h"
#include "d88image/d88image.h"
#include "disk_step.h"
#include "messages.h"
#include "process.h"
#include "standard_output.h"

namespace {

// The one reader of the process; its destruction at exit closes the image.
D88Image image;

int Run(int argc, char* argv[]) {
  int count = 0;
  char** arguments = d88cut::Utf8Arguments(argc, argv, &count);
  if (count != 2) {
    std::fprintf(stderr, "Usage: %s [d88file]\n", argc > 0 && argv[0] ? argv[0] : "d88cut");
    return 1;
  }
  if (!image.Open(arguments[1])) {
    d88cut::PrintErrorMessage(d88cut::kOpenFailureMessage);
    return 1;
  }
  const std::int32_t diskCount = image.GetDiskCount();
  for (std::int32_t i = 0; i < diskCount; ++i) {
    // A disk that cannot be selected has no tracks to read, so the disk
    // step passes over it without a check here.
    image.SelectDisk(i);
    d88cut::ProcessDisk(image);
  }
  const bool outputWritten = d88cut::FinishStandardOutput("d88cut");
  return outputWritten && !d88cut::AnyOutputFailed() ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  d88cut::PrepareProcess();
  d88cut::TreatClosedPipeAsWriteError();
  const int status = Run(argc, argv);
  d88cut::KeepWindowOpenIfAlone(d88cut::AnyFileWritten());
  return status;
}
