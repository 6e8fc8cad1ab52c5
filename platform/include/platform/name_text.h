#ifndef PLATFORM_NAME_TEXT_H
#define PLATFORM_NAME_TEXT_H

// Names from disks (a disk's, a file's) as text.

#include <cstddef>
#include <cstdint>

namespace platform {

// Room for a name of `length` bytes as text: each byte at most 4 ("\xHH",
// or a character of 2 bytes in Shift_JIS as 3 in UTF-8), and the NUL.
constexpr std::size_t NameTextSize(std::int32_t length) {
  return 4 * static_cast<std::size_t>(length) + 1;
}

// The Shift_JIS character at the start of `bytes` (`available` of them) as
// UTF-8 in `utf8`, where it is one a reader can be shown: returns the bytes
// it takes (1 or 2), or 0 for no character, a control character (C0, DEL,
// C1) or one for private use.
int DecodeShownCharacter(const std::uint8_t* bytes, std::int32_t available, char (&utf8)[8]);

// The `length` bytes of a name as text in `text` (`size` bytes), its
// Shift_JIS decoded where it can be. A byte that does not decode (or
// decodes to a control character or one for private use) is shown as
// "\xHH" in a listing, `forListing`, and as U+FFFD otherwise (JSON, whose
// own escapes take the rest); in a listing the quote, the backslash and
// ASCII's control characters are "\xHH" too. With `decode` false, every
// byte outside printable ASCII is.
const char* NameAsText(const std::uint8_t* bytes, std::int32_t length, bool decode,
                       bool forListing, char* text, std::size_t size);

}  // namespace platform

#endif  // PLATFORM_NAME_TEXT_H
