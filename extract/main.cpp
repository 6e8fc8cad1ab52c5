// d88cut: cuts the program, FM voice bank and music blocks out of the marked
// disk of a D88 image into files in the current folder.

#include <cstdio>

#include "d88image/d88image.h"
#include "disk_step.h"
#include "messages.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/tool_output.h"

namespace {

// The one reader of the process; its destruction at exit closes the image.
D88Image image;

int Run(int argc, char* argv[]) {
  int count = 0;
  char** arguments = platform::Utf8Arguments(argc, argv, &count);
  if (count != 2) {
    // The name as invoked: in UTF-8, as the system gave it, on Windows too.
    // The line's words are fixed, whatever the user's language.
    static char line[3 * 32768 + 64];
    std::snprintf(line, sizeof line, d88cut::kUsage,
                  count > 0 && arguments[0] ? arguments[0] : d88cut::kProgram);
    platform::PrintError("%s", line);
    return 1;
  }
  if (!image.Open(arguments[1])) {
    platform::PrintErrorMessage(d88cut::kOpenFailure);
    return 1;
  }
  const std::int32_t diskCount = image.GetDiskCount();
  for (std::int32_t i = 0; i < diskCount; ++i) {
    // A disk that cannot be selected has no tracks to read, so the disk
    // step passes over it without a check here.
    image.SelectDisk(i);
    d88cut::ProcessDisk(image);
  }
  return platform::FinishRun(d88cut::kWriteError);
}

}  // namespace

int main(int argc, char* argv[]) {
  platform::PrepareProcess();
  platform::TreatClosedPipeAsWriteError();
  platform::SetProgramName(d88cut::kProgram);
  const int status = Run(argc, argv);
  platform::KeepWindowOpenIfAlone(d88cut::AnyFileWritten() ? d88cut::kFilesWrittenIn : nullptr,
                                  d88cut::kPressEnter);
  return status;
}
