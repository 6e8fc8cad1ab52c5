#include "output_kind.h"

#include <cctype>
#include <cstring>

namespace d88conv {
namespace {

constexpr const char* kD88Extensions[] = {"d88", "d77", "d68", "d98", "88d", "1dd"};
constexpr const char* kRawExtensions[] = {"2d",  "2dd", "2hd", "hdm", "xdf", "dup",
                                          "img", "hd5", "hd4", "dd6", "dd9", "1d",  "ddb"};

// Whether the name's extension, after its last dot, is `extension`.
bool EndsIn(const char* path, const char* extension) {
  const char* dot = std::strrchr(path, '.');
  if (dot == nullptr || std::strpbrk(dot, "/\\") != nullptr) return false;
  const char* p = dot + 1;
  for (; *p != '\0' && *extension != '\0'; ++p, ++extension) {
    if (std::tolower(static_cast<unsigned char>(*p)) != *extension) return false;
  }
  return *p == '\0' && *extension == '\0';
}

}  // namespace

OutputKind OutputKindOf(const char* path) {
  for (const char* extension : kD88Extensions) {
    if (EndsIn(path, extension)) return OutputKind::kD88;
  }
  for (const char* extension : kRawExtensions) {
    if (EndsIn(path, extension)) return OutputKind::kRaw;
  }
  if (EndsIn(path, "hfe")) return OutputKind::kHfe;
  return OutputKind::kUnknown;
}

}  // namespace d88conv
