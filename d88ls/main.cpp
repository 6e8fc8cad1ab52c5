// d88ls: lists the disks of D88 images and, for each, whether d88cut would
// recognise it and which of its blocks it could cut.

#include <cstring>

#include "d88image/d88image.h"
#include "disk_facts.h"
#include "listing.h"
#include "messages.h"
#include "platform/console.h"
#include "platform/image_words.h"
#include "platform/process.h"
#include "platform/tool_output.h"
#include "platform/translation.h"

namespace {

using platform::Print;

D88Image image;

// Lists the image at `path` in `listing`'s form, or says on standard error
// why it did not open. Disks are found from the size fields alone: once one
// starts where an earlier one did, every later one repeats the disks from
// there, and one line says so instead of listing each again.
template <class Listing>
void ListImage(Listing& listing, const char* path, bool several) {
  if (!image.Open(path)) {
    char reason[platform::kMaxImageWords];
    listing.Unopened(path, platform::ReportOpenFailure(path, image.GetOpenFailure(), reason));
    return;
  }
  listing.BeginImage(path, image, several);
  const std::int32_t diskCount = image.GetDiskCount();
  if (diskCount == 0) listing.NoDisks();
  bool plausible = false;
  bool lastListed = false;
  std::int32_t starts[d88::kMaxDisks];
  for (std::int32_t i = 0; i < diskCount; ++i) {
    starts[i] = -1;
    lastListed = false;
    if (!image.SelectDisk(i)) {
      // Only when the file shrank, or failed to be read, since it was opened.
      listing.UnreadableHeader(i);
      continue;
    }
    std::int32_t again = 0;
    while (again < i && starts[again] != image.GetDiskStart()) ++again;
    if (again < i) {
      listing.Repeats(i, diskCount - 1, again);
      break;
    }
    starts[i] = image.GetDiskStart();
    listing.Disk(image, i);
    if (image.SelectedDiskIsPlausible()) plausible = true;
    lastListed = true;
  }
  // Bytes after the disks, where the last one was listed as a disk.
  const d88ls::Trailing trailing = lastListed ? d88ls::FindTrailing(image) : d88ls::Trailing{};
  listing.EndImage(path, plausible, trailing);
}

template <class Listing>
void ListImages(Listing listing, char** paths, int count) {
  listing.Begin();
  for (int k = 0; k < count; ++k) ListImage(listing, paths[k], count > 1);
  listing.End();
}

}  // namespace

int main(int rawArgc, char* rawArgv[]) {
  platform::PrepareProcess();
  platform::SetProgramName(d88ls::kProgram);
  int argc = 0;
  char** argv = platform::Utf8Arguments(rawArgc, rawArgv, &argc);
  const char* program = argc > 0 && argv[0] ? argv[0] : d88ls::kProgram;

  // Options may stand anywhere before "--"; "-" alone is a file name.
  d88ls::ListingOptions options;
  bool json = false;
  bool optionsEnded = false;
  int paths = 0;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (optionsEnded || argument[0] != '-' || argument[1] == '\0') {
      argv[++paths] = argv[i];  // the names, in order, from argv[1] on
    } else if (std::strcmp(argument, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(argument, "-t") == 0) {
      options.tracks = true;
    } else if (std::strcmp(argument, "-l") == 0) {
      options.files = true;
    } else if (std::strcmp(argument, "--json") == 0) {
      json = true;
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
  if (json) {
    // The document's words are an interface: English, whatever the user
    // reads.
    platform::SayInEnglish();
    ListImages(d88ls::JsonListing(options), argv + 1, paths);
  } else {
    ListImages(d88ls::TextListing(options), argv + 1, paths);
  }
  const int status = platform::FinishRun(d88ls::kWriteError);
  platform::KeepWindowOpenIfAlone(nullptr, d88ls::kPressEnter);
  return status;
}
