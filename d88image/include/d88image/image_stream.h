#ifndef D88IMAGE_IMAGE_STREAM_H
#define D88IMAGE_IMAGE_STREAM_H

#include <cstdint>

namespace d88 {

// What stands at a path that is no regular file.
enum class FileKind { kNone, kFolder, kDevice, kFifo, kSocket, kOther };

// Why a path did not open as an image: the system's error number (an errno
// value, on Windows too) where it could not be opened, or else the kind of
// thing that stands there, which is no regular file. Both are none (0,
// kNone) where it opened.
struct OpenFailure {
  std::int32_t error = 0;
  FileKind kind = FileKind::kNone;
};

// A read-only image file seen through a window of it held in memory, or
// bytes the caller holds in memory in its place (the D88 that another
// container is read as).
//
// Walking a track means many 16-byte reads at nearby positions, and every
// sector search starts again at its track's first record. Through the
// window none of that costs a system call while it stays within 64 KiB of
// the file; a read outside it moves the window there.
class ImageStream {
 public:
  ImageStream() = default;
  ~ImageStream();
  ImageStream(const ImageStream&) = delete;
  ImageStream& operator=(const ImageStream&) = delete;

  // Opens `path` for reading, closing any file open before. Only a regular
  // file qualifies: a folder, device, FIFO or socket is no image, and opening
  // one never waits (for a FIFO's writer, say). On Windows `path` is UTF-8;
  // elsewhere it is passed to the system unchanged.
  bool Open(const char* path);
  // Why the last Open did not open its path; none after one that did.
  const OpenFailure& GetOpenFailure() const { return failure_; }
  void Close();
  // From now on reads `size` bytes at `bytes`, which stay the caller's and
  // must outlive the stream's use of them, instead of the file, which is
  // closed.
  void ReadFromMemory(const std::uint8_t* bytes, std::int32_t size);
  bool IsOpen() const { return file_ != kNoFile || memory_ != nullptr; }
  // The open file's size when it was opened, 2^31 - 1 for a file that large
  // or larger; 0 when none is open.
  std::int32_t GetFileSize() const { return fileSize_; }

  // Moves the read position; nothing is read until the next Read.
  void Seek(std::int32_t position) { position_ = position; }
  // Copies up to `count` bytes from the read position on and advances past
  // them; fewer arrive only where the file ends (or cannot be read), or where
  // the read would pass position 2^31 - 1, beyond which nothing is read.
  std::int32_t Read(std::uint8_t* destination, std::int32_t count);

 private:
  static constexpr std::int32_t kWindowSize = 64 * 1024;
  // The system's handle of the open file (a descriptor or a HANDLE).
  static constexpr std::intptr_t kNoFile = -1;
  bool MoveWindowTo(std::int32_t position);

  std::intptr_t file_ = kNoFile;
  const std::uint8_t* memory_ = nullptr;
  OpenFailure failure_;
  std::int32_t fileSize_ = 0;
  std::int32_t position_ = 0;
  std::int32_t windowStart_ = 0;
  std::int32_t windowLength_ = 0;
  std::uint8_t window_[kWindowSize];
};

}  // namespace d88

#endif  // D88IMAGE_IMAGE_STREAM_H
