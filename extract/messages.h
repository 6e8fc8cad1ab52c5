#ifndef EXTRACT_MESSAGES_H
#define EXTRACT_MESSAGES_H

// The tool's Japanese messages, as Shift_JIS (code page 932) bytes. They go
// out unchanged, whatever the console's code page, and are used as printf
// formats without arguments.

// "ファイルをオープンできません.\n" (the image cannot be opened)
constexpr char kOpenFailureMessage[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76"
    "\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n";

// "ディスク「上」を認識しました.\n" (the disk has been recognised)
constexpr char kRecognitionMessage[] =
    "\x83\x66\x83\x42\x83\x58\x83\x4e\x81\x75\x8f\xe3\x81\x76\x82\xf0"
    "\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";

#endif  // EXTRACT_MESSAGES_H
