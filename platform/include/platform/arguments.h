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

// What a tool that takes one disk of an image says of its command line,
// each text as its catalogue marks it.
struct DiskToolWords {
  const char* program;        // its name, where argv[0] is missing
  const char* usage;          // of the name it was run by
  const char* help;
  const char* version;        // of the release
  const char* release;
  const char* unknownOption;  // of the option
  const char* noDiskNumber;
  const char* badDiskNumber;  // of what followed --disk
  const char* writeError;
  const char* pressEnter;
};

// The names and the disk a command line gave.
struct DiskCommandLine {
  std::int32_t disk = -1;  // -1 where --disk is not given
  int names = 0;           // gathered, in their order, into argv[1..names]
};

// Reads argv[1..argc): names, `--disk N` (N below `diskLimit`),
// `-h`/`--help`, `--version`, and `--` before names that begin with '-'.
// True where the tool goes on with `line`; false where the run ends here,
// with its exit status in `*status`: after the help or the version, or
// after the usage where an option cannot be taken (said first) or the
// names are not `minNames` to `maxNames`. Reading stops at the first
// option it cannot take and at a name past `maxNames`.
bool ReadDiskCommandLine(int argc, char** argv, int minNames, int maxNames,
                         std::int32_t diskLimit, const DiskToolWords& words,
                         DiskCommandLine* line, int* status);

}  // namespace platform

#endif  // PLATFORM_ARGUMENTS_H
