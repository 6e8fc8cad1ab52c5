#include "image_builder/file_system_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace d88test {
namespace {

// A blank disk of `cylinders` x 2 heads x `sectors` of `size` bytes.
Disk Blank(std::int32_t cylinders, std::int32_t sectors, std::int32_t size, std::uint8_t fill) {
  Disk disk;
  for (std::int32_t t = 0; t < 2 * cylinders; ++t) {
    for (std::int32_t r = 1; r <= sectors; ++r) {
      Sector s;
      s.c = static_cast<std::uint8_t>(t / 2);
      s.h = static_cast<std::uint8_t>(t % 2);
      s.r = static_cast<std::uint8_t>(r);
      s.n = static_cast<std::uint8_t>(size == 256 ? 1 : size == 512 ? 2 : 3);
      s.data = Bytes(static_cast<std::size_t>(size), fill);
      disk.tracks[t].push_back(s);
    }
  }
  return disk;
}

Bytes& At(Disk* disk, std::int32_t track, std::int32_t r) {
  Sector* sector = FindSector(disk, track, r);
  if (sector == nullptr) throw std::logic_error("no such sector");
  return sector->data;
}

// Writes `bytes` across the sectors `place` gives for 0, 1, 2, ...
template <class Place>
void Spread(Disk* disk, const Bytes& bytes, std::size_t sectorSize, Place place) {
  for (std::size_t at = 0, k = 0; at < bytes.size(); at += sectorSize, ++k) {
    std::int32_t track = 0;
    std::int32_t r = 0;
    place(static_cast<std::int32_t>(k), &track, &r);
    Bytes& data = At(disk, track, r);
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(at),
              bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), at + sectorSize)),
              data.begin());
  }
}

void Put16(Bytes* bytes, std::size_t at, std::uint32_t value) {
  (*bytes)[at] = static_cast<std::uint8_t>(value);
  (*bytes)[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// The name split at its last '.', each part padded with spaces.
void SplitName(const std::string& name, std::size_t nameSize, std::size_t extensionSize,
               std::uint8_t* out) {
  const std::size_t dot = name.rfind('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  std::memset(out, ' ', nameSize + extensionSize);
  std::memcpy(out, base.data(), std::min(base.size(), nameSize));
  std::memcpy(out + nameSize, extension.data(), std::min(extension.size(), extensionSize));
}

// The byte FATs of the BASICs: clusters of whole sectors, a byte each.
struct ByteFatDisk {
  std::int32_t clusters;
  std::int32_t sectorsPerCluster;
  std::int32_t firstTrack;
  std::int32_t clustersPerTrack;
  std::uint8_t lastBase;  // the byte of a last cluster of 1 sector
};

// Lays `file`'s data in clusters from `*next` down, chains them in `fat`,
// and returns the first.
std::int32_t LayFile(Disk* disk, const ByteFatDisk& layout, const Bytes& data, std::uint8_t* fat,
                     std::int32_t* next) {
  const std::int32_t clusterBytes = layout.sectorsPerCluster * 256;
  const std::int32_t count =
      std::max<std::int32_t>(1, (static_cast<std::int32_t>(data.size()) + clusterBytes - 1) / clusterBytes);
  const std::int32_t first = *next;
  for (std::int32_t k = 0; k < count; ++k) {
    const std::int32_t cluster = *next;
    --*next;
    const std::size_t from = static_cast<std::size_t>(k) * clusterBytes;
    const Bytes part(data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), from)),
                     data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), from + clusterBytes)));
    Spread(disk, part, 256, [&layout, cluster](std::int32_t s, std::int32_t* track, std::int32_t* r) {
      *track = layout.firstTrack + cluster / layout.clustersPerTrack;
      *r = (cluster % layout.clustersPerTrack) * layout.sectorsPerCluster + 1 + s;
    });
    const std::int32_t used = (static_cast<std::int32_t>(part.size()) + 255) / 256;
    fat[cluster] = k + 1 == count ? static_cast<std::uint8_t>(layout.lastBase + std::max(used, 1) - 1)
                                  : static_cast<std::uint8_t>(*next);
  }
  return first;
}

