#include "d88image/image_stream.h"

#include <cstring>

#include "d88image/d88_format.h"
#include "image_file.h"

namespace d88 {
namespace {

// The window starts on a 4 KiB boundary, so that a track just before the
// position that moved the window is usually still inside it.
constexpr std::int32_t kWindowAlignment = 4096;

}  // namespace

ImageStream::~ImageStream() { Close(); }

bool ImageStream::Open(const char* path) {
  Close();
  file_ = OpenRegularFile(path, &fileSize_, &failure_);
  if (file_ == kNoFile) fileSize_ = 0;
  position_ = 0;
  windowStart_ = 0;
  windowLength_ = 0;
  return file_ != kNoFile;
}

void ImageStream::Close() {
  if (file_ != kNoFile) CloseFile(file_);
  file_ = kNoFile;
  memory_ = nullptr;
  fileSize_ = 0;
  windowLength_ = 0;
}

void ImageStream::ReadFromMemory(const std::uint8_t* bytes, std::int32_t size) {
  const OpenFailure failure = failure_;
  Close();
  failure_ = failure;
  memory_ = bytes;
  fileSize_ = size;
  position_ = 0;
}

bool ImageStream::MoveWindowTo(std::int32_t position) {
  windowStart_ = position - position % kWindowAlignment;
  windowLength_ = ReadFileAt(file_, windowStart_, window_, kWindowSize);
  return position - windowStart_ < windowLength_;
}

std::int32_t ImageStream::Read(std::uint8_t* destination, std::int32_t count) {
  if (!IsOpen() || position_ < 0 || count <= 0) return 0;
  if (count > kInt32Max - position_) count = kInt32Max - position_;
  if (memory_ != nullptr) {
    if (position_ >= fileSize_) return 0;
    const std::int32_t part = count < fileSize_ - position_ ? count : fileSize_ - position_;
    std::memcpy(destination, memory_ + position_, static_cast<std::size_t>(part));
    position_ += part;
    return part;
  }
  std::int32_t done = 0;
  while (done < count) {
    // Differences from the window's start, so that no sum can overflow.
    const bool inWindow =
        position_ >= windowStart_ && position_ - windowStart_ < windowLength_;
    if (!inWindow && !MoveWindowTo(position_)) break;
    const std::int32_t available = windowLength_ - (position_ - windowStart_);
    const std::int32_t part = available < count - done ? available : count - done;
    std::memcpy(destination + done, window_ + (position_ - windowStart_),
                static_cast<std::size_t>(part));
    done += part;
    position_ += part;
  }
  return done;
}

}  // namespace d88
