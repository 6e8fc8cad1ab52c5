#include "image_builder/bitstream_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace d88test {
namespace {

using Cells = std::vector<std::uint8_t>;

std::uint16_t Crc(std::uint16_t crc, const Bytes& bytes) {
  for (const std::uint8_t byte : bytes) {
    crc = static_cast<std::uint16_t>(crc ^ (byte << 8));
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return crc;
}

// Writes cells as a drive's write circuit does.
class Recorder {
 public:
  explicit Recorder(bool fm) : fm_(fm) {}
  void Byte(std::uint8_t data, std::uint8_t fmClock = 0xFF) {
    for (int bit = 7; bit >= 0; --bit) {
      const int d = (data >> bit) & 1;
      if (fm_) {
        Cell((fmClock >> bit) & 1);
        Cell(d);
      } else {
        Cell(previous_ == 0 && d == 0 ? 1 : 0);
        Cell(d);
      }
      previous_ = d;
    }
  }
  void Bytes(std::uint8_t data, int count) {
    for (int k = 0; k < count; ++k) Byte(data);
  }
  // A field's start: MFM's three A1s with a clock missing; FM's mark
  // with clock C7. The CRC covers what this returns.
  d88test::Bytes Mark(std::uint8_t mark) {
    d88test::Bytes covered;
    if (fm_) {
      Byte(mark, 0xC7);
    } else {
      for (int k = 0; k < 3; ++k) {
        for (int bit = 15; bit >= 0; --bit) Cell((0x4489 >> bit) & 1);
        covered.push_back(0xA1);
      }
      previous_ = 1;
      Byte(mark);
    }
    covered.push_back(mark);
    return covered;
  }
  void Field(const d88test::Bytes& covered, const d88test::Bytes& bytes, bool badCrc) {
    for (const std::uint8_t b : bytes) Byte(b);
    d88test::Bytes all = covered;
    all.insert(all.end(), bytes.begin(), bytes.end());
    std::uint16_t crc = Crc(0xFFFF, all);
    if (badCrc) crc ^= 0x0101;
    Byte(static_cast<std::uint8_t>(crc >> 8));
    Byte(static_cast<std::uint8_t>(crc));
  }
  Cells& Take() { return cells_; }

 private:
  // An FM cell is two at the file's rate.
  void Cell(int cell) {
    cells_.push_back(static_cast<std::uint8_t>(cell));
    if (fm_) cells_.push_back(0);
  }
  bool fm_;
  int previous_ = 0;
  Cells cells_;
};

bool HighDensity(const Disk& disk) { return disk.mediaType == 0x20; }
std::int32_t RevolutionOf(const Disk& disk) { return HighDensity(disk) ? 166667 : 100000; }

// Cells packed eight to a byte, the first in the top bit (or the lowest).
Bytes Packed(const Cells& cells, std::size_t bytes, bool lowestFirst) {
  Bytes packed(bytes, 0);
  for (std::size_t k = 0; k < cells.size() && k / 8 < bytes; ++k) {
    if (cells[k] == 0) continue;
    packed[k / 8] = static_cast<std::uint8_t>(packed[k / 8] | (lowestFirst ? 1 << (k % 8) : 0x80 >> (k % 8)));
  }
  return packed;
}

void Put16(Bytes* bytes, std::size_t at, std::uint32_t value) {
  (*bytes)[at] = static_cast<std::uint8_t>(value);
  (*bytes)[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void Put32(Bytes* bytes, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) (*bytes)[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}
void Append32(Bytes* bytes, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes->push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

// The disk's tracks as the drive holds them: (cylinder, head) of the
// drive's, and the disk's track there (-1 for none).
struct DriveTracks {
  std::int32_t cylinders = 0;
  std::int32_t heads = 1;
  std::int32_t TrackAt(const Disk& disk, std::int32_t cylinder, std::int32_t head, bool twice) const {
    const std::int32_t track = 2 * (twice ? cylinder / 2 : cylinder) + head;
    return disk.tracks.count(track) != 0 ? track : -1;
  }
};

DriveTracks DriveOf(const Disk& disk, bool twice) {
  DriveTracks drive;
  for (const auto& [track, sectors] : disk.tracks) {
    drive.cylinders = std::max(drive.cylinders, track / 2 + 1);
    if (track % 2 != 0) drive.heads = 2;
  }
  if (twice) drive.cylinders *= 2;
  return drive;
}

Cells CellsAt(const Disk& disk, const DriveTracks& drive, std::int32_t cylinder, std::int32_t head,
              bool twice, std::int32_t spoilt = -1, std::int32_t idSpoilt = -1) {
  const std::int32_t track = drive.TrackAt(disk, cylinder, head, twice);
  if (track < 0) return Cells(static_cast<std::size_t>(RevolutionOf(disk)), 0);
  return TrackCells(disk.tracks.at(track), RevolutionOf(disk), spoilt, idSpoilt);
}

Bytes Hfe(const Disk& disk, const BitstreamOptions& options, bool v3) {
  const DriveTracks drive = DriveOf(disk, options.recordedTwice);
  Bytes file(1024, 0xFF);
  std::memcpy(file.data(), v3 ? "HXCHFEV3" : "HXCPICFE", 8);
  file[8] = v3 ? 3 : 0;
  file[9] = static_cast<std::uint8_t>(drive.cylinders);
  file[10] = static_cast<std::uint8_t>(drive.heads);
  file[11] = 0;  // ISO MFM
  Put16(&file, 12, HighDensity(disk) ? 500 : 250);
  Put16(&file, 14, HighDensity(disk) ? 360 : 300);
  file[16] = 7;
  file[17] = 1;
  Put16(&file, 18, 1);  // the track list in block 1
  file[20] = 0xFF;
  file[21] = options.recordedTwice ? 0 : 0xFF;
  for (std::size_t k = 512; k < 1024; ++k) file[k] = 0xFF;
  for (std::int32_t c = 0; c < drive.cylinders; ++c) {
    Bytes sides[2];
    for (std::int32_t h = 0; h < drive.heads; ++h) {
      Cells cells = CellsAt(disk, drive, c, h, options.recordedTwice);
      if (v3) {
        // Orders at the start: an index, nothing, and a skip of two junk
        // cells before the track's first six; a weak byte at the end,
        // where the last gap is.
        Bytes stream = {0xF1, 0xF0, 0xF3, 0x02};
        std::uint8_t first = 0xC0;
        for (int k = 0; k < 6; ++k) first = static_cast<std::uint8_t>(first | (cells[k] << (5 - k)));
        stream.push_back(first);
        const Cells rest(cells.begin() + 6, cells.end());
        Bytes packed = Packed(rest, rest.size() / 8, false);
        for (const std::uint8_t b : packed) {
          if (b >= 0xF0 && b <= 0xF4) throw std::logic_error("cells that read as an HFE order");
        }
        packed[packed.size() - 2] = 0xF4;
        stream.insert(stream.end(), packed.begin(), packed.end());
        for (std::uint8_t& b : stream) {
          std::uint8_t turned = 0;
          for (int bit = 0; bit < 8; ++bit) turned = static_cast<std::uint8_t>(turned | (((b >> bit) & 1) << (7 - bit)));
          b = turned;
        }
        sides[h] = stream;
      } else {
        sides[h] = Packed(cells, (cells.size() + 7) / 8, true);
      }
    }
    const std::size_t length = std::max(sides[0].size(), sides[1].size());
    if (length > 32767) throw std::logic_error("a track too long for HFE");
    const std::size_t blocks = (length + 255) / 256;
    const std::size_t place = file.size() / 512;
    Put16(&file, 512 + 4 * static_cast<std::size_t>(c), static_cast<std::uint32_t>(place));
    Put16(&file, 512 + 4 * static_cast<std::size_t>(c) + 2, static_cast<std::uint32_t>(2 * length));
    for (std::size_t b = 0; b < blocks; ++b) {
      for (int h = 0; h < 2; ++h) {
        for (std::size_t k = 0; k < 256; ++k) {
          const std::size_t at = b * 256 + k;
          file.push_back(at < sides[h].size() ? sides[h][at] : 0x55);
        }
      }
    }
  }
  return file;
}

Bytes HxcMfm(const Disk& disk, const BitstreamOptions& options) {
  const DriveTracks drive = DriveOf(disk, options.recordedTwice);
  const std::size_t count = static_cast<std::size_t>(drive.cylinders * drive.heads);
  Bytes file(19 + 11 * count, 0);
  std::memcpy(file.data(), "HXCMFM", 7);
  Put16(&file, 7, static_cast<std::uint32_t>(drive.cylinders));
  file[9] = static_cast<std::uint8_t>(drive.heads);
  Put16(&file, 10, HighDensity(disk) ? 360 : 300);
  Put16(&file, 12, HighDensity(disk) ? 500 : 250);
  file[14] = 7;
  Put32(&file, 15, 19);
  std::size_t entry = 19;
  for (std::int32_t c = 0; c < drive.cylinders; ++c) {
    for (std::int32_t h = 0; h < drive.heads; ++h) {
      const Cells cells = CellsAt(disk, drive, c, h, options.recordedTwice);
      const Bytes packed = Packed(cells, (cells.size() + 7) / 8, false);
      Put16(&file, entry, static_cast<std::uint32_t>(c));
      file[entry + 2] = static_cast<std::uint8_t>(h);
      Put32(&file, entry + 3, static_cast<std::uint32_t>(packed.size()));
      Put32(&file, entry + 7, static_cast<std::uint32_t>(file.size()));
      entry += 11;
      file.insert(file.end(), packed.begin(), packed.end());
    }
  }
  return file;
}

Bytes Eighty6f(const Disk& disk, const BitstreamOptions& options) {
  const DriveTracks drive = DriveOf(disk, options.recordedTwice);
  Bytes file(8 + 512 * 4, 0);
  std::memcpy(file.data(), "86BF", 4);
  file[4] = 0x0C;
  file[5] = 0x02;
  Put16(&file, 6, (drive.heads == 2 ? 0x08u : 0u) | 0x80u);
  for (std::int32_t c = 0; c < drive.cylinders; ++c) {
    for (std::int32_t h = 0; h < drive.heads; ++h) {
      const Cells cells = CellsAt(disk, drive, c, h, options.recordedTwice);
      Put32(&file, 8 + 4 * static_cast<std::size_t>(c * drive.heads + h), static_cast<std::uint32_t>(file.size()));
      file.push_back(HighDensity(disk) ? 0x08 : 0x0A);
      file.push_back(0);
      Append32(&file, static_cast<std::uint32_t>(cells.size()));
      Append32(&file, 0);
      // The cells in whole 16-bit words, as the real files keep them.
      const Bytes packed = Packed(cells, (cells.size() + 15) / 16 * 2, false);
      file.insert(file.end(), packed.begin(), packed.end());
    }
  }
  return file;
}

// A seeded jitter: the same on every build of the same disk.
class Jitter {
 public:
  Jitter(std::uint32_t seed, double share) : state_(seed * 2654435761u + 1), share_(share) {}
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return ((state_ >> 8) / 16777216.0 * 2 - 1) * share_;
  }

 private:
  std::uint32_t state_;
  double share_;
};

Bytes Scp(const Disk& disk, const BitstreamOptions& options) {
  const DriveTracks drive = DriveOf(disk, options.recordedTwice);
  Bytes file(16 + 168 * 4, 0);
  std::memcpy(file.data(), "SCP", 3);
  file[3] = 0x19;
  file[4] = 0x80;
  file[5] = static_cast<std::uint8_t>(options.revolutions);
  file[6] = 0;
  file[7] = static_cast<std::uint8_t>(2 * drive.cylinders - 1);
  file[8] = 0x01;
  file[9] = 0;
  file[10] = drive.heads == 2 ? 0 : 1;
  file[11] = 0;  // ticks of 25 ns
  const double ticksPerCell = HighDensity(disk) ? 40.0 : 80.0;
  Jitter jitter(options.seed, options.jitter);
  for (std::int32_t c = 0; c < drive.cylinders; ++c) {
    for (std::int32_t h = 0; h < drive.heads; ++h) {
      const std::int32_t number = 2 * c + h;
      const std::int32_t track = drive.TrackAt(disk, c, h, options.recordedTwice);
      if (track < 0) continue;
      std::int32_t spoilt = -1;
      std::int32_t idSpoilt = -1;
      for (const auto& [t, r] : options.spoiltOnFirst) {
        if (t == track) spoilt = r;
      }
      for (const auto& [t, r] : options.idSpoiltOnFirst) {
        if (t == track) idSpoilt = r;
      }
      const std::size_t start = file.size();
      Put32(&file, 16 + 4 * static_cast<std::size_t>(number), static_cast<std::uint32_t>(start));
      file.insert(file.end(), {'T', 'R', 'K', static_cast<std::uint8_t>(number)});
      const std::size_t entries = file.size();
      file.resize(file.size() + 12 * static_cast<std::size_t>(options.revolutions), 0);
      // A little slower on one revolution than the other, as a drive's
      // speed wanders.
      double carried = 0;
      for (std::int32_t r = 0; r < options.revolutions; ++r) {
        const Cells cells = CellsAt(disk, drive, c, h, options.recordedTwice, r == 0 ? spoilt : -1,
                                    r == 0 ? idSpoilt : -1);
        const double speed = 1.0 + (r % 2 == 0 ? 0.01 : -0.01);
        const std::size_t data = file.size();
        std::uint32_t count = 0;
        double total = 0;
        for (const std::uint8_t cell : cells) {
          carried += ticksPerCell * speed;
          if (cell == 0) continue;
          const double ticks = carried * (1.0 + jitter.Next());
          total += ticks;
          std::uint32_t whole = static_cast<std::uint32_t>(ticks + 0.5);
          while (whole >= 65536) {
            file.insert(file.end(), {0, 0});
            ++count;
            whole -= 65536;
          }
          file.insert(file.end(), {static_cast<std::uint8_t>(whole >> 8), static_cast<std::uint8_t>(whole)});
          ++count;
          carried = 0;
        }
        const std::size_t at = entries + 12 * static_cast<std::size_t>(r);
        Put32(&file, at, static_cast<std::uint32_t>(total + carried));
        Put32(&file, at + 4, count);
        Put32(&file, at + 8, static_cast<std::uint32_t>(data - start));
      }
    }
  }
  std::uint32_t sum = 0;
  for (std::size_t k = 16; k < file.size(); ++k) sum += file[k];
  Put32(&file, 12, sum);
  return file;
}

}  // namespace

std::vector<std::uint8_t> TrackCells(const std::vector<Sector>& sectors, std::int32_t revolution,
                                     std::int32_t spoilt, std::int32_t idSpoilt) {
  const bool fm = !sectors.empty() && sectors[0].density == 0x40;
  for (const Sector& s : sectors) {
    if ((s.density == 0x40) != fm) throw std::logic_error("a track of FM and MFM sectors both");
  }
  Recorder recorder(fm);
  const std::uint8_t gap = fm ? 0xFF : 0x4E;
  recorder.Bytes(gap, fm ? 40 : 80);
  recorder.Bytes(gap, fm ? 26 : 50);
  for (const Sector& s : sectors) {
    recorder.Bytes(0x00, fm ? 6 : 12);
    const Bytes idCovered = recorder.Mark(0xFE);
    recorder.Field(idCovered, {s.c, s.h, s.r, s.n}, s.status == 0xA0 || s.r == idSpoilt);
    recorder.Bytes(gap, fm ? 11 : 22);
    if (s.status == 0xF0) {
      recorder.Bytes(gap, fm ? 27 : 54);
      continue;
    }
    recorder.Bytes(0x00, fm ? 6 : 12);
    const Bytes dataCovered = recorder.Mark(s.deletedMark == 0x10 ? 0xF8 : 0xFB);
    Bytes data = s.data;
    data.resize(std::size_t{128} << s.n, 0);
    Bytes written = data;
    if (s.r == spoilt) written[10] ^= 0x01;
    // The CRC of the data meant, over the bytes written.
    for (const std::uint8_t b : written) recorder.Byte(b);
    Bytes all = dataCovered;
    all.insert(all.end(), data.begin(), data.end());
    std::uint16_t crc = Crc(0xFFFF, all);
    if (s.status == 0xB0) crc ^= 0x0101;
    recorder.Byte(static_cast<std::uint8_t>(crc >> 8));
    recorder.Byte(static_cast<std::uint8_t>(crc));
    recorder.Bytes(gap, fm ? 27 : 54);
  }
  Cells& cells = recorder.Take();
  while (cells.size() < static_cast<std::size_t>(revolution)) recorder.Byte(gap);
  return cells;
}

Bytes BuildBitstream(const Disk& disk, Bitstream kind, const BitstreamOptions& options) {
  switch (kind) {
    case Bitstream::kHfe: return Hfe(disk, options, false);
    case Bitstream::kHfeV3: return Hfe(disk, options, true);
    case Bitstream::kHxcMfm: return HxcMfm(disk, options);
    case Bitstream::k86f: return Eighty6f(disk, options);
    case Bitstream::kScp: return Scp(disk, options);
  }
  return {};
}

}  // namespace d88test
