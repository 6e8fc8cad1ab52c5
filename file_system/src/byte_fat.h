#ifndef FILE_SYSTEM_SRC_BYTE_FAT_H
#define FILE_SYSTEM_SRC_BYTE_FAT_H

// The BASIC file systems of the 8-bit machines: clusters of whole sectors,
// chained by a FAT of one byte a cluster. Each says where a cluster's
// sectors lie and what its FAT's bytes mean; the chain is walked here, for
// them all.

#include <cstdint>

#include "disk_sectors.h"
#include "file_list.h"

namespace file_system {

struct ByteFat {
  std::int32_t clusters;           // the clusters the FAT covers
  std::int32_t sectorsPerCluster;
  std::int32_t sectorSize;
  // Cluster k is on track firstTrack + k / clustersPerTrack, from R
  // (k % clustersPerTrack) x sectorsPerCluster + 1 on.
  std::int32_t firstTrack;
  std::int32_t clustersPerTrack;
  // The FAT byte of a free cluster, and of a reserved one (-1: none); a
  // byte from `firstLast` on, for as many values as a cluster has sectors,
  // marks the last cluster, of (byte - firstLast + 1) sectors used; any
  // other names the next cluster.
  std::int32_t free;
  std::int32_t reserved;
  std::int32_t firstLast;
  // The FAT's bytes, a byte a cluster, from cluster 0.
  const std::uint8_t* fat;
};

// A file's chain of clusters, from its first, and the sectors used of its
// last; where it goes wrong, why (and the cluster at fault).
struct Chain {
  std::int32_t count = 0;
  std::uint8_t clusters[256];
  std::int32_t lastSectors = 0;
  bool broken = false;
  Problem::Kind problem = Problem::Kind::kChainLoops;
  std::int32_t at = 0;
};

Chain WalkChain(const ByteFat& fat, std::int32_t start);

// The bytes the chain's sectors hold: all of its clusters but the last,
// and the sectors used of that.
std::int32_t ChainBytes(const ByteFat& fat, const Chain& chain);

// Copies the chain's sectors into `buffer`, at most `wanted` bytes and
// `capacity`; returns the bytes copied, or -1 where a sector is missing or
// the chain is broken.
std::int32_t ReadChain(DiskSectors& disk, const ByteFat& fat, const Chain& chain,
                       std::uint8_t* buffer, std::int32_t wanted, std::int32_t capacity);

// Notes what is wrong with file `file`'s chain in `list`, if anything.
void NoteChain(FileList* list, std::int32_t file, const Chain& chain);

}  // namespace file_system

#endif  // FILE_SYSTEM_SRC_BYTE_FAT_H
