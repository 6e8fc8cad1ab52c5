#ifndef D88CONV_MESSAGES_H
#define D88CONV_MESSAGES_H

// Everything d88conv says, in one place: the words a translator changes.

#include "platform/translation.h"

namespace d88conv {

// The name its errors begin with.
constexpr char kProgram[] = "d88conv";

// The command line.
constexpr char kUsage[] = N_("Usage: %s [--disk N] INPUT OUTPUT\n");
constexpr char kHelp[] =
    N_("Converts a disk image, in any container d88ls reads, to the container\n"
    "OUTPUT's name says:\n"
    "  .d88 .d77 .d68 (and .d98 .88d .1dd)\n"
    "             a D88 of every disk, or of disk N, with every sector's ID, data\n"
    "             and marks\n"
    "  .2d .2dd .2hd .hdm .xdf .dup .img .hd5 .hd4 .dd6 .dd9 .1d .ddb\n"
    "             a raw image of disk N (0 unless given), whose tracks must all\n"
    "             hold sectors 1 to n of one size\n"
    "  .hfe       disk N as a floppy emulator's HFE: its tracks recorded in FM\n"
    "             and MFM\n"
    "  --disk N   the disk to convert, counted from 0 as d88ls counts them\n"
    "  -h, --help show this help\n"
    "  --version  show the version\n");
constexpr char kVersion[] = "d88conv %s\n";
constexpr char kUnknownOption[] = N_("unknown option %s");
constexpr char kBadDiskNumber[] = N_("--disk needs a disk number, not %s");
constexpr char kNoDiskNumber[] = N_("--disk needs a disk number");

// Errors, after "d88conv: " and before ": <reason>".
constexpr char kImage[] = "%s";
constexpr char kCannotWrite[] = N_("cannot write %s");
constexpr char kWriteError[] = N_("write error");
// Why the image cannot be converted.
constexpr char kNoDisks[] = N_("it holds no disk");
constexpr char kNotAnImage[] = N_("it does not look like a disk image of any container d88conv reads");
constexpr char kNoSuchDisk[] = N_("it has no disk %d (it has %d)");
constexpr char kDamaged[] = N_("the container is damaged: %s");
constexpr char kUnknownOutput[] =
    N_("its name does not say what to write: end it in .d88 for a D88, in .2d, .2dd, .2hd, "
    ".hdm, .xdf, .dup, .img, .hd5, .hd4, .dd6, .dd9, .1d or .ddb for a raw image, or in .hfe for HFE");
constexpr char kTooLarge[] = N_("the result would be larger than %d bytes");
constexpr char kTooManySectors[] = N_("track %d (C %d H %d) holds more than %d sectors");
// Why a disk cannot be a raw image: the first track or sector that does
// not fit one geometry.
constexpr char kNoTracks[] = N_("disk %d has no track to write");
constexpr char kTrackMissing[] = N_("track %d (C %d H %d) is absent, but later tracks are not");
constexpr char kSectorMissing[] = N_("track %d (C %d H %d) has no sector R %d");
constexpr char kSectorCountDiffers[] =
    N_("track %d (C %d H %d) holds %d sectors, not %d as track 0 does");
constexpr char kSectorSizeDiffers[] =
    N_("track %d (C %d H %d) R %d holds %d bytes, not %d as track 0's sectors do");
constexpr char kSectorTwice[] = N_("track %d (C %d H %d) holds R %d twice");
constexpr char kSizeCodeDiffers[] =
    N_("track %d (C %d H %d) R %d has size code %d, not %d as track 0's sectors have");
constexpr char kDataCutShort[] = N_("the image ends inside the data of track %d (C %d H %d) R %d");
// Why a disk cannot be HFE, and what HFE keeps otherwise than the D88 says.
constexpr char kTrackTooLong[] =
    N_("track %d (C %d H %d): its sectors need %d cells, more than a revolution's %d at the "
    "disk's rate");
constexpr char kMixedDensity[] = N_("track %d (C %d H %d) holds sectors of FM and of MFM both");
constexpr char kDataKeptAs[] =
    N_("track %d (C %d H %d) R %d holds %d bytes of data, which the bits keep as its size code's %d "
    "(it is the first of such sectors)");
constexpr char kStatusNotKept[] =
    N_("track %d (C %d H %d) R %d, of status 0x%02X and deleted mark 0x%02X, reads back from the "
    "bits as of status 0x%02X (it is the first of such sectors)");
constexpr char kIdsAllBad[] =
    N_("track %d (C %d H %d): every ID on it has a bad CRC, which no reader takes for sectors: it "
    "reads back empty");
// A raw image its size would not read back as the disk it holds.
constexpr char kReadsBackAs[] =
    N_("a raw image of %d x %d x %d x %d, which its size reads back as %d x %d x %d x %d");
constexpr char kReadsBackAsNothing[] =
    N_("a raw image of %d x %d x %d x %d, whose size no raw image of the tools has");

// A console window of the run's own, on Windows, as the run ends.
constexpr char kPressEnter[] = N_("Press Enter to close this window.\n");

}  // namespace d88conv

#endif  // D88CONV_MESSAGES_H
