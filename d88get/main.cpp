// d88get: takes the files out of a disk's file system into the current
// folder, each written as d88cut writes its files: whole, or not at all.
// Names come from the disk, which anyone may have made: each is made a
// name of this system's that stays in the current folder (safe_name.h).

#include <cstdio>
#include <cstring>

#include "d88image/d88image.h"
#include "file_system/file_system.h"
#include "messages.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/folder.h"
#include "platform/image_words.h"
#include "platform/name_text.h"
#include "platform/output_file.h"
#include "platform/process.h"
#include "platform/tool_output.h"
#include "platform/translation.h"
#include "safe_name.h"

namespace {

using platform::Say;

D88Image image;
file_system::FileList list;
d88get::TakenPaths taken;
// Each listed file's path among those taken, -1 for none yet.
std::int32_t placed[file_system::kMaxFiles];
// A file's bytes: as much as any disk of the reader's holds.
constexpr std::int32_t kMaxFile = d88::kMaxConvertedSize;
std::uint8_t data[kMaxFile];

// The file's path as d88ls lists it: decoded, or escaped as in C.
bool Names(const file_system::FileEntry& file, const char* name, bool decoded) {
  static char text[4 * file_system::kMaxPath + 1];
  platform::NameAsText(file.path, file.pathLength, decoded, true, text, sizeof text);
  const std::size_t length = std::strlen(name);
  return std::strncmp(text, name, length) == 0 && (text[length] == '\0' || text[length] == '/');
}

// Whether `file` is asked for by `name`: its path, or a folder above it.
bool Asks(const file_system::FileEntry& file, const char* name) {
  return Names(file, name, true) || Names(file, name, false);
}

// Makes the folders of `path`, one by one from the top; false (said) where
// one cannot be.
bool MakeFolders(const char* path) {
  char folder[d88get::kMaxSafePath];
  for (std::size_t k = 0; path[k] != '\0'; ++k) {
    if (path[k] != '/') continue;
    std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(k), path);
    int error = 0;
    if (!platform::MakeFolder(folder, &error)) {
      platform::ReportError(std::strerror(error), d88get::kCannotMake, folder);
      return false;
    }
  }
  return true;
}

// The folder entry of the list that holds file `index`, or -1 (a file at
// the top, or in a folder the list has no entry of, as CP/M's users).
std::int32_t FolderOf(std::int32_t index) {
  const file_system::FileEntry& file = list.files[index];
  const std::int32_t length = file.nameOffset - 1;
  for (std::int32_t k = 0; k < list.fileCount && length > 0; ++k) {
    const file_system::FileEntry& folder = list.files[k];
    if (folder.type == file_system::FileType::kFolder && folder.pathLength == length &&
        std::memcmp(folder.path, file.path, static_cast<std::size_t>(length)) == 0) {
      return k;
    }
  }
  return -1;
}

// Where file `index` is written, taken once for the run: beneath the path
// its folder was given (so that a folder whose name was taken before, and
// given a suffix, holds its own files). False (said) where it cannot be.
bool Place(std::int32_t index, const char* name, char (&path)[d88get::kMaxSafePath]) {
  if (placed[index] >= 0) {
    std::snprintf(path, sizeof path, "%s", taken.At(placed[index]));
    return true;
  }
  const std::int32_t folder = FolderOf(index);
  if (folder < 0) {
    d88get::SafePath(list.files[index], path);
  } else {
    char above[d88get::kMaxSafePath];
    char own[d88get::kMaxSafePath];
    if (!Place(folder, name, above)) return false;
    d88get::SafeName(list.files[index], own);
    const int length = std::snprintf(path, sizeof path, "%s/%s", above, own);
    if (length < 0 || length >= static_cast<int>(sizeof path) - 1) {
      platform::ReportError(nullptr, d88get::kPathTooLong, name);
      return false;
    }
  }
  if (!taken.Take(path)) {
    platform::ReportError(nullptr, d88get::kTooManyNames, name);
    return false;
  }
  placed[index] = taken.Count() - 1;
  return true;
}