FormattedDisk N88(const std::vector<TestFile>& files) {
  FormattedDisk out{Blank(40, 16, 256, 0xFF), {}};
  Bytes fat(256, 0xFF);
  fat[74] = fat[75] = 0xFE;
  Bytes directory(12 * 256, 0xFF);
  const ByteFatDisk layout = {160, 8, 0, 2, 0xC1};
  std::int32_t next = 159;
  for (std::size_t k = 0; k < files.size(); ++k) {
    if (next == 75) next = 73;
    const std::int32_t start = LayFile(&out.disk, layout, files[k].data, fat.data(), &next);
    out.starts.push_back(start);
    std::uint8_t* entry = directory.data() + 16 * k;
    SplitName(files[k].name, 6, 3, entry);
    entry[9] = files[k].type;
    entry[10] = static_cast<std::uint8_t>(start);
    std::memset(entry + 11, 0, 5);
    if (files[k].deleted) {
      entry[0] = 0x00;
      fat[start] = 0xFF;
    }
  }
  Spread(&out.disk, directory, 256, [](std::int32_t s, std::int32_t* t, std::int32_t* r) {
    *t = 37;
    *r = 1 + s;
  });
  for (std::int32_t r = 14; r <= 16; ++r) At(&out.disk, 37, r) = fat;
  return out;
}

FormattedDisk FBasic(const std::vector<TestFile>& files) {
  FormattedDisk out{Blank(40, 16, 256, 0xFF), {}};
  At(&out.disk, 0, 3)[0] = 'S';
  Bytes fat(256, 0xFF);
  fat[0] = 0x00;
  const ByteFatDisk layout = {152, 8, 4, 2, 0xC0};
  std::int32_t next = 151;
  Bytes directory(29 * 256, 0xFF);
  for (std::size_t k = 0; k < files.size(); ++k) {
    const std::int32_t start = LayFile(&out.disk, layout, files[k].data, fat.data() + 5, &next);
    out.starts.push_back(start);
    std::uint8_t* entry = directory.data() + 32 * k;
    std::memset(entry, 0, 32);
    SplitName(files[k].name, 8, 0, entry);
    entry[11] = files[k].type;
    entry[14] = static_cast<std::uint8_t>(start);
    std::memset(entry + 15, 0xFF, 17);
    if (files[k].deleted) {
      entry[0] = 0x00;
      fat[5 + start] = 0xFF;
    }
  }
  At(&out.disk, 2, 1) = fat;
  Spread(&out.disk, directory, 256, [](std::int32_t s, std::int32_t* t, std::int32_t* r) {
    *t = s < 13 ? 2 : 3;
    *r = s < 13 ? 4 + s : s - 12;
  });
  return out;
}

FormattedDisk HuBasic(const std::vector<TestFile>& files, bool mz) {
  FormattedDisk out{Blank(40, 16, 256, 0x00), {}};
  Bytes fat(256, 0x00);
  fat[0] = 0x01;
  fat[1] = 0x8F;
  for (std::size_t k = 80; k < 256; ++k) fat[k] = 0x8F;
  const ByteFatDisk layout = {80, 16, 0, 1, 0x80};
  std::int32_t next = 79;
  Bytes directory(16 * 256, 0xFF);
  for (std::size_t k = 0; k < files.size(); ++k) {
    const std::int32_t start = LayFile(&out.disk, layout, files[k].data, fat.data(), &next);
    out.starts.push_back(start);
    std::uint8_t* entry = directory.data() + 32 * k;
    std::memset(entry, 0, 32);
    entry[0] = files[k].type != 0 ? files[k].type : 0x01;
    SplitName(files[k].name, 13, 3, entry + 1);
    entry[17] = 0x20;
    Put16(&directory, 32 * k + 0x12, static_cast<std::uint32_t>(files[k].data.size()));
    Put16(&directory, 32 * k + 0x1E, static_cast<std::uint32_t>(start));
    if (files[k].deleted) {
      entry[0] = 0x00;
      fat[start] = 0x00;
    }
  }
  At(&out.disk, 0, 15) = fat;
  Spread(&out.disk, directory, 256, [](std::int32_t s, std::int32_t* t, std::int32_t* r) {
    *t = 1;
    *r = 1 + s;
  });
  if (mz) {
    // MZ DISK BASIC: every byte inverted, the heads the other way round.
    Disk swapped;
    for (auto& [track, sectors] : out.disk.tracks) {
      for (Sector s : sectors) {
        for (std::uint8_t& b : s.data) b = static_cast<std::uint8_t>(~b);
        swapped.tracks[track ^ 1].push_back(s);
      }
    }
    for (auto& [track, sectors] : swapped.tracks) {
      for (Sector& s : sectors) {
        s.c = static_cast<std::uint8_t>(track / 2);
        s.h = static_cast<std::uint8_t>(track % 2);
      }
    }
    out.disk = swapped;
  }
  return out;
}

