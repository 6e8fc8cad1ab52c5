// Reads the input as a D88 image and lists the files of each of its disks,
// then reads each file and makes its name safe as d88get does. Whatever a
// disk holds, the list must be whole (paths within their room, folders
// before names, problems naming files that are listed), a file either
// reads whole or not at all, the same list comes from a second reading,
// and no safe name can leave the folder it is written in.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "d88image/container.h"
#include "d88image/d88image.h"
#include "file_system/file_system.h"
#include "safe_name.h"
#include "scratch_folder.h"

namespace {

// Says which check failed: the line of its call.
void Check(bool holds, int line = __builtin_LINE()) {
  if (holds) return;
  std::fprintf(stderr, "file_system_fuzzer.cpp:%d: a check failed\n", line);
  std::abort();
}

// Whether a part of a safe path is one the system could take for another
// place: empty, "." or "..", or holding what parts and drives are made of.
bool PartIsUnsafe(const char* part, std::size_t length) {
  if (length == 0) return true;
  if ((length == 1 && part[0] == '.') || (length == 2 && part[0] == '.' && part[1] == '.')) return true;
  if (part[length - 1] == '.' || part[length - 1] == ' ') return true;
  for (std::size_t k = 0; k < length; ++k) {
    const unsigned char c = static_cast<unsigned char>(part[k]);
    if (c < 0x20 || c == 0x7F || std::strchr("\\:*?\"<>|", c) != nullptr) return true;
  }
  return false;
}

void CheckSafe(const char* path) {
  const std::size_t length = std::strlen(path);
  // Room for the '/' d88get adds to a folder's path.
  Check(length + 2 <= static_cast<std::size_t>(d88get::kMaxSafePath));
  std::size_t begin = 0;
  for (std::size_t k = 0; k <= length; ++k) {
    if (k < length && path[k] != '/') continue;
    Check(!PartIsUnsafe(path + begin, k - begin));
    begin = k + 1;
  }
}

// An entry within its room; a name that is empty is said to be bad.
void CheckEntry(const file_system::FileList& list, std::int32_t index) {
  const file_system::FileEntry& file = list.files[index];
  Check(file.pathLength >= 0 && file.pathLength <= file_system::kMaxPath);
  Check(file.nameOffset >= 0 && file.nameOffset <= file.pathLength);
  Check(file.nameOffset == 0 || file.path[file.nameOffset - 1] == '/');
  Check(file.size >= 0);
  if (file.nameOffset < file.pathLength || list.problemCount > file_system::kMaxProblems) return;
  bool said = false;
  for (std::int32_t p = 0; p < list.problemCount; ++p) {
    said = said || (list.problems[p].file == index &&
                    list.problems[p].kind == file_system::Problem::Kind::kBadName);
  }
  Check(said);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = std::string(ScratchFolder()) + "/input.d88";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);

  static D88Image image;
  static file_system::FileList list;
  static file_system::FileList again;
  static std::uint8_t bytes[d88::kMaxConvertedSize];
  static std::uint8_t second[d88::kMaxConvertedSize];
  // The paths d88get would take on one disk: made anew for each.
  alignas(d88get::TakenPaths) static unsigned char takenRoom[sizeof(d88get::TakenPaths)];
  if (!image.Open(path.c_str())) std::abort();
  const std::int32_t disks = image.GetDiskCount() < 4 ? image.GetDiskCount() : 4;
  for (std::int32_t d = 0; d < disks; ++d) {
    if (!image.SelectDisk(d)) continue;
    const bool known = file_system::ListFiles(image, &list);
    Check(known == (list.type != file_system::Type::kNone));
    Check(list.fileCount >= 0 && list.fileCount <= file_system::kMaxFiles);
    Check(known || list.fileCount == 0);
    Check(list.problemCount >= 0);
    const std::int32_t kept = list.problemCount < file_system::kMaxProblems ? list.problemCount
                                                                           : file_system::kMaxProblems;
    for (std::int32_t p = 0; p < kept; ++p) {
      Check(list.problems[p].file >= -1 && list.problems[p].file < list.fileCount);
    }
    Check(file_system::ListFiles(image, &again) == known);
    Check(again.fileCount == list.fileCount && again.problemCount == list.problemCount);
    Check(std::memcmp(again.files, list.files, sizeof list.files[0] * list.fileCount) == 0);

    d88get::TakenPaths* taken = new (takenRoom) d88get::TakenPaths;
    for (std::int32_t k = 0; k < list.fileCount; ++k) {
      const file_system::FileEntry& file = list.files[k];
      CheckEntry(list, k);
      char safe[d88get::kMaxSafePath];
      d88get::SafePath(file, safe);
      CheckSafe(safe);
      if (taken->Take(safe)) CheckSafe(safe);
      if (file.type == file_system::FileType::kFolder) continue;
      const std::int32_t got = file_system::ReadFile(image, list, k, bytes, d88::kMaxConvertedSize);
      const std::int32_t whole = file.size < d88::kMaxConvertedSize ? file.size : d88::kMaxConvertedSize;
      Check(got == -1 || got == whole);
      if (got > 0) {
        Check(file_system::ReadFile(image, list, k, second, d88::kMaxConvertedSize) == got);
        Check(std::memcmp(bytes, second, static_cast<std::size_t>(got)) == 0);
      }
    }
  }
  image.Open(nullptr);
  return 0;
}
