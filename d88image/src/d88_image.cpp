// D88Image: opening an image, its disk directory and disk selection.

#include <cstdint>
#include <cstring>

#include "container_reader.h"
#include "d88image/d88_writer.h"
#include "d88image/d88image.h"

namespace {

// Reads the whole disk header at `position`; a short read or a read error
// counts as "no header there".
bool ReadDiskHeader(d88::ImageStream& stream, std::int32_t position,
                    std::uint8_t (&header)[d88::kDiskHeaderSize]) {
  stream.Seek(position);
  return stream.Read(header, d88::kDiskHeaderSize) == d88::kDiskHeaderSize;
}

}  // namespace

D88Image::D88Image() = default;

D88Image::~D88Image() = default;

bool D88Image::Open(const char* path) {
  // Whatever comes next, an image opened earlier is done with.
  stream_.Close();
  container_ = d88::Container{};
  if (path == nullptr) {
    diskCount_ = 0;
    currentDisk_ = -1;
    mediaType_ = -1;
    writeProtect_ = -1;
    return true;
  }
  if (!stream_.Open(path)) return false;
  // The disk selected before, if any, was another image's.
  ForgetDisk();
  container_.fileSize = stream_.GetFileSize();
  // What the container is, from the bytes the directory's walk reads
  // first: on a D88 this costs no read of its own.
  d88::ContainerFile file(stream_, path, decodeRoom_);
  if (const d88::ContainerReader* reader = d88::FindContainerReader(file)) {
    container_.format = reader->format;
    d88::D88Writer writer(converted_, d88::kMaxConvertedSize);
    reader->read(file, writer, &container_);
    if (container_.problem.kind == d88::ContainerProblem::Kind::kNone) {
      container_.problem = writer.Problem();
    }
    stream_.ReadFromMemory(converted_, writer.Size());
  }

  // Disks are found from their size fields alone; the walk ends at the first
  // header that cannot be read whole, after 64 disks, or where the next
  // position could not be expressed in 32 bits.
  std::int32_t position = 0;
  diskCount_ = 0;
  while (diskCount_ < d88::kMaxDisks) {
    diskDirectory_[diskCount_] = position;
    std::uint8_t header[d88::kDiskHeaderSize];
    if (!ReadDiskHeader(stream_, position, header)) break;
    ++diskCount_;
    const std::int32_t diskSize = d88::DecodeU32Le(header + d88::kDiskSizeOffset);
    if (!d88::AddToPosition(position, diskSize, &position)) break;
  }
  return true;
}

d88::OpenFailure D88Image::GetOpenFailure() const { return stream_.GetOpenFailure(); }

std::int32_t D88Image::GetDiskCount() const { return diskCount_; }

std::int32_t D88Image::GetImageFileSize() const { return stream_.GetFileSize(); }

std::int32_t D88Image::ReadImageBytes(std::int32_t position, std::uint8_t* buffer,
                                      std::int32_t length) {
  if (length <= 0) return 0;
  stream_.Seek(position);
  return stream_.Read(buffer, length);
}

void D88Image::ForgetDisk() {
  diskStart_ = -1;
  currentDisk_ = -1;
  mediaType_ = -1;
  writeProtect_ = -1;
  diskSize_ = 0;
  diskName_[0] = '\0';
}

bool D88Image::SelectDisk(std::int32_t index) {
  if (!stream_.IsOpen()) return false;
  ForgetDisk();
  if (index < 0 || index >= diskCount_) return false;

  std::uint8_t header[d88::kDiskHeaderSize];
  // The header was read whole when the directory was built; if the file has
  // since shrunk, select nothing rather than decode a partial header.
  if (!ReadDiskHeader(stream_, diskDirectory_[index], header)) return false;

  diskStart_ = diskDirectory_[index];
  // The table ends where the first track starts: where some writer put it
  // before the header's end (at 672, after 160 entries), the slots from
  // there on are its records' bytes, not entries, and their tracks absent.
  std::int32_t tableEnd = d88::kDiskHeaderSize;
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    const std::int32_t slot = d88::kTrackTableOffset + 4 * t;
    trackTable_[t] = slot < tableEnd ? d88::DecodeU32Le(header + slot) : 0;
    if (trackTable_[t] > 0 && trackTable_[t] < tableEnd) tableEnd = trackTable_[t];
  }
  mediaType_ = header[d88::kMediaTypeOffset];
  writeProtect_ = header[d88::kWriteProtectOffset];
  diskSize_ = d88::DecodeU32Le(header + d88::kDiskSizeOffset);
  // The name field need not be NUL-terminated; the 17th character, never
  // written, terminates it.
  std::int32_t length = 0;
  while (length < d88::kDiskNameLength && header[length] != 0) ++length;
  std::memcpy(diskName_, header, static_cast<std::size_t>(length));
  std::memset(diskName_ + length, 0, static_cast<std::size_t>(d88::kDiskNameLength - length));
  currentDisk_ = index;
  return true;
}

std::int32_t D88Image::GetCurrentDisk() const { return currentDisk_; }

const char* D88Image::GetDiskName() const { return diskName_; }

std::int32_t D88Image::GetMediaType() const { return mediaType_; }

std::int32_t D88Image::GetWriteProtect() const { return writeProtect_; }

std::int32_t D88Image::GetDiskStart() const { return diskStart_; }

std::int32_t D88Image::GetDiskSize() const { return diskSize_; }

std::int32_t D88Image::GetTrackOffset(std::int32_t track) const {
  // A disk that could not be selected, or whose image is closed, leaves no
  // table of its own behind.
  if (currentDisk_ < 0 || !stream_.IsOpen() || track < 0 || track >= d88::kTrackCount) return 0;
  return trackTable_[track];
}

bool D88Image::SelectedDiskIsPlausible() {
  if (currentDisk_ < 0 || diskSize_ < d88::kDiskHeaderSize) return false;
  if (diskSize_ <= GetImageFileSize() - diskStart_) return true;
  for (std::int32_t t = 0; t < d88::kTrackCount; ++t) {
    std::uint8_t id[4];
    if (GetSectorIds(t, id, sizeof id) == sizeof id) return true;
  }
  return false;
}
