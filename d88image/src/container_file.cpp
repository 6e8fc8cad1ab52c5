// What every container's reader shares: the file, bounded reads of it, and
// the first fault found.

#include <cctype>
#include <cstring>

#include "container_reader.h"

namespace d88 {

void ExtensionOf(const char* path, char (&extension)[8]) {
  // After the last dot of the last part of the path.
  extension[0] = '\0';
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '/' || *p == '\\') name = p + 1;
  }
  const char* dot = std::strrchr(name, '.');
  if (dot == nullptr) return;
  const std::size_t length = std::strlen(dot + 1);
  if (length >= sizeof extension) return;
  for (std::size_t k = 0; k < length; ++k) {
    extension[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(dot[1 + k])));
  }
  extension[length] = '\0';
}

ContainerFile::ContainerFile(ImageStream& stream, const char* path, void* decodeRoom)
    : stream_(stream), decodeRoom_(decodeRoom), size_(stream.GetFileSize()) {
  ExtensionOf(path, extension_);
}

bool ContainerFile::Read(std::int32_t position, std::uint8_t* buffer, std::int32_t count) {
  if (count <= 0) return count == 0;
  if (position < 0 || position >= size_) return false;
  stream_.Seek(position);
  return stream_.Read(buffer, count) == count;
}

std::int32_t ContainerFile::ByteAt(std::int32_t position) {
  std::uint8_t byte = 0;
  return Read(position, &byte, 1) ? byte : -1;
}

bool ContainerFile::HasExtension(const char* extension) const {
  return std::strcmp(extension_, extension) == 0;
}

void NoteProblem(Container* container, ContainerProblem::Kind kind, ContainerProblem::Part part,
                 std::int32_t track, std::int32_t value) {
  if (container->problem.kind != ContainerProblem::Kind::kNone) return;
  container->problem = {kind, part, track, value};
}

std::uint8_t SizeCodeOf(std::int32_t size) {
  std::uint8_t n = 0;
  while (n < kMaxSizeCode && (std::int32_t{256} << n) <= size) ++n;
  return n;
}

}  // namespace d88
