#include "safe_name.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/name_text.h"

namespace d88get {
namespace {

bool Forbidden(std::uint8_t byte) {
  return byte < 0x20 || byte == 0x7F || std::strchr("\\/:*?\"<>|", byte) != nullptr;
}

// Whether the part `name` (`length` bytes) is, before its first dot, one of
// Windows' device names, whatever its case.
bool DeviceName(const char* name, std::size_t length) {
  static constexpr const char* kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2",
                                             "COM3", "COM4", "COM5", "COM6", "COM7", "COM8",
                                             "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5",
                                             "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$", "CONOUT$"};
  std::size_t base = 0;
  while (base < length && name[base] != '.') ++base;
  while (base > 0 && name[base - 1] == ' ') --base;
  for (const char* device : kDevices) {
    if (std::strlen(device) != base) continue;
    std::size_t k = 0;
    while (k < base && std::toupper(static_cast<unsigned char>(name[k])) == device[k]) ++k;
    if (k == base) return true;
  }
  return false;
}

// Appends the part `bytes` (`length` of them), made safe, to `path` at
// `*used`.
void AppendPart(const std::uint8_t* bytes, std::int32_t length, char (&path)[kMaxSafePath],
                std::size_t* used) {
  const std::size_t start = *used;
  char part[3 * file_system::kMaxPath + 1];
  std::size_t size = 0;
  for (std::int32_t k = 0; k < length;) {
    char character[8] = {};
    const int taken =
        bytes[k] >= 0x80 ? platform::DecodeShownCharacter(bytes + k, length - k, character) : 0;
    if (taken > 0) {
      for (const char* c = character; *c != '\0'; ++c) part[size++] = *c;
      k += taken;
    } else {
      part[size++] = bytes[k] >= 0x80 || Forbidden(bytes[k]) ? '_' : static_cast<char>(bytes[k]);
      k += 1;
    }
  }
  // What Windows would drop or read as a device, and what would climb.
  while (size > 0 && (part[size - 1] == '.' || part[size - 1] == ' ')) part[--size] = '\0';
  const bool dots = size == 0 && length > 0;
  part[size] = '\0';
  const bool prefixed = size == 0 || DeviceName(part, size);
  std::size_t at = start;
  if (prefixed) path[at++] = '_';
  for (std::size_t k = 0; k < size; ++k) path[at++] = part[k];
  // A name of dots, or ending in them, keeps a trace of them.
  if (dots || (length > 0 && (bytes[length - 1] == '.' || bytes[length - 1] == ' ') && size > 0)) {
    path[at++] = '_';
  }
  path[at] = '\0';
  *used = at;
}

}  // namespace

void SafePath(const file_system::FileEntry& file, char (&path)[kMaxSafePath]) {
  std::size_t used = 0;
  path[0] = '\0';
  // The folders: each part before a '/' of the folders' bytes.
  std::int32_t begin = 0;
  for (std::int32_t k = 0; k < file.nameOffset; ++k) {
    if (file.path[k] != '/') continue;
    AppendPart(file.path + begin, k - begin, path, &used);
    path[used++] = '/';
    begin = k + 1;
  }
  AppendPart(file.path + file.nameOffset, file.pathLength - file.nameOffset, path, &used);
  path[used] = '\0';
}

void SafeName(const file_system::FileEntry& file, char (&name)[kMaxSafePath]) {
  std::size_t used = 0;
  AppendPart(file.path + file.nameOffset, file.pathLength - file.nameOffset, name, &used);
  name[used] = '\0';
}

bool TakenPaths::Take(char (&path)[kMaxSafePath]) {
  if (count_ == kMaxTaken) return false;
  const auto taken = [this](const char* candidate) {
    for (std::int32_t k = 0; k < count_; ++k) {
      std::size_t i = 0;
      while (candidate[i] != '\0' &&
             std::tolower(static_cast<unsigned char>(candidate[i])) ==
                 std::tolower(static_cast<unsigned char>(taken_[k][i]))) {
        ++i;
      }
      if (candidate[i] == '\0' && taken_[k][i] == '\0') return true;
    }
    return false;
  };
  char candidate[kMaxSafePath];
  std::snprintf(candidate, sizeof candidate, "%s", path);
  // The suffix goes before the name's extension: after its last '/', the
  // last '.' that does not begin it.
  const char* slash = std::strrchr(path, '/');
  const char* name = slash != nullptr ? slash + 1 : path;
  const char* dot = std::strrchr(name, '.');
  const std::size_t stem = static_cast<std::size_t>((dot != nullptr && dot != name ? dot : name + std::strlen(name)) - path);
  for (std::int32_t n = 1; taken(candidate); ++n) {
    std::snprintf(candidate, sizeof candidate, "%.*s~%d%s", static_cast<int>(stem), path,
                  static_cast<int>(n), path + stem);
  }
  std::snprintf(path, sizeof path, "%s", candidate);
  std::snprintf(taken_[count_++], kMaxSafePath, "%s", candidate);
  return true;
}

}  // namespace d88get
