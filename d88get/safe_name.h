#ifndef D88GET_SAFE_NAME_H
#define D88GET_SAFE_NAME_H

// A file's name on a disk, which comes from anyone, as a name this system
// takes and that stays in the current folder.

#include <cstdint>

#include "file_system/file_system.h"

namespace d88get {

// Room for any path SafePath makes: each of a path's bytes as at most 3 of
// UTF-8, and the suffix of a name taken twice.
constexpr int kMaxSafePath = 3 * file_system::kMaxPath + 32;

// The file's path as a relative path of this system's, folders joined by
// '/': Shift_JIS decoded to UTF-8 where it decodes; a byte that does not,
// a control byte and each of \ / : * ? " < > | made '_'; a name that is
// empty, "." or "..", ends in a dot or a space, or is a device's name on
// Windows (CON, NUL, COM1, ...) given a '_'. Nothing it makes can leave the
// current folder.
void SafePath(const file_system::FileEntry& file, char (&path)[kMaxSafePath]);
// The same of the file's name alone, the part after its folders.
void SafeName(const file_system::FileEntry& file, char (&name)[kMaxSafePath]);

// The paths given so far in a run, so that two files whose names become
// one are both kept: the second is NAME~1.EXT, the third NAME~2.EXT, and so
// on (the same name in other case counts as taken, as Windows and macOS
// compare names).
class TakenPaths {
 public:
  // Makes `path` one not taken yet, and takes it; false where the run has
  // taken too many to remember.
  bool Take(char (&path)[kMaxSafePath]);
  // The paths taken so far, in the order taken.
  std::int32_t Count() const { return count_; }
  const char* At(std::int32_t k) const { return taken_[k]; }

 private:
  static constexpr std::int32_t kMaxTaken = file_system::kMaxFiles;
  char taken_[kMaxTaken][kMaxSafePath];
  std::int32_t count_ = 0;
};

}  // namespace d88get

#endif  // D88GET_SAFE_NAME_H
