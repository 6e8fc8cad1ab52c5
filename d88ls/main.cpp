// d88ls: lists the disks of D88 images and, for each, whether d88cut would
// recognise it and which of its blocks it could cut.

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console.h"
#include "d88image/d88image.h"
#include "disk_report.h"
#include "file_kind.h"
#include "process.h"
#include "standard_output.h"

namespace {

D88Image image;

void PrintUsage(std::FILE* stream, const char* program) {
  std::fprintf(stream, "Usage: %s [-t] d88file...\n", program);
}

void PrintHelp(const char* program) {
  PrintUsage(stdout, program);
  std::printf(
      "Lists the disks of D88 images and whether d88cut would cut them.\n"
      "  -t         also list every track with its sector numbers in storage order\n"
      "  -h, --help show this help\n"
      "  --version  show the version\n");
}

// A line that holds a file's name, which may be in any script: as text
// where a person reads the stream as text, as the name's bytes elsewhere.
void PrintNamedLine(std::FILE* stream, const char* format, ...) {
  static char line[3 * 32768 + 256];  // the longest name Windows takes, in UTF-8
  std::va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  const d88cut::Message named = {line, line};
  if (stream == stdout) {
    d88cut::PrintMessageNow(named);
  } else {
    d88cut::PrintErrorMessage(named);
  }
}

const char* Describe(d88cut::FileKind kind) {
  switch (kind) {
    case d88cut::FileKind::kFolder: return "a folder";
    case d88cut::FileKind::kDevice: return "a device";
    case d88cut::FileKind::kFifo: return "a FIFO";
    case d88cut::FileKind::kSocket: return "a socket";
    default: return "not a file";
  }
}

// Says on standard error why `path` did not open as an image.
void ReportUnopened(const char* path) {
  std::fflush(stdout);  // what was listed before comes first
  d88cut::FileKind kind = d88cut::FileKind::kOther;
  int error = 0;
  if (d88cut::WhyNotARegularFile(path, &kind, &error)) {
    PrintNamedLine(stderr, "d88ls: %s: not a regular file (%s)\n", path, Describe(kind));
  } else {
    PrintNamedLine(stderr, "d88ls: cannot open %s: %s\n", path, std::strerror(error));
  }
}

// Disks from `first` on start where disk `again` did, and so repeat the
// disks from there: one line says so instead of listing each again. The
// size fields of disks `again` to `first - 1` add up to 0.
void PrintRepeats(std::int32_t first, std::int32_t last, std::int32_t again) {
  if (first == last) {
    std::printf("disk %d: ", static_cast<int>(first));
  } else {
    std::printf("disks %d to %d: ", static_cast<int>(first), static_cast<int>(last));
  }
  const int previous = static_cast<int>(first - 1);
  if (again == first - 1) {
    std::printf("the same header again, because disk %d's size field is 0\n", previous);
  } else {
    std::printf("disks %d to %d again, in turn, because their size fields add up to 0\n",
                static_cast<int>(again), previous);
  }
}

// Lists the disks of the image opened from `path`.
void ListDisks(const char* path, bool listTracks) {
  const std::int32_t diskCount = image.GetDiskCount();
  if (diskCount == 0) std::printf("no disks: the image is shorter than a disk header\n");
  bool plausible = false;
  std::int32_t starts[d88::kMaxDisks];
  for (std::int32_t i = 0; i < diskCount; ++i) {
    starts[i] = -1;
    if (!image.SelectDisk(i)) {
      // Only when the file shrank, or failed to be read, since it was opened.
      std::printf("disk %d: its header can no longer be read whole\n", static_cast<int>(i));
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
  if (!plausible) PrintNamedLine(stdout, "%s does not look like a D88 image\n", path);
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
      PrintHelp(program);
      return d88cut::FinishStandardOutput("d88ls") ? 0 : 1;
    } else if (std::strcmp(argument, "--version") == 0) {
      std::printf("d88ls %s\n", D88CUT_VERSION);
      return d88cut::FinishStandardOutput("d88ls") ? 0 : 1;
    } else {
      std::fprintf(stderr, "d88ls: unknown option %s\n", argument);
      paths = -1;
      break;
    }
  }
  if (paths <= 0) {
    PrintUsage(stderr, program);
    d88cut::KeepWindowOpenIfAlone(false);
    return 1;
  }
  // As ls does with several folders: each listing under its name, with a
  // blank line between them; one that cannot be opened is reported and
  // the others are still listed.
  bool allListed = true;
  bool anyListed = false;
  for (int k = 1; k <= paths; ++k) {
    if (!image.Open(argv[k])) {
      ReportUnopened(argv[k]);
      allListed = false;
      continue;
    }
    if (paths > 1) PrintNamedLine(stdout, "%s%s:\n", anyListed ? "\n" : "", argv[k]);
    anyListed = true;
    ListDisks(argv[k], listTracks);
  }
  const bool outputWritten = d88cut::FinishStandardOutput("d88ls");
  d88cut::KeepWindowOpenIfAlone(false);
  return outputWritten && allListed ? 0 : 1;
}
