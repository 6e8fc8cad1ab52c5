#include "fm_mfm_decoder.h"

#include "crc_ccitt.h"

namespace d88 {
namespace {

using Mode = TrackMarks::Mode;

constexpr std::uint32_t kMfmSync = 0x4489;
constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::uint8_t kSyncBytes[3] = {0xA1, 0xA1, 0xA1};
constexpr std::int32_t kIdBytes = 6;  // C H R N and the CRC, after the mark
// How far after an ID field its data mark may begin: the gap between them
// is 22 bytes of 4E, 12 of 00 and three A1 in MFM, 11 of FF and 6 of 00 in
// FM; more than three times that is allowed for.
constexpr std::int32_t kDataMarkWindow = 64;
constexpr std::int32_t kLargestSizeCode = 7;

// The 16 cells of an FM byte written with `clock`: clock cell, then data
// cell, bit by bit from the top.
constexpr std::uint32_t FmCells(std::uint8_t clock, std::uint8_t data) {
  std::uint32_t cells = 0;
  for (std::int32_t bit = 7; bit >= 0; --bit) {
    cells = (cells << 2) | (((clock >> bit) & 1u) << 1) | ((data >> bit) & 1u);
  }
  return cells;
}

// The same cells at twice the rate: each a cell and a 0.
constexpr std::uint32_t Doubled(std::uint32_t cells) {
  std::uint32_t doubled = 0;
  for (std::int32_t bit = 15; bit >= 0; --bit) doubled = (doubled << 2) | (((cells >> bit) & 1u) << 1);
  return doubled;
}

constexpr std::uint8_t kFmMarkClock = 0xC7;
constexpr std::uint8_t kMarks[] = {0xFE, 0xFB, 0xF8, 0xF9, 0xFA};
// Every FM mark shares its first eight cells (those of data bits 7 to 4).
constexpr std::uint32_t kFmMarkHigh = FmCells(kFmMarkClock, 0xF0) >> 8;
constexpr std::uint32_t kDoubledMarkHigh = Doubled(FmCells(kFmMarkClock, 0xF0)) >> 16;

bool IsMark(std::uint8_t byte) {
  for (const std::uint8_t mark : kMarks) {
    if (byte == mark) return true;
  }
  return false;
}

bool IsDataMark(std::uint8_t byte) { return byte != kIdMark && IsMark(byte); }

// The mark whose FM cells (or doubled cells) are `cells`, or 0.
std::uint8_t FmMarkOf(std::uint32_t cells, bool doubled) {
  for (const std::uint8_t mark : kMarks) {
    const std::uint32_t expected = FmCells(kFmMarkClock, mark);
    if (cells == (doubled ? Doubled(expected) : expected)) return mark;
  }
  return 0;
}

std::int32_t CellsPerByte(Mode mode) { return mode == Mode::kFmDoubled ? 32 : 16; }

// The byte whose cells begin at `at`: its data cells, the second of each
// pair (the third of each four, doubled).
std::uint8_t ByteAt(const CellTrack& cells, std::int32_t at, Mode mode) {
  const std::int32_t step = mode == Mode::kFmDoubled ? 4 : 2;
  const std::int32_t first = at + step / 2;
  std::int32_t byte = 0;
  for (std::int32_t bit = 0; bit < 8; ++bit) byte = (byte << 1) | cells.Cell(first + bit * step);
  return static_cast<std::uint8_t>(byte);
}

// Reads `count` bytes of a field from `at` on; false where the cells end
// first.
bool FieldAt(const CellTrack& cells, std::int32_t at, Mode mode, std::uint8_t* bytes,
             std::int32_t count) {
  const std::int32_t perByte = CellsPerByte(mode);
  if (count > (CellTrack::kMaxCells - at) / perByte || !cells.Holds(at, count * perByte)) {
    return false;
  }
  for (std::int32_t k = 0; k < count; ++k) bytes[k] = ByteAt(cells, at + k * perByte, mode);
  return true;
}

// The CRC of a field of `mode` whose mark is `mark`, over `count` bytes.
std::int32_t FieldCrc(Mode mode, std::uint8_t mark, const std::uint8_t* bytes, std::int32_t count) {
  std::int32_t crc = mode == Mode::kMfm ? CrcCcitt(kCrcStart, kSyncBytes, 3) : kCrcStart;
  crc = CrcCcitt(crc, &mark, 1);
  return CrcCcitt(crc, bytes, count);
}

// One pass over the cells: every mark, in order.
void FindMarks(const CellTrack& cells, TrackMarks* found) {
  found->count = 0;
  std::uint32_t shift = 0;
  const std::int32_t count = cells.Count();
  // A circle's cells before its first: a mark may run across its end.
  if (cells.Revolutions() == 1 && count >= 32) {
    for (std::int32_t k = count - 32; k < count; ++k) shift = (shift << 1) | static_cast<std::uint32_t>(cells.Cell(k));
  }
  const auto add = [found](std::int32_t at, Mode mode, std::uint8_t byte) {
    if (found->count < TrackMarks::kMaxMarks) found->marks[found->count++] = {at, mode, byte};
  };
  for (std::int32_t k = 0; k < count && found->count < TrackMarks::kMaxMarks; ++k) {
    shift = (shift << 1) | static_cast<std::uint32_t>(cells.Cell(k));
    const std::uint32_t low = shift & 0xFFFF;
    if (low == kMfmSync) {
      // The last of the syncs is followed by the mark.
      const std::uint8_t next = ByteAt(cells, k + 1, Mode::kMfm);
      if (IsMark(next)) add(k + 17, Mode::kMfm, next);
    } else if (low >> 8 == kFmMarkHigh) {
      if (const std::uint8_t mark = FmMarkOf(low, false)) add(k + 1, Mode::kFm, mark);
    } else if (shift >> 16 == kDoubledMarkHigh) {
      if (const std::uint8_t mark = FmMarkOf(shift, true)) add(k + 1, Mode::kFmDoubled, mark);
    }
  }
}

// Whether the ID field after mark `m` reads with a good CRC.
bool GoodId(const CellTrack& cells, const TrackMarks::Mark& m) {
  std::uint8_t id[kIdBytes];
  return m.byte == kIdMark && FieldAt(cells, m.at, m.mode, id, kIdBytes) &&
         FieldCrc(m.mode, m.byte, id, 4) == ((id[4] << 8) | id[5]);
}

// The revolution cell `at` lies in.
std::int32_t RevolutionOf(const CellTrack& cells, std::int32_t at) {
  std::int32_t r = 0;
  while (r + 1 < cells.Revolutions() && at >= cells.RevolutionStart(r + 1)) ++r;
  return r;
}

}  // namespace

TrackDecoding::Encoding DecodeTrack(const CellTrack& cells, TrackMarks* marks, TrackReads* reads) {
  FindMarks(cells, marks);
  // The track's recording: the one whose IDs read good most often.
  std::int32_t good[3] = {};
  for (std::int32_t k = 0; k < marks->count; ++k) {
    if (GoodId(cells, marks->marks[k])) ++good[static_cast<std::int32_t>(marks->marks[k].mode)];
  }
  std::int32_t best = 0;
  for (std::int32_t m = 1; m < 3; ++m) {
    if (good[m] > good[best]) best = m;
  }
  const Mode mode = static_cast<Mode>(best);
  // Each revolution a round, in order, as the marks reach it.
  std::int32_t round = 0;
  bool begun = reads->BeginRound(cells.RevolutionEnd(0) - cells.RevolutionStart(0));
  if (good[best] == 0) {
    for (std::int32_t r = 1; r < cells.Revolutions(); ++r) {
      reads->BeginRound(cells.RevolutionEnd(r) - cells.RevolutionStart(r));
    }
    return TrackDecoding::Encoding::kNone;
  }
  const std::int32_t perByte = CellsPerByte(mode);
  // No more data than the cells could hold, whatever the marks say.
  std::int32_t budget = cells.Count() / 8 + (std::int32_t{128} << kLargestSizeCode);
  for (std::int32_t i = 0; i < marks->count; ++i) {
    const TrackMarks::Mark& m = marks->marks[i];
    if (m.mode != mode || m.byte != kIdMark) continue;
    const std::int32_t revolution = RevolutionOf(cells, m.at);
    while (round < revolution) {
      ++round;
      begun = reads->BeginRound(cells.RevolutionEnd(round) - cells.RevolutionStart(round));
    }
    if (!begun) break;
    std::uint8_t id[kIdBytes];
    if (!FieldAt(cells, m.at, mode, id, kIdBytes)) continue;
    SectorFacts facts = FactsOfId(id);
    facts.density = mode == Mode::kMfm ? kDoubleDensity : kSingleDensity;
    const bool idGood = FieldCrc(mode, m.byte, id, 4) == ((id[4] << 8) | id[5]);
    const std::int32_t angle = m.at - cells.RevolutionStart(revolution);
    // Its data mark: the first in the gap after it, before the next ID.
    const std::int32_t idEnd = m.at + kIdBytes * perByte;
    const TrackMarks::Mark* dataMark = nullptr;
    for (std::int32_t j = i + 1; j < marks->count && dataMark == nullptr; ++j) {
      const TrackMarks::Mark& next = marks->marks[j];
      if (next.mode != mode) continue;
      if (next.byte == kIdMark || next.at - idEnd > kDataMarkWindow * perByte) break;
      if (next.at >= idEnd && IsDataMark(next.byte)) dataMark = &next;
    }
    const std::int32_t size = facts.n <= kLargestSizeCode ? std::int32_t{128} << facts.n : 0;
    if (dataMark == nullptr || size == 0) {
      facts.status = idGood ? kStatusNoDataMark : kStatusIdCrcError;
      reads->Add(facts, idGood ? ReadQuality::kNoDataMark : ReadQuality::kIdCrcError, angle, 0);
      continue;
    }
    // A field the cells end inside (the last revolution's) was not read.
    if (!cells.Holds(dataMark->at, (size + 2) * perByte)) continue;
    if (size > budget) break;
    budget -= size;
    const bool deleted = dataMark->byte == 0xF8 || dataMark->byte == 0xF9;
    SectorRead* read = reads->Add(facts, ReadQuality::kGood, angle, size);
    if (read == nullptr) break;
    std::uint8_t* data = reads->DataOf(*read);
    std::uint8_t crc[2];
    FieldAt(cells, dataMark->at, mode, data, size);
    FieldAt(cells, dataMark->at + size * perByte, mode, crc, 2);
    const bool dataGood = FieldCrc(mode, dataMark->byte, data, size) == ((crc[0] << 8) | crc[1]);
    read->facts.deletedMark = deleted ? kDeletedData : 0;
    read->facts.status = !idGood     ? kStatusIdCrcError
                         : !dataGood ? kStatusDataCrcError
                         : deleted   ? kDeletedData
                                     : kStatusNone;
    read->quality = !idGood     ? ReadQuality::kIdCrcError
                    : !dataGood ? ReadQuality::kDataCrcError
                                : ReadQuality::kGood;
  }
  while (round + 1 < cells.Revolutions()) {
    ++round;
    reads->BeginRound(cells.RevolutionEnd(round) - cells.RevolutionStart(round));
  }
  return mode == Mode::kMfm ? TrackDecoding::Encoding::kMfm : TrackDecoding::Encoding::kFm;
}

}  // namespace d88
