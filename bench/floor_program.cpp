// The least a run of d88cut must do, to set its run time against: read the
// image's first 64 KiB window and the rest of what the blocks need, and
// write seven files of the blocks' sizes, each through a temporary name and
// a rename. No parsing, no checks, no messages.
//   floor_program IMAGE

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

unsigned char buffer[400 * 1024];

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) return 1;
  const int image = open(argv[1], O_RDONLY);
  if (image < 0 || pread(image, buffer, sizeof buffer, 0) <= 0) return 1;
  close(image);
  const char* names[] = {"PROG", "FMBANK", "MUS00", "MUS01", "MUS02", "MUS03", "MUS04"};
  const int sizes[] = {26624, 256, 1792, 2816, 2304, 1280, 2048};
  for (int k = 0; k < 7; ++k) {
    char temporary[32];
    std::snprintf(temporary, sizeof temporary, ".%s.%d.0", names[k], static_cast<int>(getpid()));
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0 || write(fd, buffer, static_cast<size_t>(sizes[k])) != sizes[k]) return 1;
    close(fd);
    if (std::rename(temporary, names[k]) != 0) return 1;
  }
  return 0;
}
