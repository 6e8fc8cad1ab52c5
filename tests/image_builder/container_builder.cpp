#include "image_builder/container_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "image_builder/bitstream_builder.h"
#include "image_builder/lzhuf_encoder.h"

namespace d88test {

const ContainerInfo kContainers[18] = {
    {Container::kRaw, "raw", ".2d", {false, false, false, false, false, false}},
    {Container::kFdi, "fdi", ".fdi", {false, false, false, false, false, false}},
    {Container::kDim, "dim", ".dim", {false, false, false, false, false, false}},
    {Container::kDcp, "dcp", ".dcp", {false, false, false, false, false, false}},
    {Container::kNfd0, "nfd", ".nfd", {true, true, true, true, true, true}},
    {Container::kNfd1, "nfd", ".nfd", {true, true, true, true, true, true}},
    {Container::kVfd, "vfd", ".fdd", {true, false, false, true, false, true}},
    {Container::kImd, "imd", ".imd", {true, false, true, true, true, true}},
    {Container::kDsk, "dsk", ".dsk", {true, true, true, true, true, false}},
    {Container::kEdsk, "edsk", ".dsk", {true, true, true, true, true, false}},
    {Container::kTd0, "td0", ".td0", {true, false, true, true, true, true}},
    {Container::kTd0Compressed, "td0", ".td0", {true, false, true, true, true, true}},
    {Container::kDmk, "dmk", ".dmk", {true, true, true, true, true, true}},
    {Container::kHfe, "hfe", ".hfe", {true, true, true, true, true, true}},
    {Container::kHfeV3, "hfe", ".hfe", {true, true, true, true, true, true}},
    {Container::kHxcMfm, "mfm", ".mfm", {true, true, true, true, true, true}},
    {Container::k86f, "86f", ".86f", {true, true, true, true, true, true}},
    {Container::kScp, "scp", ".scp", {true, true, true, true, true, true}},
};

namespace {

constexpr std::uint8_t kDataCrcError = 0xB0;
constexpr std::uint8_t kNoDataMark = 0xF0;
constexpr std::uint8_t kSingleDensity = 0x40;

void Add16(Bytes* bytes, std::uint32_t value) {
  bytes->push_back(static_cast<std::uint8_t>(value));
  bytes->push_back(static_cast<std::uint8_t>(value >> 8));
}

void Add32(Bytes* bytes, std::uint32_t value) {
  Add16(bytes, value & 0xFFFF);
  Add16(bytes, value >> 16);
}

void Set32(Bytes* bytes, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) (*bytes)[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

void Append(Bytes* bytes, const Bytes& more) { bytes->insert(bytes->end(), more.begin(), more.end()); }

bool Deleted(const Sector& s) { return s.deletedMark != 0 || s.status == 0x10; }

// A sector's data as a container of sectors of their nominal size stores
// it: a sector without data keeps its room, as zeros.
Bytes Stored(const Sector& s) {
  return s.status == kNoDataMark ? Bytes(std::size_t{128} << s.n, 0) : s.data;
}

// The geometry of a disk of sectors R 1 to n of one size.
struct Layout {
  std::int32_t cylinders = 0;
  std::int32_t heads = 1;
  std::int32_t sectors = 0;
  std::int32_t size = 0;
};

Layout LayoutOf(const Disk& disk) {
  Layout layout;
  for (const auto& [track, sectors] : disk.tracks) {
    layout.cylinders = std::max(layout.cylinders, track / 2 + 1);
    if (track % 2 == 1) layout.heads = 2;
  }
  const std::vector<Sector>& first = disk.tracks.begin()->second;
  layout.sectors = static_cast<std::int32_t>(first.size());
  layout.size = static_cast<std::int32_t>(first.front().data.size());
  return layout;
}

// The data of every track's sectors R 1 to n, cylinder by cylinder.
Bytes RawData(const Disk& disk, const std::vector<bool>* stored = nullptr) {
  const Layout layout = LayoutOf(disk);
  Bytes data;
  for (std::int32_t t = 0; t < 2 * layout.cylinders; ++t) {
    if (layout.heads == 1 && t % 2 == 1) continue;
    const auto found = disk.tracks.find(t);
    if (stored != nullptr && !(*stored)[t]) continue;
    for (std::int32_t r = 1; r <= layout.sectors; ++r) {
      const Sector* sector = nullptr;
      if (found != disk.tracks.end()) {
        for (const Sector& s : found->second) {
          if (s.r == r) sector = &s;
        }
      }
      if (sector == nullptr) throw std::logic_error("a raw track lacks a sector");
      Append(&data, sector->data);
    }
  }
  return data;
}

Bytes Fdi(const Disk& disk) {
  const Layout layout = LayoutOf(disk);
  const Bytes data = RawData(disk);
  Bytes image;
  for (const std::uint32_t field :
       {0u, 0x90u, 4096u, static_cast<std::uint32_t>(data.size()),
        static_cast<std::uint32_t>(layout.size), static_cast<std::uint32_t>(layout.sectors),
        static_cast<std::uint32_t>(layout.heads), static_cast<std::uint32_t>(layout.cylinders)}) {
    Add32(&image, field);
  }
  image.resize(4096, 0);
  Append(&image, data);
  return image;
}

// DIM and DCP: a media byte for the geometry, and a map of stored tracks.
std::uint8_t MediaFor(const Layout& layout, bool dim) {
  struct Known {
    std::int32_t sectors, size;
    std::uint8_t dim, dcp;
  };
  constexpr Known kKnown[] = {{8, 1024, 0, 0x01}, {15, 512, 2, 0x02}, {18, 512, 9, 0x03},
                              {9, 1024, 3, 0x08}, {26, 256, 17, 0x21}, {16, 256, 0xFF, 0x19},
                              {8, 512, 0xFF, 0x04},  {9, 512, 0xFF, 0x05}};
  for (const Known& known : kKnown) {
    if (known.sectors == layout.sectors && known.size == layout.size) {
      const std::uint8_t media = dim ? known.dim : known.dcp;
      if (media != 0xFF) return media;
    }
  }
  throw std::logic_error("no media byte for this geometry");
}

Bytes DimOrDcp(const Disk& disk, bool dim) {
  const Layout layout = LayoutOf(disk);
  std::vector<bool> stored(160, false);
  for (const auto& [track, sectors] : disk.tracks) stored[track] = true;
  Bytes image(dim ? 0x100 : 0xA2, 0);
  image[0] = MediaFor(layout, dim);
  for (std::size_t t = 0; t < 160; ++t) image[1 + t] = stored[t] ? 1 : 0;
  if (dim) std::memcpy(image.data() + 0xAB, "DIFC HEADER  ", 13);
  Append(&image, RawData(disk, &stored));
  return image;
}

Bytes Nfd(const Disk& disk, int revision) {
  Bytes image(0x120, 0);
  std::memcpy(image.data(), revision == 0 ? "T98FDDIMAGE.R0" : "T98FDDIMAGE.R1", 15);
  image[0x114] = disk.writeProtect != 0 ? 1 : 0;
  image[0x115] = 2;
  const auto entry = [](const Sector& s) {
    Bytes bytes = {s.c, s.h, s.r, s.n, static_cast<std::uint8_t>(s.density == kSingleDensity ? 0 : 1),
                   static_cast<std::uint8_t>(Deleted(s) ? 1 : 0), s.status, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    return bytes;
  };
  if (revision == 0) {
    Bytes table(163 * 26 * 16, 0);
    Bytes data;
    for (std::int32_t t = 0; t < 163; ++t) {
      const auto found = disk.tracks.find(t);
      const std::size_t count = found == disk.tracks.end() ? 0 : found->second.size();
      for (std::size_t k = 0; k < 26; ++k) {
        const Bytes bytes = k < count ? entry(found->second[k]) : Bytes(16, 0xFF);
        std::copy(bytes.begin(), bytes.end(), table.begin() + (t * 26 + k) * 16);
        if (k < count) Append(&data, Stored(found->second[k]));
      }
    }
    Append(&image, table);
    Set32(&image, 0x110, static_cast<std::uint32_t>(image.size()));
    Append(&image, data);
    return image;
  }
  image.resize(0x120 + 164 * 4 + 4, 0);
  for (const auto& [track, sectors] : disk.tracks) {
    Set32(&image, 0x120 + 4 * track, static_cast<std::uint32_t>(image.size()));
    Bytes summary(16, 0);
    summary[0] = static_cast<std::uint8_t>(sectors.size());
    Append(&image, summary);
    for (const Sector& s : sectors) Append(&image, entry(s));
    for (const Sector& s : sectors) Append(&image, Stored(s));
  }
  Set32(&image, 0x110, 0x120 + 164 * 4 + 4);
  return image;
}

Bytes Vfd(const Disk& disk) {
  Bytes image(0xC3FC, 0);
  std::memcpy(image.data(), "VFD1.00", 7);
  image[0x88] = disk.writeProtect != 0 ? 1 : 0;
  for (std::size_t k = 0; k < 160 * 26; ++k) image[0xDC + 12 * k] = 0xFF;  // unused
  for (const auto& [track, sectors] : disk.tracks) {
    for (std::size_t k = 0; k < sectors.size(); ++k) {
      const Sector& s = sectors[k];
      const std::size_t at = 0xDC + (track * 26 + k) * 12;
      // A sector of one byte throughout is stored as that byte alone.
      const bool filled = std::all_of(s.data.begin(), s.data.end(),
                                      [&s](std::uint8_t b) { return b == s.data[0]; }) &&
                          s.data[0] != 0xFF;
      const std::uint8_t entry[8] = {s.c, s.h, s.r, s.n, filled ? s.data[0] : std::uint8_t{0xFF},
                                     static_cast<std::uint8_t>(Deleted(s) ? 1 : 0),
                                     static_cast<std::uint8_t>(s.density == kSingleDensity ? 0 : 1), 0};
      std::copy(entry, entry + 8, image.begin() + at);
      Set32(&image, at + 8, filled ? 0xFFFFFFFFu : static_cast<std::uint32_t>(image.size()));
      if (!filled) Append(&image, s.data);
    }
  }
  return image;
}

Bytes Imd(const Disk& disk) {
  const std::string head = "IMD 1.18: 11/12/2026 10:00:00\r\nmade for a test";
  Bytes image(head.begin(), head.end());
  image.push_back(0x1A);
  for (const auto& [track, sectors] : disk.tracks) {
    const bool fm = sectors.front().density == kSingleDensity;
    bool otherC = false;
    bool oneSize = true;
    for (const Sector& s : sectors) {
      otherC = otherC || s.c != track / 2;
      oneSize = oneSize && Stored(s).size() == Stored(sectors.front()).size() &&
                Stored(s).size() == (std::size_t{128} << s.n);
    }
    image.push_back(fm ? 2 : 5);
    image.push_back(static_cast<std::uint8_t>(track / 2));
    image.push_back(static_cast<std::uint8_t>((track % 2) | (otherC ? 0x80 : 0)));
    image.push_back(static_cast<std::uint8_t>(sectors.size()));
    image.push_back(oneSize ? sectors.front().n : 0xFF);
    for (const Sector& s : sectors) image.push_back(s.r);
    if (otherC) {
      for (const Sector& s : sectors) image.push_back(s.c);
    }
    if (!oneSize) {
      for (const Sector& s : sectors) Add16(&image, static_cast<std::uint32_t>(Stored(s).size()));
    }
    for (const Sector& s : sectors) {
      if (s.status == kNoDataMark) {
        image.push_back(0);
        continue;
      }
      const bool same = std::all_of(s.data.begin(), s.data.end(),
                                    [&s](std::uint8_t b) { return b == s.data[0]; });
      const int type = 1 + (Deleted(s) ? 2 : 0) + (s.status == kDataCrcError ? 4 : 0);
      image.push_back(static_cast<std::uint8_t>(type + (same ? 1 : 0)));
      if (same) {
        image.push_back(s.data[0]);
      } else {
        Append(&image, s.data);
      }
    }
  }
  return image;
}

std::uint8_t St1(const Sector& s) {
  return s.status == kDataCrcError || s.status == 0xA0 ? 0x20 : 0;
}

std::uint8_t St2(const Sector& s) {
  return static_cast<std::uint8_t>((s.status == kDataCrcError ? 0x20 : 0) |
                                   (Deleted(s) ? 0x40 : 0) | (s.status == kNoDataMark ? 0x01 : 0));
}

Bytes Dsk(const Disk& disk, bool extended) {
  const Layout layout = LayoutOf(disk);
  Bytes image(256, 0);
  const char* magic = extended ? "EXTENDED CPC DSK File\r\nDisk-Info\r\n"
                               : "MV - CPCEMU Disk-File\r\nDisk-Info\r\n";
  std::memcpy(image.data(), magic, std::strlen(magic));
  std::memcpy(image.data() + 0x22, "d88test", 7);
  image[0x30] = static_cast<std::uint8_t>(layout.cylinders);
  image[0x31] = static_cast<std::uint8_t>(layout.heads);
  std::size_t trackSize = 0;
  for (const auto& [track, sectors] : disk.tracks) {
    std::size_t size = 256;
    for (const Sector& s : sectors) size += s.data.size();
    trackSize = std::max(trackSize, (size + 255) / 256 * 256);
  }
  if (!extended) {
    image[0x32] = static_cast<std::uint8_t>(trackSize);
    image[0x33] = static_cast<std::uint8_t>(trackSize >> 8);
  }
  for (std::int32_t k = 0; k < layout.cylinders * layout.heads; ++k) {
    const std::int32_t track = 2 * (k / layout.heads) + k % layout.heads;
    const auto found = disk.tracks.find(track);
    if (found == disk.tracks.end()) {
      if (!extended) throw std::logic_error("a DSK cannot leave a track out");
      continue;
    }
    const std::vector<Sector>& sectors = found->second;
    Bytes block(256, 0);
    std::memcpy(block.data(), "Track-Info\r\n", 12);
    block[0x10] = static_cast<std::uint8_t>(track / 2);
    block[0x11] = static_cast<std::uint8_t>(track % 2);
    block[0x14] = sectors.front().n;
    block[0x15] = static_cast<std::uint8_t>(sectors.size());
    block[0x16] = 0x4E;
    block[0x17] = 0xE5;
    for (std::size_t j = 0; j < sectors.size(); ++j) {
      const Sector& s = sectors[j];
      const std::uint8_t info[8] = {s.c, s.h, s.r, s.n, St1(s), St2(s),
                                    static_cast<std::uint8_t>(s.data.size()),
                                    static_cast<std::uint8_t>(s.data.size() >> 8)};
      std::copy(info, info + (extended ? 8 : 6), block.begin() + 0x18 + 8 * j);
      Append(&block, extended ? s.data : Stored(s));
    }
    block.resize(extended ? (block.size() + 255) / 256 * 256 : trackSize, 0);
    if (extended) image[0x34 + k] = static_cast<std::uint8_t>(block.size() / 256);
    Append(&image, block);
  }
  return image;
}

}  // namespace

std::uint16_t TeledCrc(const std::uint8_t* bytes, std::size_t count) {
  std::uint16_t crc = 0;
  while (count-- > 0) {
    crc = static_cast<std::uint16_t>(crc ^ (*bytes++ << 8));
    for (int bit = 8; bit > 0; --bit) {
      const bool top = (crc & 0x8000) != 0;
      crc = static_cast<std::uint16_t>(crc << 1);
      if (top) crc = static_cast<std::uint16_t>(crc ^ 0xA097);
    }
  }
  return crc;
}

namespace {

// A sector's data block: as it stands (0), as a repeated pair (1), or as
// runs of pairs and literals (2), whichever the data is.
Bytes Td0Block(const Bytes& data) {
  Bytes block;
  bool pairs = data.size() >= 2 && data.size() % 2 == 0;
  for (std::size_t k = 2; pairs && k < data.size(); ++k) pairs = data[k] == data[k % 2];
  if (pairs) {
    block.push_back(1);
    Add16(&block, static_cast<std::uint32_t>(data.size() / 2));
    block.push_back(data[0]);
    block.push_back(data[1]);
  } else if (data.size() >= 8 && data[0] == data[2] && data[1] == data[3]) {
    // A run of the first pair, then the rest as literals of up to 255.
    block.push_back(2);
    std::size_t run = 1;
    while (2 * (run + 1) <= data.size() && run < 255 && data[2 * run] == data[0] &&
           data[2 * run + 1] == data[1]) {
      ++run;
    }
    block.insert(block.end(), {1, static_cast<std::uint8_t>(run), data[0], data[1]});
    for (std::size_t at = 2 * run; at < data.size();) {
      const std::size_t part = std::min<std::size_t>(255, data.size() - at);
      block.insert(block.end(), {0, static_cast<std::uint8_t>(part)});
      block.insert(block.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + part));
      at += part;
    }
  } else {
    block.push_back(0);
    Append(&block, data);
  }
  Bytes sized;
  Add16(&sized, static_cast<std::uint32_t>(block.size()));
  Append(&sized, block);
  return sized;
}

Bytes Td0(const Disk& disk, bool compressed) {
  const Layout layout = LayoutOf(disk);
  Bytes header = {static_cast<std::uint8_t>(compressed ? 't' : 'T'),
                  static_cast<std::uint8_t>(compressed ? 'd' : 'D'), 0, 0, 21, 2, 3, 0x80, 0,
                  static_cast<std::uint8_t>(layout.heads)};
  Add16(&header, TeledCrc(header.data(), 10));
  Bytes body;
  const std::string comment = "made for a test";
  Bytes block = {0, 0};  // its CRC, unchecked
  Add16(&block, static_cast<std::uint32_t>(comment.size()));
  block.insert(block.end(), {126, 11, 11, 10, 0, 0});
  block.insert(block.end(), comment.begin(), comment.end());
  Append(&body, block);
  for (const auto& [track, sectors] : disk.tracks) {
    const bool fm = sectors.front().density == kSingleDensity;
    Bytes head = {static_cast<std::uint8_t>(sectors.size()), static_cast<std::uint8_t>(track / 2),
                  static_cast<std::uint8_t>((track % 2) | (fm ? 0x80 : 0))};
    head.push_back(static_cast<std::uint8_t>(TeledCrc(head.data(), 3)));
    Append(&body, head);
    for (const Sector& s : sectors) {
      const bool noData = s.status == kNoDataMark;
      const std::uint8_t flags = static_cast<std::uint8_t>(
          (s.status == kDataCrcError ? 0x02 : 0) | (Deleted(s) ? 0x04 : 0) | (noData ? 0x20 : 0));
      body.insert(body.end(), {s.c, s.h, s.r, s.n, flags,
                               static_cast<std::uint8_t>(TeledCrc(s.data.data(), s.data.size()))});
      if (!noData) Append(&body, Td0Block(s.data));
    }
  }
  body.push_back(0xFF);
  Append(&header, compressed ? LzhufEncode(body) : body);
  return header;
}

// The controllers' CRC: CRC-16-CCITT from 0xFFFF, over the sync bytes
// and then the field.
std::uint16_t FieldCrc(const Bytes& sync, const Bytes& field) {
  std::uint16_t crc = 0xFFFF;
  for (const Bytes* part : {&sync, &field}) {
    for (const std::uint8_t byte : *part) {
      for (int bit = 7; bit >= 0; --bit) {
        const bool in = ((byte >> bit) & 1) != ((crc >> 15) & 1);
        crc = static_cast<std::uint16_t>(crc << 1);
        if (in) crc = static_cast<std::uint16_t>(crc ^ 0x1021);
      }
    }
  }
  return crc;
}

// A field and its CRC, `damaged` if asked.
Bytes WithCrc(const Bytes& sync, Bytes field, bool damaged) {
  std::uint16_t crc = FieldCrc(sync, field);
  if (damaged) crc = static_cast<std::uint16_t>(crc ^ 0x5555);
  field.push_back(static_cast<std::uint8_t>(crc >> 8));
  field.push_back(static_cast<std::uint8_t>(crc));
  return field;
}

// One track's bytes as a DMK keeps them, pointers first. Single-density
// sectors have every byte twice, as in a disk of both densities.
Bytes DmkTrack(const std::vector<Sector>& sectors, std::size_t length) {
  Bytes pointers(128, 0);
  Bytes bytes(32, 0x4E);
  for (std::size_t k = 0; k < sectors.size(); ++k) {
    const Sector& s = sectors[k];
    const bool fm = s.density == kSingleDensity;
    const auto put = [&bytes, fm](const Bytes& field) {
      for (const std::uint8_t b : field) {
        bytes.push_back(b);
        if (fm) bytes.push_back(b);
      }
    };
    const Bytes sync = fm ? Bytes{} : Bytes{0xA1, 0xA1, 0xA1};
    put(Bytes(fm ? 6 : 12, 0x00));
    put(sync);
    const std::size_t at = 128 + bytes.size();
    pointers[2 * k] = static_cast<std::uint8_t>(at);
    pointers[2 * k + 1] = static_cast<std::uint8_t>((at >> 8) | (fm ? 0 : 0x80));
    put(WithCrc(sync, {0xFE, s.c, s.h, s.r, s.n}, s.status == 0xA0));
    put(Bytes(fm ? 11 : 22, fm ? 0xFF : 0x4E));
    if (s.status == kNoDataMark) continue;
    put(Bytes(fm ? 6 : 12, 0x00));
    // The data mark without its A1 bytes, as real images keep them.
    Bytes field = {static_cast<std::uint8_t>(Deleted(s) ? 0xF8 : 0xFB)};
    Append(&field, s.data);
    put(WithCrc(sync, field, s.status == kDataCrcError));
    put(Bytes(fm ? 27 : 24, fm ? 0xFF : 0x4E));
  }
  if (128 + bytes.size() > length) throw std::logic_error("a DMK track too long");
  Append(&pointers, bytes);
  pointers.resize(length, 0x4E);
  return pointers;
}

Bytes Dmk(const Disk& disk) {
  const Layout layout = LayoutOf(disk);
  std::size_t length = 0;
  for (const auto& [track, sectors] : disk.tracks) {
    std::size_t bytes = 128 + 32;
    for (const Sector& s : sectors) bytes += (s.density == kSingleDensity ? 2 : 1) * (s.data.size() + 110);
    length = std::max(length, bytes);
  }
  Bytes image(16, 0);
  image[0] = disk.writeProtect != 0 ? 0xFF : 0;
  image[1] = static_cast<std::uint8_t>(layout.cylinders);
  image[2] = static_cast<std::uint8_t>(length);
  image[3] = static_cast<std::uint8_t>(length >> 8);
  image[4] = layout.heads == 1 ? 0x10 : 0;
  for (std::int32_t c = 0; c < layout.cylinders; ++c) {
    for (std::int32_t h = 0; h < layout.heads; ++h) {
      const auto found = disk.tracks.find(2 * c + h);
      Append(&image, DmkTrack(found == disk.tracks.end() ? std::vector<Sector>{} : found->second,
                              length));
    }
  }
  return image;
}

}  // namespace

Bytes BuildContainer(const Disk& disk, Container container) {
  if (disk.tracks.empty()) throw std::logic_error("a disk without tracks");
  switch (container) {
    case Container::kRaw: return RawData(disk);
    case Container::kFdi: return Fdi(disk);
    case Container::kDim: return DimOrDcp(disk, true);
    case Container::kDcp: return DimOrDcp(disk, false);
    case Container::kNfd0: return Nfd(disk, 0);
    case Container::kNfd1: return Nfd(disk, 1);
    case Container::kVfd: return Vfd(disk);
    case Container::kImd: return Imd(disk);
    case Container::kDsk: return Dsk(disk, false);
    case Container::kEdsk: return Dsk(disk, true);
    case Container::kTd0: return Td0(disk, false);
    case Container::kTd0Compressed: return Td0(disk, true);
    case Container::kHfe: return BuildBitstream(disk, Bitstream::kHfe);
    case Container::kHfeV3: return BuildBitstream(disk, Bitstream::kHfeV3);
    case Container::kHxcMfm: return BuildBitstream(disk, Bitstream::kHxcMfm);
    case Container::k86f: return BuildBitstream(disk, Bitstream::k86f);
    case Container::kScp: return BuildBitstream(disk, Bitstream::kScp);
    case Container::kDmk: return Dmk(disk);
  }
  return {};
}

}  // namespace d88test
