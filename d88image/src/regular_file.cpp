#include "regular_file.h"

#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#define D88_FSTAT _fstat
#define D88_STAT_STRUCT struct _stat
#define D88_FILENO _fileno
#define D88_IS_REGULAR(mode) (((mode) & _S_IFMT) == _S_IFREG)
#else
#define D88_FSTAT fstat
#define D88_STAT_STRUCT struct stat
#define D88_FILENO fileno
#define D88_IS_REGULAR(mode) S_ISREG(mode)
#endif

namespace d88 {

std::FILE* OpenRegularFileForReading(const char* path) {
  std::FILE* stream = std::fopen(path, "rb");
  if (stream == nullptr) return nullptr;
  D88_STAT_STRUCT status;
  if (D88_FSTAT(D88_FILENO(stream), &status) != 0 || !D88_IS_REGULAR(status.st_mode)) {
    std::fclose(stream);
    return nullptr;
  }
  return stream;
}

}  // namespace d88
