// The least a run of d88cut must do, to set its run time against: read the
// image's first 64 KiB window and the rest of what the blocks need, and
// write seven files of the blocks' sizes, each through a temporary name and
// a rename. No parsing, no checks, no messages.
//   floor_program IMAGE

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "marked_disk/block_table.h"

namespace {

unsigned char buffer[400 * 1024];

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) return 1;
  const int image = open(argv[1], O_RDONLY);
  if (image < 0 || pread(image, buffer, sizeof buffer, 0) <= 0) return 1;
  close(image);
  for (const marked_disk::Block& block : marked_disk::kBlocks) {
    char temporary[32];
    std::snprintf(temporary, sizeof temporary, ".%s.%d.0", block.name, static_cast<int>(getpid()));
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0 || write(fd, buffer, static_cast<size_t>(block.size)) != block.size) return 1;
    close(fd);
    if (std::rename(temporary, block.name) != 0) return 1;
  }
  return 0;
}