// FAT12 (and Human68k) on a PC-98 2HD disk: 77 x 2 x 8 x 1024, a reserved
// sector, two FATs of 2 sectors, 192 root entries, a sector a cluster.
FormattedDisk Fat(const std::vector<TestFile>& files, bool human68k) {
  FormattedDisk out{Blank(77, 8, 1024, 0x00), {}};
  const auto place = [](std::int32_t s, std::int32_t* t, std::int32_t* r) {
    *t = s / 8;
    *r = s % 8 + 1;
  };
  Bytes boot(1024, 0);
  const std::uint8_t bpb[] = {0x00, 0x04, 0x01, 0x01, 0x00, 0x02, 0xC0, 0x00, 0xD0,
                              0x04, 0xFE, 0x02, 0x00, 0x08, 0x00, 0x02, 0x00};
  boot[0] = human68k ? 0x60 : 0xEB;
  boot[1] = 0x3C;
  boot[2] = 0x90;
  std::memcpy(boot.data() + 3, human68k ? "X68IPL30" : "D88TEST ", 8);
  std::memcpy(boot.data() + 0x0B, bpb, sizeof bpb);
  const std::int32_t clusters = 1232 - 11 + 2;
  std::vector<std::uint16_t> fat(static_cast<std::size_t>(clusters), 0);
  fat[0] = 0xFFE;
  fat[1] = 0xFFF;
  Bytes root(6 * 1024, 0);
  std::int32_t next = clusters - 1;
  // Folders first: each gets a cluster of its own, with "." and "..".
  struct Folder {
    std::string name;
    std::int32_t cluster;
    Bytes entries;
  };
  std::vector<Folder> folders;
  std::size_t rootUsed = 0;
  const auto entryFor = [human68k](const std::string& name, std::uint8_t attribute,
                                   std::int32_t cluster, std::uint32_t size) {
    Bytes entry(32, 0);
    // "." and ".." are names in themselves, with no extension.
    const std::size_t dot = name[0] == '.' ? std::string::npos : name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::memset(entry.data(), ' ', 11);
    std::memcpy(entry.data(), base.data(), std::min<std::size_t>(8, base.size()));
    std::memcpy(entry.data() + 8, extension.data(), std::min<std::size_t>(3, extension.size()));
    if (human68k && base.size() > 8) {
      std::memcpy(entry.data() + 0x0C, base.data() + 8, std::min<std::size_t>(10, base.size() - 8));
    }
    entry[0x0B] = attribute;
    Put16(&entry, 0x1A, static_cast<std::uint32_t>(cluster));
    for (int k = 0; k < 4; ++k) entry[0x1C + k] = static_cast<std::uint8_t>(size >> (8 * k));
    return entry;
  };
  const auto sectorOf = [](std::int32_t cluster) { return 11 + cluster - 2; };
  for (std::size_t k = 0; k < files.size(); ++k) {
    const TestFile& file = files[k];
    const std::size_t slash = file.name.find('/');
    const std::string name = slash == std::string::npos ? file.name : file.name.substr(slash + 1);
    Bytes* into = &root;
    std::size_t* used = &rootUsed;
    static std::size_t folderUsed[16];
    if (slash != std::string::npos) {
      const std::string folderName = file.name.substr(0, slash);
      auto found = std::find_if(folders.begin(), folders.end(),
                                [&folderName](const Folder& f) { return f.name == folderName; });
      if (found == folders.end()) {
        folders.push_back({folderName, next--, Bytes(1024, 0)});
        found = folders.end() - 1;
        fat[static_cast<std::size_t>(found->cluster)] = 0xFFF;
        Bytes self = entryFor(".", 0x10, found->cluster, 0);
        Bytes up = entryFor("..", 0x10, 0, 0);
        std::copy(self.begin(), self.end(), found->entries.begin());
        std::copy(up.begin(), up.end(), found->entries.begin() + 32);
        folderUsed[found - folders.begin()] = 64;
        const Bytes entry = entryFor(folderName, 0x10, found->cluster, 0);
        std::copy(entry.begin(), entry.end(), root.begin() + static_cast<std::ptrdiff_t>(rootUsed));
        rootUsed += 32;
      }
      into = &found->entries;
      used = &folderUsed[found - folders.begin()];
    }
    const std::int32_t count = std::max<std::int32_t>(1, (static_cast<std::int32_t>(file.data.size()) + 1023) / 1024);
    const std::int32_t start = next;
    for (std::int32_t c = 0; c < count; ++c) {
      const std::int32_t cluster = next--;
      fat[static_cast<std::size_t>(cluster)] = c + 1 == count ? 0xFFF : static_cast<std::uint16_t>(next);
      const Bytes part(file.data.begin() + std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(file.data.size()), c * 1024),
                       file.data.begin() + std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(file.data.size()), (c + 1) * 1024));
      Spread(&out.disk, part, 1024, [&](std::int32_t, std::int32_t* t, std::int32_t* r) {
        place(sectorOf(cluster), t, r);
      });
    }
    out.starts.push_back(start);
    Bytes entry = entryFor(name, file.type != 0 ? file.type : 0x20, start,
                           static_cast<std::uint32_t>(file.data.size()));
    if (file.deleted) {
      entry[0] = 0xE5;
      for (std::int32_t c = 0; c < count; ++c) fat[static_cast<std::size_t>(start - c)] = 0;
    }
    std::copy(entry.begin(), entry.end(), into->begin() + static_cast<std::ptrdiff_t>(*used));
    *used += 32;
  }
  Bytes fatBytes(2 * 1024, 0);
  for (std::size_t c = 0; c < fat.size(); ++c) {
    const std::size_t at = c + c / 2;
    if (c % 2 == 0) {
      fatBytes[at] = static_cast<std::uint8_t>(fat[c]);
      fatBytes[at + 1] = static_cast<std::uint8_t>((fatBytes[at + 1] & 0xF0) | (fat[c] >> 8));
    } else {
      fatBytes[at] = static_cast<std::uint8_t>((fatBytes[at] & 0x0F) | ((fat[c] & 0x0F) << 4));
      fatBytes[at + 1] = static_cast<std::uint8_t>(fat[c] >> 4);
    }
  }
  Spread(&out.disk, boot, 1024, place);
  for (std::int32_t copy = 0; copy < 2; ++copy) {
    Spread(&out.disk, fatBytes, 1024, [&](std::int32_t s, std::int32_t* t, std::int32_t* r) {
      place(1 + 2 * copy + s, t, r);
    });
  }
  Spread(&out.disk, root, 1024, [&](std::int32_t s, std::int32_t* t, std::int32_t* r) {
    place(5 + s, t, r);
  });
  for (const Folder& folder : folders) {
    Spread(&out.disk, folder.entries, 1024, [&](std::int32_t, std::int32_t* t, std::int32_t* r) {
      place(sectorOf(folder.cluster), t, r);
    });
  }
  return out;
}

