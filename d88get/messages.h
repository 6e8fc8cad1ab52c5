#ifndef D88GET_MESSAGES_H
#define D88GET_MESSAGES_H

// Everything d88get says, in one place: the words a translator changes.

#include "platform/translation.h"

namespace d88get {

// The name its errors begin with.
constexpr char kProgram[] = "d88get";

// The command line.
constexpr char kUsage[] = N_("Usage: %s [--disk N] IMAGE [NAME...]\n");
constexpr char kHelp[] =
    N_("Takes the files out of a disk's file system into the current folder: every\n"
    "file, or those named as d88ls -l lists them (a folder's name takes the files\n"
    "beneath it).\n"
    "  --disk N   the disk, counted from 0 as d88ls counts them; without it, the\n"
    "             first disk whose file system d88get knows\n"
    "  -h, --help show this help\n"
    "  --version  show the version\n");
constexpr char kVersion[] = "d88get %s\n";
constexpr char kUnknownOption[] = N_("unknown option %s");
constexpr char kBadDiskNumber[] = N_("--disk needs a disk number, not %s");
constexpr char kNoDiskNumber[] = N_("--disk needs a disk number");

// What it wrote: the file's path, and where it was written if that differs.
constexpr char kWritten[] = "%s\n";
constexpr char kWrittenAs[] = "%s -> %s\n";

// Errors, after "d88get: " and before ": <reason>".
constexpr char kImage[] = "%s";
constexpr char kNoFileSystem[] = N_("no disk holds a file system d88get knows");
constexpr char kNoSuchDisk[] = N_("it has no disk %d (it has %d)");
constexpr char kDiskWithout[] = N_("disk %d holds no file system d88get knows");
constexpr char kNoSuchFile[] = N_("%s: no such file on disk %d");
constexpr char kUnreadable[] = N_("%s: its data cannot be read whole from the disk");
constexpr char kTooLarge[] = N_("%s: larger than the %d bytes d88get holds");
constexpr char kCannotMake[] = N_("cannot make the folder %s");
constexpr char kCannotWrite[] = N_("cannot write %s");
constexpr char kTooManyNames[] = N_("%s: too many files of one name to keep apart");
constexpr char kPathTooLong[] = N_("%s: its path, made safe, is longer than d88get holds");
constexpr char kWriteError[] = N_("write error");

// A console window of the run's own, on Windows, as the run ends.
constexpr char kPressEnter[] = N_("Press Enter to close this window.\n");

}  // namespace d88get

#endif  // D88GET_MESSAGES_H
