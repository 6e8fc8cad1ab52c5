#include "platform/output_file.h"

#include <cerrno>
#include <cstdio>

#include "output_file_system.h"

namespace platform {
namespace {

constexpr int kMaxAttempts = 100;
constexpr std::size_t kMaxTempName = 96;

}  // namespace

bool WriteFileReplacing(const char* name, const std::uint8_t* data, std::int32_t size,
                        int* error) {
  if (size < 0) {
    *error = EINVAL;
    return false;
  }
  std::int32_t mode = kDefaultMode;
  if (!CheckReplaceable(name, &mode, error)) return false;
  // A hidden name beside the target, unique to this process; one left by an
  // earlier process of the same number is stepped around, never reused.
  static int processId = 0;  // asked once: every file of the run uses it
  if (processId == 0) processId = ProcessId();
  char tempName[kMaxTempName];
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    const int length =
        std::snprintf(tempName, sizeof tempName, ".%s.%d.%d", name, processId, attempt);
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
