#ifndef D88LS_MESSAGES_H
#define D88LS_MESSAGES_H

// Everything d88ls says, in one place: the words a translator changes. Each
// is a printf format; the listing's lines are built from the pieces below
// in the order they stand in a line.

namespace d88ls {

// The name its errors begin with.
constexpr char kProgram[] = "d88ls";

// The command line.
constexpr char kUsage[] = "Usage: %s [-t] [--json] d88file...\n";
constexpr char kHelp[] =
    "Lists the disks of D88 images and whether d88cut would cut them.\n"
    "  -t         also list every track with its sector numbers in storage order\n"
    "  --json     list as one JSON document, for programs to read\n"
    "  -h, --help show this help\n"
    "  --version  show the version\n";
constexpr char kVersion[] = "d88ls %s\n";

// Errors, after "d88ls: " and before ": <reason>".
constexpr char kUnknownOption[] = "unknown option %s";
constexpr char kCannotOpen[] = "cannot open %s";
constexpr char kNotARegularFile[] = "not a regular file (%s)";
constexpr char kAFolder[] = "a folder";
constexpr char kADevice[] = "a device";
constexpr char kAFifo[] = "a FIFO";
constexpr char kASocket[] = "a socket";
constexpr char kNotAFile[] = "not a file";
constexpr char kWriteError[] = "write error";

// A console window of the run's own, on Windows, as the run ends.
constexpr char kPressEnter[] = "Press Enter to close this window.\n";

// An image: its name above its listing when there are several, and what
// is said of it as a whole.
constexpr char kImageHeading[] = "%s:\n";
constexpr char kNoDisks[] = "no disks: the image is shorter than a disk header\n";
constexpr char kNotAnImage[] = "%s does not look like a D88 image\n";
constexpr char kHeaderUnreadable[] = "disk %d: its header can no longer be read whole\n";
constexpr char kRepeatedDisk[] = "disk %d: ";
constexpr char kRepeatedDisks[] = "disks %d to %d: ";
constexpr char kSameHeaderAgain[] = "the same header again, because disk %d's size field is 0\n";
constexpr char kDisksAgain[] =
    "disks %d to %d again, in turn, because their size fields add up to 0\n";

// A disk's line.
constexpr char kDisk[] = "disk %d: offset %d, name ";
constexpr char kMedia[] = ", media 0x%02X%s%s, ";
constexpr char kSize[] = "size %d";
constexpr char kSizeNegative[] = " is negative: the next disk starts before this one";
constexpr char kSizePastEnd[] = " runs past the end of the file (%d bytes)";
constexpr char kTracks[] = ", tracks %d, ";
constexpr char kWriteProtected[] = "write-protected, ";
constexpr char kMarked[] = "marked\n";
constexpr char kUnmarked[] = "unmarked: %s\n";
// Why a disk is unmarked.
constexpr char kIdTrackAbsent[] = "track %d is absent: %s";
constexpr char kNoIdSector[] = "no sector C %d H %d R %d N %d on track %d";
constexpr char kShortIdSector[] = "sector C %d H %d R %d N %d on track %d is short (%d of %d bytes)";
constexpr char kOtherByte[] =
    "byte %d of sector C %d H %d R %d N %d on track %d is 0x%02X, not 0x%02X ('%c')";

// Why the reader counts a track as absent.
constexpr char kEntryPastDiskSize[] = "its entry %d is past the disk size %d";
constexpr char kEntryOutsideFile[] = "its entry %d points outside the file";
constexpr char kEntryZero[] = "its entry is 0";
constexpr char kNoSuchTrack[] = "a disk has no track %d";
constexpr char kNoImage[] = "no image is open";

// A track's line, with -t.
constexpr char kTrack[] = "  track %d (C %d H %d) at %d: ";
constexpr char kTrackAbsent[] = "absent: %s\n";
constexpr char kNoSectors[] = "no sectors\n";
constexpr char kOneSector[] = "%d sector, N %d:";
constexpr char kSectors[] = "%d sectors, N %d:";
constexpr char kSectorsAndMore[] = "%d+ sectors, N %d:";
constexpr char kAndMore[] = " ...";
// What the records of a track say beyond their IDs, in lines beneath it:
// what every sector shares, a sector count that disagrees, then each
// sector that differs, after its R (and the parts of its ID that differ).
constexpr char kEverySector[] = "    every sector: %s\n";
constexpr char kCountsDiffer[] = "    sector counts differ between records: %d and %d\n";
constexpr char kCountByteSwapped[] = "    sector count %d looks byte-swapped: %d\n";
constexpr char kSectorNotes[] = ": %s\n";
constexpr char kSingleDensity[] = "single density";
constexpr char kDensityByte[] = "density 0x%02X";
constexpr char kDeletedData[] = "deleted data";
constexpr char kDeletedMarkByte[] = "deleted mark 0x%02X";
constexpr char kStatusByte[] = "status 0x%02X";
constexpr char kSameIdTwice[] = "the same ID twice: C %d H %d R %d N %d (the first is read)";
constexpr char kDataSizeDiffers[] = "%d bytes of data, not %d";
constexpr char kNoteSeparator[] = ", ";

// A block's line, for a marked disk.
constexpr char kBlock[] = "  block %s: track %d (C %d H %d) R %d, %d bytes: ";
constexpr char kBlockOk[] = "ok\n";
constexpr char kBlockNotCut[] = "%s\n";
// Why a block cannot be cut.
constexpr char kMissingSector[] = "missing sector track %d (C %d H %d) R %d";
constexpr char kMissingOnAbsentTrack[] =
    "missing sector track %d (C %d H %d) R %d: track %d is absent: %s";
constexpr char kShortSector[] = "short sector track %d (C %d H %d) R %d (%d of %d bytes)";
constexpr char kRunOutOfNumbers[] = "the run leaves the sector numbers after R %d";
// A block cut from sectors the image marks.
constexpr char kCutButMarked[] =
    "cut, but R %d is marked \"%s\": its bytes may not be the disk's\n";
constexpr char kCutButMarkedElsewhere[] =
    "cut, but track %d (C %d H %d) R %d is marked \"%s\": its bytes may not be the disk's\n";
constexpr char kCutButMarkedSectors[] =
    "cut, but %d of its sectors are marked: its bytes may not be the disk's\n";
constexpr char kMarkedSector[] = "    track %d (C %d H %d) R %d: %s\n";
constexpr char kMoreMarkedSectors[] = "    and %d more\n";

// What lies after the last disk, as the image's last line.
constexpr char kByteAfter[] = "1 byte after the last disk\n";
constexpr char kBytesAfter[] = "%d bytes after the last disk\n";
constexpr char kPaddingByteAfter[] = "1 byte of 0x1A padding after the last disk\n";
constexpr char kPaddingAfter[] = "%d bytes of 0x1A padding after the last disk\n";

}  // namespace d88ls

#endif  // D88LS_MESSAGES_H