// CP/M as the X1 turbo keeps it: 4 tracks reserved, blocks of 2 KB, 64
// directory entries in block 0.
FormattedDisk Cpm(const std::vector<TestFile>& files) {
  FormattedDisk out{Blank(40, 16, 256, 0xE5), {}};
  const auto place = [](std::int32_t block, std::int32_t s, std::int32_t* t, std::int32_t* r) {
    const std::int32_t sector = 8 * block + s;
    *t = 4 + sector / 16;
    *r = sector % 16 + 1;
  };
  Bytes directory(64 * 32, 0xE5);
  std::int32_t next = 151;
  std::size_t entries = 0;
  for (const TestFile& file : files) {
    const std::int32_t records = (static_cast<std::int32_t>(file.data.size()) + 127) / 128;
    const std::int32_t blocks = std::max<std::int32_t>(1, (records + 15) / 16);
    std::vector<std::int32_t> taken;
    for (std::int32_t b = 0; b < blocks; ++b) {
      const std::int32_t block = next--;
      taken.push_back(block);
      const std::size_t from = static_cast<std::size_t>(b) * 2048;
      const Bytes part(file.data.begin() + static_cast<std::ptrdiff_t>(std::min(file.data.size(), from)),
                       file.data.begin() + static_cast<std::ptrdiff_t>(std::min(file.data.size(), from + 2048)));
      Spread(&out.disk, part, 256, [&](std::int32_t s, std::int32_t* t, std::int32_t* r) {
        place(block, s, t, r);
      });
    }
    out.starts.push_back(taken.front());
    // An entry holds 16 blocks, 2 extents of 128 records.
    for (std::size_t first = 0; first < taken.size(); first += 16) {
      std::uint8_t* entry = directory.data() + 32 * entries++;
      entry[0] = file.deleted ? 0xE5 : 0;
      SplitName(file.name, 8, 3, entry + 1);
      const std::int32_t extent = static_cast<std::int32_t>(first / 8) +
                                  (first + 16 >= taken.size() ? std::max(0, (records - static_cast<std::int32_t>(first) * 16 - 1) / 128) : 1);
      entry[12] = static_cast<std::uint8_t>(extent);
      entry[13] = 0;
      entry[14] = 0;
      const std::int32_t inEntry = records - static_cast<std::int32_t>(first) * 16;
      entry[15] = static_cast<std::uint8_t>(first + 16 >= taken.size() ? inEntry - (extent % 2) * 128 : 128);
      for (std::size_t k = 0; k < 16; ++k) {
        entry[16 + k] = first + k < taken.size() ? static_cast<std::uint8_t>(taken[first + k]) : 0;
      }
    }
  }
  Spread(&out.disk, directory, 256, [&](std::int32_t s, std::int32_t* t, std::int32_t* r) {
    place(0, s, t, r);
  });
  return out;
}

}  // namespace

