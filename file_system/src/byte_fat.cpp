#include "byte_fat.h"

namespace file_system {

Chain WalkChain(const ByteFat& fat, std::int32_t start) {
  Chain chain;
  bool seen[256] = {};
  std::int32_t cluster = start;
  const auto fail = [&chain](Problem::Kind kind, std::int32_t at) {
    chain.broken = true;
    chain.problem = kind;
    chain.at = at;
    return chain;
  };
  for (;;) {
    if (cluster < 0 || cluster >= fat.clusters || cluster > 255) {
      return fail(Problem::Kind::kChainPastEnd, cluster);
    }
    if (seen[cluster]) return fail(Problem::Kind::kChainLoops, cluster);
    seen[cluster] = true;
    chain.clusters[chain.count++] = static_cast<std::uint8_t>(cluster);
    const std::int32_t value = fat.fat[cluster];
    if (value == fat.free || value == fat.reserved) {
      return fail(Problem::Kind::kChainEndsEarly, cluster);
    }
    if (value >= fat.firstLast && value - fat.firstLast < fat.sectorsPerCluster) {
      chain.lastSectors = value - fat.firstLast + 1;
      return chain;
    }
    cluster = value;
  }
}

std::int32_t ChainBytes(const ByteFat& fat, const Chain& chain) {
  if (chain.count == 0) return 0;
  return ((chain.count - 1) * fat.sectorsPerCluster + chain.lastSectors) * fat.sectorSize;
}

std::int32_t ReadChain(DiskSectors& disk, const ByteFat& fat, const Chain& chain,
                       std::uint8_t* buffer, std::int32_t wanted, std::int32_t capacity) {
  if (chain.broken) return -1;
  const std::int32_t limit = wanted < capacity ? wanted : capacity;
  std::int32_t done = 0;
  for (std::int32_t k = 0; k < chain.count && done < limit; ++k) {
    const std::int32_t sectors = k + 1 == chain.count ? chain.lastSectors : fat.sectorsPerCluster;
    for (std::int32_t s = 0; s < sectors && done < limit; ++s) {
      const std::int32_t cluster = chain.clusters[k];
      const std::int32_t track = fat.firstTrack + cluster / fat.clustersPerTrack;
      const std::int32_t r = (cluster % fat.clustersPerTrack) * fat.sectorsPerCluster + 1 + s;
      std::uint8_t sector[1024];
      const std::int32_t got = disk.Read(track, r, sector, fat.sectorSize);
      if (got != fat.sectorSize) return -1;
      const std::int32_t part = got < limit - done ? got : limit - done;
      for (std::int32_t i = 0; i < part; ++i) buffer[done + i] = sector[i];
      done += part;
    }
  }
  return done;
}

void NoteChain(FileList* list, std::int32_t file, const Chain& chain) {
  if (chain.broken) AddProblem(list, chain.problem, file, chain.at);
}

}  // namespace file_system
