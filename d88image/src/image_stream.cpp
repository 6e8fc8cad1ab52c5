#include "d88image/image_stream.h"

#include <sys/stat.h>

#include <cstring>

#include "d88image/d88_format.h"

#ifdef _WIN32
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
namespace {

// Windows start on a 4 KiB boundary, so that a track just before the
// position that moved the window is usually still inside it.
constexpr std::int32_t kWindowAlignment = 4096;

}  // namespace

ImageStream::~ImageStream() { Close(); }

bool ImageStream::Open(const char* path) {
  Close();
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  D88_STAT_STRUCT status;
  if (D88_FSTAT(D88_FILENO(file), &status) != 0 || !D88_IS_REGULAR(status.st_mode)) {
    std::fclose(file);
    return false;
  }
  // The window is the buffer; a second one inside the stream would only
  // copy every byte twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  file_ = file;
  position_ = 0;
  windowStart_ = 0;
  windowLength_ = 0;
  return true;
}

void ImageStream::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  windowLength_ = 0;
}

bool ImageStream::MoveWindowTo(std::int32_t position) {
  windowStart_ = position - position % kWindowAlignment;
  windowLength_ = 0;
  if (std::fseek(file_, windowStart_, SEEK_SET) != 0) return false;
  windowLength_ = static_cast<std::int32_t>(std::fread(window_, 1, sizeof window_, file_));
  return position - windowStart_ < windowLength_;
}

std::int32_t ImageStream::Read(std::uint8_t* destination, std::int32_t count) {
  if (file_ == nullptr || position_ < 0) return 0;
  if (count > kInt32Max - position_) count = kInt32Max - position_;
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
