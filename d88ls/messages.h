#ifndef D88LS_MESSAGES_H
#define D88LS_MESSAGES_H

// Everything d88ls says, in one place: the words a translator changes. Each
// is a printf format; the listing's lines are built from the pieces below
// in the order they stand in a line.

#include "platform/translation.h"

namespace d88ls {

// The name its errors begin with.
constexpr char kProgram[] = "d88ls";

// The command line.
constexpr char kUsage[] = N_("Usage: %s [-t] [-l] [--json] image...\n");
constexpr char kHelp[] =
    N_("Lists the disks of disk images and whether d88cut would cut them.\n"
    "  -t         also list every track with its sector numbers in storage order\n"
    "  -l         also list the files of each disk's file system\n"
    "  --json     list as one JSON document, for programs to read\n"
    "  -h, --help show this help\n"
    "  --version  show the version\n");
constexpr char kVersion[] = "d88ls %s\n";

// Errors, after "d88ls: " and before ": <reason>".
constexpr char kUnknownOption[] = N_("unknown option %s");
constexpr char kWriteError[] = N_("write error");

// A console window of the run's own, on Windows, as the run ends.
constexpr char kPressEnter[] = N_("Press Enter to close this window.\n");

// An image: its line, above its listing when there are several or it is
// in another container than D88: its name, its container, a raw image's
// geometry (cylinders x heads x sectors x bytes) and what was wrong with
// the container; and what is said of it as a whole.
constexpr char kImageHeading[] = "%s: %s";
constexpr char kGeometry[] = ", %d x %d x %d x %d";
constexpr char kAlsoFits[] = N_(" (its size also fits %s)");
constexpr char kContainerProblem[] = ", %s";
constexpr char kLineEnd[] = "\n";
constexpr char kNoDisks[] = N_("no disks: the image is shorter than a disk header\n");
constexpr char kNotAnImage[] = N_("%s does not look like a D88 image\n");
constexpr char kHeaderUnreadable[] = N_("disk %d: its header can no longer be read whole\n");
constexpr char kRepeatedDisk[] = N_("disk %d: ");
constexpr char kRepeatedDisks[] = N_("disks %d to %d: ");
constexpr char kSameHeaderAgain[] = N_("the same header again, because disk %d's size field is 0\n");
constexpr char kDisksAgain[] =
    N_("disks %d to %d again, in turn, because their size fields add up to 0\n");

// A disk's line.
constexpr char kDisk[] = N_("disk %d: offset %d, name ");
constexpr char kMedia[] = N_(", media 0x%02X%s%s");
constexpr char kMediaDisagrees[] = N_(" (its tracks look %s)");
// Between a disk line's fields, in every language.
constexpr char kFieldSeparator[] = ", ";
constexpr char kSize[] = N_("size %d");
constexpr char kSizeNegative[] = N_(" is negative: the next disk starts before this one");
constexpr char kSizePastEnd[] = N_(" runs past the end of the file (%d bytes)");
constexpr char kTracks[] = N_(", tracks %d, ");
constexpr char kWriteProtected[] = N_("write-protected, ");
constexpr char kMarked[] = N_("marked\n");
constexpr char kUnmarked[] = N_("unmarked: %s\n");
// Why a disk is unmarked.
constexpr char kIdTrackAbsent[] = N_("track %d is absent: %s");
constexpr char kNoIdSector[] = N_("no sector C %d H %d R %d N %d on track %d");
constexpr char kShortIdSector[] = N_("sector C %d H %d R %d N %d on track %d is short (%d of %d bytes)");
constexpr char kOtherByte[] =
    N_("byte %d of sector C %d H %d R %d N %d on track %d is 0x%02X, not 0x%02X ('%c')");

// Why the reader counts a track as absent.
constexpr char kEntryPastDiskSize[] = N_("its entry %d is past the disk size %d");
constexpr char kEntryOutsideFile[] = N_("its entry %d points outside the file");
constexpr char kEntryZero[] = N_("its entry is 0");
constexpr char kNoSuchTrack[] = N_("a disk has no track %d");
constexpr char kNoImage[] = N_("no image is open");

// A track's line, with -t.
constexpr char kTrack[] = N_("  track %d (C %d H %d) at %d: ");
constexpr char kTrackAbsent[] = N_("absent: %s\n");
constexpr char kNoSectors[] = N_("no sectors\n");
constexpr char kOneSector[] = N_("%d sector, N %d:");
constexpr char kSectors[] = N_("%d sectors, N %d:");
constexpr char kSectorsAndMore[] = N_("%d+ sectors, N %d:");
constexpr char kAndMore[] = " ...";
// What the records of a track say beyond their IDs, in lines beneath it:
// what every sector shares, a sector count that disagrees, then each
// sector that differs, after its R (and the parts of its ID that differ).
constexpr char kEverySector[] = N_("    every sector: %s\n");
constexpr char kCountsDiffer[] = N_("    sector counts differ between records: %d and %d\n");
constexpr char kCountByteSwapped[] = N_("    sector count %d looks byte-swapped: %d\n");
constexpr char kSectorNotes[] = N_(": %s\n");
constexpr char kSingleDensity[] = N_("single density");
constexpr char kDensityByte[] = N_("density 0x%02X");
constexpr char kDeletedData[] = N_("deleted data");
constexpr char kDeletedMarkByte[] = N_("deleted mark 0x%02X");
constexpr char kStatusByte[] = N_("status 0x%02X");
constexpr char kSameIdTwice[] = N_("the same ID twice: C %d H %d R %d N %d (the first is read)");
constexpr char kDataSizeDiffers[] = N_("%d bytes of data, not %d");
constexpr char kNoteSeparator[] = N_(", ");
// How a track's bits were decoded (flux and bitstream containers): the
// sectors kept from a later read than the first, and the reads that saw
// some sector otherwise than it is kept.
constexpr char kFromRevolution[] = N_("    sectors kept from revolution %d: R %s\n");
constexpr char kFromSecondRecording[] = N_("    sectors kept from the cylinder's second recording: R %s\n");
constexpr char kFromSecondRecordingRevolution[] =
    N_("    sectors kept from revolution %d of the cylinder's second recording: R %s\n");
constexpr char kRevolutionsDisagree[] = N_("    %d of its %d revolutions read some sector otherwise\n");
constexpr char kRecordingsDisagree[] = N_("    its two recordings differ\n");

// A block's line, for a marked disk.
constexpr char kBlock[] = N_("  block %s: track %d (C %d H %d) R %d, %d bytes: ");
constexpr char kBlockOk[] = N_("ok\n");
constexpr char kBlockNotCut[] = "%s\n";
// Why a block cannot be cut.
constexpr char kMissingSector[] = N_("missing sector track %d (C %d H %d) R %d");
constexpr char kMissingOnAbsentTrack[] =
    N_("missing sector track %d (C %d H %d) R %d: track %d is absent: %s");
constexpr char kShortSector[] = N_("short sector track %d (C %d H %d) R %d (%d of %d bytes)");
constexpr char kRunOutOfNumbers[] = N_("the run leaves the sector numbers after R %d");
// A block cut from sectors the image marks.
constexpr char kCutButMarked[] =
    N_("cut, but R %d is marked \"%s\": its bytes may not be the disk's\n");
constexpr char kCutButMarkedElsewhere[] =
    N_("cut, but track %d (C %d H %d) R %d is marked \"%s\": its bytes may not be the disk's\n");
constexpr char kCutButMarkedSectors[] =
    N_("cut, but %d of its sectors are marked: its bytes may not be the disk's\n");
constexpr char kMarkedSector[] = N_("    track %d (C %d H %d) R %d: %s\n");
constexpr char kMoreMarkedSectors[] = N_("    and %d more\n");

// The files of a disk's file system, with -l, beneath the disk's line:
// the file system, then a line per file (its size in bytes, its name, and
// in parentheses its type and attributes), then what is wrong.
constexpr char kFileSystem[] = N_("  file system %s, %d files:\n");
constexpr char kFileSystemOneFile[] = N_("  file system %s, 1 file:\n");
constexpr char kFileSystemNoFiles[] = N_("  file system %s, no files\n");
constexpr char kNoFileSystem[] = N_("  no file system that d88ls knows\n");
constexpr char kFileLine[] = "    %10d  %s  (%s)\n";
constexpr char kFileProblem[] = N_("    problem: %s\n");
constexpr char kMoreFileProblems[] = N_("    and %d more problems\n");
// A file's type, and its attributes.
constexpr char kTypeFile[] = N_("file");
constexpr char kTypeFolder[] = N_("folder");
constexpr char kTypeBasic[] = N_("BASIC");
constexpr char kTypeAscii[] = N_("ASCII");
constexpr char kTypeMachineCode[] = N_("machine code");
constexpr char kTypeData[] = N_("data");
constexpr char kAttributeReadOnly[] = N_("read-only");
constexpr char kAttributeHidden[] = N_("hidden");
constexpr char kAttributeSystem[] = N_("system");
constexpr char kAttributeArchive[] = N_("archive");
constexpr char kAttributeVerify[] = N_("verified");
constexpr char kAttributeProtectedSave[] = N_("saved protected");
constexpr char kAttributeRandomAccess[] = N_("random access");
constexpr char kAttributePassword[] = N_("password");
// What is wrong with a file, or with the file system.
constexpr char kChainLoops[] = N_("%s: its chain of clusters comes back to cluster %d");
constexpr char kChainPastEnd[] = N_("%s: its chain names cluster %d, which the disk has not");
constexpr char kChainEndsEarly[] = N_("%s: its chain ends at cluster %d, which is free or reserved");
constexpr char kSizeBeyondChain[] = N_("%s: its size %d is more than its clusters hold");
constexpr char kBadName[] = N_("%s: its name holds bytes no name may have");
constexpr char kSectorMissing[] = N_("%s: a sector on track %d that the file system needs is missing");
constexpr char kFolderLoops[] = N_("%s: the folder holds itself or one above it");
constexpr char kTooManyFiles[] = N_("more than %d files: the rest are not listed");
constexpr char kPathTooLong[] = N_("a path of %d bytes is longer than a listing holds");
constexpr char kTheDirectory[] = N_("the directory");

// What lies after the last disk, as the image's last line.
constexpr char kByteAfter[] = N_("1 byte after the last disk\n");
constexpr char kBytesAfter[] = N_("%d bytes after the last disk\n");
constexpr char kPaddingByteAfter[] = N_("1 byte of 0x1A padding after the last disk\n");
constexpr char kPaddingAfter[] = N_("%d bytes of 0x1A padding after the last disk\n");

}  // namespace d88ls

#endif  // D88LS_MESSAGES_H
