#include "platform/image_words.h"

#include <cstdio>
#include <cstring>

#include "platform/tool_output.h"
#include "platform/translation.h"

namespace platform {
namespace {

constexpr char kCannotOpen[] = N_("cannot open %s");
constexpr char kNotARegularFile[] = N_("not a regular file (%s)");
constexpr char kAFolder[] = N_("a folder");
constexpr char kADevice[] = N_("a device");
constexpr char kAFifo[] = N_("a FIFO");
constexpr char kASocket[] = N_("a socket");
constexpr char kNotAFile[] = N_("not a file");

// What was wrong with a container: a fault, and the part it was in.
constexpr char kCutShort[] = N_("cut short: the file ends inside %s");
constexpr char kBadField[] = N_("%s holds a value it cannot hold (%d)");
constexpr char kBadChecksum[] = N_("%s does not match its checksum");
constexpr char kTooLarge[] = N_("larger, as a D88, than the %d bytes the reader holds");
constexpr char kUnsupported[] = N_("%s is in a form this reader does not know");
constexpr char kTrackTwice[] = N_("track %d (C %d H %d) comes twice; the second is not read");
constexpr char kTrackTooLong[] = N_("%s are longer than the reader holds; the rest is not read");
constexpr char kNoClock[] = N_("no track's flux keeps to a clock: nothing was recorded there in FM or MFM");
constexpr char kNoSectors[] = N_("no track's bits hold a sector recorded in FM or MFM");
constexpr char kOfTrack[] = N_(" of track %d (C %d H %d)");
constexpr char kPartHeader[] = N_("the header");
constexpr char kPartComment[] = N_("the comment");
constexpr char kPartTrackTable[] = N_("the track table");
constexpr char kPartTrackHeader[] = N_("a track's header");
constexpr char kPartSectorHeader[] = N_("a sector's header");
constexpr char kPartSectorData[] = N_("a sector's data");
constexpr char kPartCompression[] = N_("the compressed data");
constexpr char kPartTrackBits[] = N_("a track's bits");

}  // namespace

const char* DescribeOpenFailure(const d88::OpenFailure& failure,
                                char (&reason)[kMaxImageWords]) {
  const char* kind = nullptr;
  switch (failure.kind) {
    case d88::FileKind::kNone:
      std::snprintf(reason, sizeof reason, "%s", Say(std::strerror(failure.error)));
      return reason;
    case d88::FileKind::kFolder: kind = kAFolder; break;
    case d88::FileKind::kDevice: kind = kADevice; break;
    case d88::FileKind::kFifo: kind = kAFifo; break;
    case d88::FileKind::kSocket: kind = kASocket; break;
    case d88::FileKind::kOther: kind = kNotAFile; break;
  }
  std::snprintf(reason, sizeof reason, Say(kNotARegularFile), Say(kind));
  return reason;
}

const char* ReportOpenFailure(const char* path, const d88::OpenFailure& failure,
                              char (&reason)[kMaxImageWords]) {
  DescribeOpenFailure(failure, reason);
  if (failure.kind != d88::FileKind::kNone) {
    ReportError(reason, "%s", path);
  } else {
    ReportError(reason, kCannotOpen, path);
  }
  return reason;
}

const char* DescribeContainerProblem(const d88::ContainerProblem& problem,
                                     char (&reason)[kMaxImageWords]) {
  using Kind = d88::ContainerProblem::Kind;
  using Part = d88::ContainerProblem::Part;
  const char* part = nullptr;
  switch (problem.part) {
    case Part::kHeader: part = kPartHeader; break;
    case Part::kComment: part = kPartComment; break;
    case Part::kTrackTable: part = kPartTrackTable; break;
    case Part::kTrackHeader: part = kPartTrackHeader; break;
    case Part::kSectorHeader: part = kPartSectorHeader; break;
    case Part::kSectorData: part = kPartSectorData; break;
    case Part::kCompression: part = kPartCompression; break;
    case Part::kTrackBits: part = kPartTrackBits; break;
  }
  char where[kMaxImageWords];
  std::snprintf(where, sizeof where, "%s", Say(part));
  if (problem.track >= 0) {
    const std::size_t used = std::strlen(where);
    std::snprintf(where + used, sizeof where - used, Say(kOfTrack), static_cast<int>(problem.track),
                  static_cast<int>(problem.track >> 1), static_cast<int>(problem.track & 1));
  }
  switch (problem.kind) {
    case Kind::kNone:
      return nullptr;
    case Kind::kCutShort:
      std::snprintf(reason, sizeof reason, Say(kCutShort), where);
      break;
    case Kind::kBadField:
      std::snprintf(reason, sizeof reason, Say(kBadField), where, static_cast<int>(problem.value));
      break;
    case Kind::kBadChecksum:
      std::snprintf(reason, sizeof reason, Say(kBadChecksum), where);
      break;
    case Kind::kTooLarge:
      if (problem.part == Part::kTrackBits) {
        std::snprintf(reason, sizeof reason, Say(kTrackTooLong), where);
      } else {
        std::snprintf(reason, sizeof reason, Say(kTooLarge), static_cast<int>(problem.value));
      }
      break;
    case Kind::kUnsupported:
      std::snprintf(reason, sizeof reason, Say(kUnsupported), where);
      break;
    case Kind::kTrackTwice:
      std::snprintf(reason, sizeof reason, Say(kTrackTwice), static_cast<int>(problem.track),
                    static_cast<int>(problem.track >> 1), static_cast<int>(problem.track & 1));
      break;
    case Kind::kNoClock:
      std::snprintf(reason, sizeof reason, "%s", Say(kNoClock));
      break;
    case Kind::kNoSectors:
      std::snprintf(reason, sizeof reason, "%s", Say(kNoSectors));
      break;
  }
  return reason;
}

}  // namespace platform