// Writes file `index`; false (said) where it cannot be.
bool Get(std::int32_t index) {
  const file_system::FileEntry& file = list.files[index];
  char name[4 * file_system::kMaxPath + 1];
  platform::NameAsText(file.path, file.pathLength, true, true, name, sizeof name);
  char path[d88get::kMaxSafePath];
  if (!Place(index, name, path)) return false;
  if (file.type == file_system::FileType::kFolder) {
    std::size_t length = std::strlen(path);
    path[length] = '/';
    path[length + 1] = '\0';
    return MakeFolders(path);
  }
  if (file.size > kMaxFile) {
    platform::ReportError(nullptr, d88get::kTooLarge, name, static_cast<int>(kMaxFile));
    return false;
  }
  const std::int32_t got = file_system::ReadFile(image, list, index, data, kMaxFile);
  if (got != file.size) {
    platform::ReportError(nullptr, d88get::kUnreadable, name);
    return false;
  }
  if (!MakeFolders(path)) return false;
  int error = 0;
  if (!platform::WriteFileReplacing(path, data, got, &error)) {
    platform::ReportError(std::strerror(error), d88get::kCannotWrite, path);
    return false;
  }
  if (std::strcmp(name, path) == 0) {
    platform::PrintNow(d88get::kWritten, path);
  } else {
    platform::PrintNow(d88get::kWrittenAs, name, path);
  }
  return true;
}

int Take(const char* imagePath, std::int32_t disk, char** names, int nameCount) {
  if (!image.Open(imagePath)) {
    char reason[platform::kMaxImageWords];
    platform::ReportOpenFailure(imagePath, image.GetOpenFailure(), reason);
    return 1;
  }
  const std::int32_t count = image.GetDiskCount();
  char reason[512];
  if (disk >= count) {
    std::snprintf(reason, sizeof reason, Say(d88get::kNoSuchDisk), static_cast<int>(disk),
                  static_cast<int>(count));
    platform::ReportError(reason, d88get::kImage, imagePath);
    return 1;
  }
  // The disk asked for, or the first whose file system is known.
  bool found = false;
  for (std::int32_t k = disk < 0 ? 0 : disk; k < (disk < 0 ? count : disk + 1) && !found; ++k) {
    found = image.SelectDisk(k) && file_system::ListFiles(image, &list);
    if (found) disk = k;
  }
  if (!found) {
    if (disk < 0) {
      std::snprintf(reason, sizeof reason, "%s", Say(d88get::kNoFileSystem));
    } else {
      std::snprintf(reason, sizeof reason, Say(d88get::kDiskWithout), static_cast<int>(disk));
    }
    platform::ReportError(reason, d88get::kImage, imagePath);
    return 1;
  }
  // The files asked for, each once however many names ask for it, in the
  // order of the list.
  static bool asked[file_system::kMaxFiles];
  bool all = true;
  for (std::int32_t k = 0; k < list.fileCount; ++k) {
    placed[k] = -1;
    asked[k] = nameCount == 0;
  }
  for (int n = 0; n < nameCount; ++n) {
    bool any = false;
    for (std::int32_t k = 0; k < list.fileCount; ++k) {
      if (!Asks(list.files[k], names[n])) continue;
      any = true;
      asked[k] = true;
    }
    if (!any) {
      platform::ReportError(nullptr, d88get::kNoSuchFile, names[n], static_cast<int>(disk));
      all = false;
    }
  }
  for (std::int32_t k = 0; k < list.fileCount; ++k) {
    if (asked[k]) all = Get(k) && all;
  }
  return all ? 0 : 1;
}

// What it says of its command line.
constexpr platform::DiskToolWords kWords = {
    d88get::kProgram,
    d88get::kUsage,
    d88get::kHelp,
    d88get::kVersion,
    D88CUT_VERSION,
    d88get::kUnknownOption,
    d88get::kNoDiskNumber,
    d88get::kBadDiskNumber,
    d88get::kWriteError,
    d88get::kPressEnter};

}  // namespace

int main(int rawArgc, char* rawArgv[]) {
  platform::PrepareProcess();
  platform::TreatClosedPipeAsWriteError();
  platform::SetProgramName(d88get::kProgram);
  int argc = 0;
  char** argv = platform::Utf8Arguments(rawArgc, rawArgv, &argc);
  platform::DiskCommandLine line;
  int status = 0;
  if (!platform::ReadDiskCommandLine(argc, argv, 1, argc, d88::kMaxDisks, kWords, &line,
                                     &status)) {
    return status;
  }
  const int taken = Take(argv[1], line.disk, argv + 2, line.names - 1);
  const int finished = platform::FinishRun(d88get::kWriteError);
  return taken != 0 ? taken : finished;
}
