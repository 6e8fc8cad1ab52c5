#ifndef EXTRACT_MESSAGES_H
#define EXTRACT_MESSAGES_H

#include "standard_output.h"

// The tool's Japanese messages: as Shift_JIS (code page 932) bytes, which
// whatever reads the stream is given unchanged, and as the same words in
// UTF-8 for a person reading a terminal or console that shows them.

namespace d88cut {

// The image cannot be opened.
constexpr Message kOpenFailureMessage = {
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76"
    "\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n",
    "ファイルをオープンできません.\n"};

// The disk has been recognised.
constexpr Message kRecognitionMessage = {
    "\x83\x66\x83\x42\x83\x58\x83\x4e\x81\x75\x8f\xe3\x81\x76\x82\xf0"
    "\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n",
    "ディスク「上」を認識しました.\n"};

}  // namespace d88cut

#endif  // EXTRACT_MESSAGES_H
