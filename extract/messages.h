#ifndef EXTRACT_MESSAGES_H
#define EXTRACT_MESSAGES_H

// Everything d88cut says, in one place. The usage line, the `cutting` lines
// and the two Japanese messages are the tool's fixed words, whatever the
// user's language; the others are the words a translator changes.

#include "platform/tool_output.h"
#include "platform/translation.h"

namespace d88cut {

// The name its errors begin with.
constexpr char kProgram[] = "d88cut";

// Fixed words.
constexpr char kUsage[] = "Usage: %s [d88file]\n";
constexpr char kCutting[] = "cutting ... %s\n";
// The Japanese messages: as Shift_JIS (code page 932) bytes, which whatever
// reads the stream is given unchanged, and as the same words in UTF-8 for a
// person reading a terminal or console that shows them.
// The image cannot be opened.
constexpr platform::Message kOpenFailure = {
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76"
    "\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n",
    "ファイルをオープンできません.\n"};
// The disk has been recognised.
constexpr platform::Message kRecognised = {
    "\x83\x66\x83\x42\x83\x58\x83\x4e\x81\x75\x8f\xe3\x81\x76\x82\xf0"
    "\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n",
    "ディスク「上」を認識しました.\n"};

// Errors, after "d88cut: " and before ": <reason>".
constexpr char kCannotWrite[] = N_("cannot write %s");
constexpr char kWriteError[] = N_("write error");

// A block cut from sectors the image marks as badly read or deleted: after
// "d88cut: <name>: ", the first such sector, how it is marked, and how many
// more there are.
constexpr char kMarkedSector[] =
    N_("sector C %d H %d R %d on track %d is marked \"%s\" in the image; its bytes may not be "
    "the disk's");
constexpr char kMarkedSectors[] =
    N_("sector C %d H %d R %d on track %d is marked \"%s\" in the image, and %d more of its "
    "sectors are marked; its bytes may not be the disk's");
// A status or deleted mark the format has no name for.
constexpr char kStatusByte[] = N_("status 0x%02X");
constexpr char kDeletedMarkByte[] = N_("deleted mark 0x%02X");

// A console window of the run's own, on Windows, as the run ends.
constexpr char kFilesWrittenIn[] = N_("The files were written in %s.\n");
constexpr char kPressEnter[] = N_("Press Enter to close this window.\n");

}  // namespace d88cut

#endif  // EXTRACT_MESSAGES_H
