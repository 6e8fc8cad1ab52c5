#include "platform/output_file.h"

#include <cerrno>
#include <cstdio>

#include "output_file_system.h"

namespace platform {
namespace {

constexpr int kMaxAttempts = 100;
// A path as long as any system takes (32,767 UTF-16 units, up to three
// bytes each in UTF-8), and the temporary name's additions.
constexpr std::size_t kMaxTempName = 3 * 32768 + 64;

// The temporary name, one at a time: the tools have one thread.
char tempName[kMaxTempName];

}  // namespace

bool WriteFileReplacing(const char* name, const std::uint8_t* data, std::int32_t size,
                        int* error) {
  if (size < 0) {
    *error = EINVAL;
    return false;
  }
  std::int32_t mode = kDefaultMode;
  if (!CheckReplaceable(name, &mode, error)) return false;
  // A hidden name beside the target, in its folder, unique to this
  // process; one left by an earlier process of the same number is stepped
  // around, never reused.
  static int processId = 0;  // asked once: every file of the run uses it
  if (processId == 0) processId = ProcessId();
  std::size_t folder = 0;
  for (std::size_t k = 0; name[k] != '\0'; ++k) {
    if (IsSeparator(name[k])) folder = k + 1;
  }
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    const int length = std::snprintf(tempName, sizeof tempName, "%.*s.%s.%d.%d",
                                     static_cast<int>(folder), name, name + folder, processId,
                                     attempt);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof tempName) {
      *error = ENAMETOOLONG;
      return false;
    }
    if (CreateTemporary(tempName, mode, data, size, error)) {
      return MoveTemporary(tempName, name, error);
    }
    if (*error != EEXIST) return false;
  }
  return false;
}

}  // namespace platform
