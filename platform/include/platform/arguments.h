#ifndef PLATFORM_ARGUMENTS_H
#define PLATFORM_ARGUMENTS_H

// What the tools' command lines share.

#include <cstdint>

namespace platform {

// A disk's number on a command line: digits alone, from 0, below `limit`;
// false for anything else.
inline bool ParseDiskNumber(const char* text, std::int32_t limit, std::int32_t* disk) {
  std::int32_t value = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || value >= limit) return false;
    value = value * 10 + (*p - '0');
  }
  if (text[0] == '\0' || value >= limit) return false;
  *disk = value;
  return true;
}

}  // namespace platform

#endif  // PLATFORM_ARGUMENTS_H