FormattedDisk Format(FileSystem system, const std::vector<TestFile>& files) {
  switch (system) {
    case FileSystem::kN88Basic: return N88(files);
    case FileSystem::kFBasic: return FBasic(files);
    case FileSystem::kHuBasic: return HuBasic(files, false);
    case FileSystem::kMzBasic: return HuBasic(files, true);
    case FileSystem::kFat12: return Fat(files, false);
    case FileSystem::kHuman68k: return Fat(files, true);
    case FileSystem::kCpm: return Cpm(files);
  }
  return {};
}

std::string FileSystemName(FileSystem system) {
  switch (system) {
    case FileSystem::kN88Basic: return "n88-basic";
    case FileSystem::kFBasic: return "f-basic";
    case FileSystem::kHuBasic: return "hu-basic";
    case FileSystem::kMzBasic: return "mz-basic";
    case FileSystem::kFat12: return "fat12";
    case FileSystem::kHuman68k: return "human68k";
    case FileSystem::kCpm: return "cpm";
  }
  return "";
}

FatPlace FatOf(FileSystem system) {
  switch (system) {
    case FileSystem::kN88Basic: return {37, 14, 0};
    case FileSystem::kFBasic: return {2, 1, 5};
    case FileSystem::kHuBasic: return {0, 15, 0};
    case FileSystem::kMzBasic: return {1, 15, 0};
    case FileSystem::kFat12:
    case FileSystem::kHuman68k: return {0, 2, 0};
    case FileSystem::kCpm: return {4, 1, 0};
  }
  return {};
}

}  // namespace d88test
