// Drives every D88Image operation over every disk of the input, with
// arguments taken from the input too (odd track indices, IDs, lengths and
// sector ranges included), and checks that each result stays within what
// the caller asked for. Buffers are exactly as long as the length passed,
// so that AddressSanitizer sees any write past it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "d88image/d88image.h"
#include "scratch_folder.h"

namespace {

// The image goes to a file, since the reader opens a path.
const std::string& ImagePath() {
  static const std::string path = std::string(ScratchFolder()) + "/input.d88";
  return path;
}

void WriteImage(const std::uint8_t* data, std::size_t size) {
  std::FILE* out = std::fopen(ImagePath().c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
}

void Check(bool holds) {
  if (!holds) std::abort();
}

// Mostly plausible values, sometimes anything at all.
std::int32_t Pick(FuzzedDataProvider& in, std::int32_t low, std::int32_t high) {
  if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeIntegral<std::int32_t>();
  return in.ConsumeIntegralInRange(low, high);
}

void DriveDisk(D88Image& image, FuzzedDataProvider& in) {
  for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
    const std::int32_t track = Pick(in, 0, 170);
    const std::int32_t c = Pick(in, 0, 90);
    const std::int32_t h = Pick(in, 0, 1);
    const std::int32_t r = Pick(in, 0, 30);
    const std::int32_t n = Pick(in, 0, 3);
    switch (in.ConsumeIntegralInRange(0, 5)) {
      case 0:
        image.SetSectorRange(Pick(in, 0, 2), Pick(in, 8, 30));
        break;
      case 1: {
        const std::int32_t maximum = in.ConsumeIntegralInRange(-2, 70000);
        std::vector<std::uint8_t> buffer(maximum > 0 ? static_cast<std::size_t>(maximum) : 0);
        const std::int32_t got = image.ReadSector(track, c, h, r, n, buffer.data(), maximum);
        Check(got >= 0 && got <= (maximum > 0 ? maximum : 0));
        break;
      }
      case 2: {
        const std::int32_t length = Pick(in, -2, 30000) % 409601;
        std::vector<std::uint8_t> buffer(length > 0 ? static_cast<std::size_t>(length) : 0);
        const std::int32_t got = image.ReadSectors(track, c, h, r, n, buffer.data(), length);
        Check(got >= 0 && got <= (length > 0 ? length : 0));
        break;
      }
      case 3: {
        const std::int32_t length = in.ConsumeIntegralInRange(-2, 1024);
        std::vector<std::uint8_t> buffer(length > 0 ? static_cast<std::size_t>(length) : 0);
        const std::int32_t got = image.GetSectorIds(track, buffer.data(), length);
        Check(got >= 0 && got % 4 == 0 && got <= (length > 0 ? length : 0));
        // The records come from the same walk as the IDs.
        std::vector<D88Image::SectorRecord> records(static_cast<std::size_t>(got / 4 + 1));
        const std::int32_t count = image.GetSectorRecords(track, records.data(), got / 4 + 1);
        Check(count >= got / 4 && count <= got / 4 + 1);
        for (std::int32_t k = 0; k < got / 4; ++k) {
          const D88Image::SectorRecord& record = records[static_cast<std::size_t>(k)];
          Check(record.c == buffer[4 * k] && record.h == buffer[4 * k + 1] &&
                record.r == buffer[4 * k + 2] && record.n == buffer[4 * k + 3]);
        }
        break;
      }
      case 4: {
        // The record a search finds is the one ReadSector reads.
        D88Image::SectorRecord record;
        const bool found = image.FindSectorRecord(track, c, h, r, n, &record);
        std::uint8_t sector[300];
        const std::int32_t got = image.ReadSector(track, c, h, r, n, sector, sizeof sector);
        Check(found ? got <= record.dataSize && record.r == r : got == 0);
        break;
      }
      default: {
        // A run with its records reads what one without them reads.
        const std::int32_t length = in.ConsumeIntegralInRange(-2, 8192);
        const std::int32_t room = in.ConsumeIntegralInRange(0, 64);
        std::vector<std::uint8_t> one(length > 0 ? static_cast<std::size_t>(length) : 0);
        std::vector<std::uint8_t> two(one.size());
        std::vector<D88Image::SectorRecord> records(static_cast<std::size_t>(room));
        const std::int32_t got = image.ReadSectors(track, c, h, r, n, one.data(), length);
        Check(image.ReadSectors(track, c, h, r, n, two.data(), length, records.data(), room) ==
              got);
        Check(one == two);
        if (got > 0) Check(records.empty() || (records[0].c == c && records[0].r == r));
        break;
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteImage(data, size);
  // The arguments come from the input's last bytes; the image is all of it.
  FuzzedDataProvider in(data, size);
  static D88Image image;
  if (!image.Open(ImagePath().c_str())) std::abort();
  const std::int32_t count = image.GetDiskCount();
  Check(count >= 0 && count <= d88::kMaxDisks);
  for (std::int32_t i = -1; i <= count; ++i) {
    const bool selected = image.SelectDisk(i);
    Check(selected == (i >= 0 && i < count) || !selected);
    Check(std::strlen(image.GetDiskName()) <= 16);
    Check(selected ? image.GetMediaType() >= 0 && image.GetMediaType() <= 255
                   : image.GetMediaType() == -1);
    Check(selected ? image.GetWriteProtect() >= 0 && image.GetWriteProtect() <= 255
                   : image.GetWriteProtect() == -1);
    DriveDisk(image, in);
  }
  image.Open(nullptr);
  Check(!image.SelectDisk(0));
  return 0;
}
