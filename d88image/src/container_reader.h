#ifndef D88IMAGE_SRC_CONTAINER_READER_H
#define D88IMAGE_SRC_CONTAINER_READER_H

// What every container's reader is given and offers: each container is
// one file (container_<name>.cpp) that says whether a file is of its kind
// and lays its disk out as a D88 through a D88Writer; container_list.cpp
// names them all, in the order they are tried.

#include <cstdint>

#include "d88image/container.h"
#include "d88image/d88_writer.h"
#include "d88image/image_stream.h"

namespace d88 {

// The opened file, read through the reader's stream: every read is bounded
// by the file's end, and says whether it got all it asked for. It also
// carries the room the reader lends a container to decode its bits in.
class ContainerFile {
 public:
  // `decodeRoom`: kDecodeSpaceSize bytes, aligned for any object.
  ContainerFile(ImageStream& stream, const char* path, void* decodeRoom);
  std::int32_t Size() const { return size_; }
  // Copies `count` bytes from `position` on; false where the file ends
  // first (or `position` is outside it), with what there was copied.
  bool Read(std::int32_t position, std::uint8_t* buffer, std::int32_t count);
  // The byte at `position`, or -1 outside the file.
  std::int32_t ByteAt(std::int32_t position);
  // Whether the file's name ends in "." and `extension` (lower case),
  // whatever the case of the name.
  bool HasExtension(const char* extension) const;
  // The name's extension, lower case, without the dot ("" for none).
  const char* Extension() const { return extension_; }
  void* DecodeRoom() const { return decodeRoom_; }

 private:
  ImageStream& stream_;
  void* decodeRoom_;
  std::int32_t size_;
  char extension_[8] = {};
};

// How a file answers to a container: not at all; by its name alone, where
// its header is of the container's kind but does not agree with the file's
// size (a container without a magic, cut short); by its size alone (a raw
// image); or by what it holds (a magic, a header whose fields agree with
// the file's size).
enum class Match { kNo, kByName, kBySize, kByContent };

struct ContainerReader {
  Format format;
  Match (*recognise)(ContainerFile& file);
  // Lays the file's disk out in `writer` (begun and ended there), noting
  // what it learnt in `*container`; stops at the first fault, keeping what
  // came before it, with the fault in container->problem.
  void (*read)(ContainerFile& file, D88Writer& writer, Container* container);
};

// The extension of `path`'s last part, lower case, without its dot; "" for
// none (or one of more than 7 bytes).
void ExtensionOf(const char* path, char (&extension)[8]);

// The reader for `file`, or nullptr where it reads as a D88: a name of the
// D88 family always does, and so does a file no container claims.
const ContainerReader* FindContainerReader(ContainerFile& file);

// Notes the first fault found; a later one is not kept.
void NoteProblem(Container* container, ContainerProblem::Kind kind, ContainerProblem::Part part,
                 std::int32_t track, std::int32_t value = 0);

// The size code N whose nominal size (128 << N) is `size`, or the largest
// below it; 0 for sizes under 128.
std::uint8_t SizeCodeOf(std::int32_t size);

// Each container's two functions (container_<name>.cpp).
Match RecogniseRaw(ContainerFile& file);
void ReadRaw(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseFdi(ContainerFile& file);
void ReadFdi(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseDim(ContainerFile& file);
void ReadDim(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseDcp(ContainerFile& file);
void ReadDcp(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseNfd(ContainerFile& file);
void ReadNfd(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseVfd(ContainerFile& file);
void ReadVfd(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseImd(ContainerFile& file);
void ReadImd(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseDsk(ContainerFile& file);
Match RecogniseEdsk(ContainerFile& file);
void ReadDsk(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseTd0(ContainerFile& file);
void ReadTd0(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseDmk(ContainerFile& file);
void ReadDmk(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseHfe(ContainerFile& file);
void ReadHfe(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseHxcMfm(ContainerFile& file);
void ReadHxcMfm(ContainerFile& file, D88Writer& writer, Container* container);
Match Recognise86f(ContainerFile& file);
void Read86f(ContainerFile& file, D88Writer& writer, Container* container);
Match RecogniseScp(ContainerFile& file);
void ReadScp(ContainerFile& file, D88Writer& writer, Container* container);

}  // namespace d88

#endif  // D88IMAGE_SRC_CONTAINER_READER_H
