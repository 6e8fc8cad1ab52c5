// Names from disks as text: Shift_JIS decoded where the reader reads UTF-8,
// and every byte no reader can show escaped.

#include "platform/name_text.h"

#include <cstdio>

#include "platform/shift_jis.h"

namespace platform {
namespace {

// The code point of the UTF-8 character at `text`, which is whole.
std::int32_t CodePoint(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  if (p[0] < 0x80) return p[0];
  if (p[0] < 0xE0) return ((p[0] & 0x1F) << 6) | (p[1] & 0x3F);
  if (p[0] < 0xF0) return ((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
  return ((p[0] & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
}

bool Shown(std::int32_t code) {
  return code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0) &&
         !(code >= 0xE000 && code <= 0xF8FF);
}

}  // namespace

int DecodeShownCharacter(const std::uint8_t* bytes, std::int32_t available, char (&utf8)[8]) {
  const int taken = DecodeShiftJis(bytes, available, utf8);
  return taken > 0 && Shown(CodePoint(utf8)) ? taken : 0;
}

const char* NameAsText(const std::uint8_t* bytes, std::int32_t length, bool decode,
                       bool forListing, char* text, std::size_t size) {
  std::size_t used = 0;
  text[0] = '\0';
  for (std::int32_t k = 0; k < length && used + 4 < size;) {
    const unsigned char byte = bytes[k];
    char character[8] = {static_cast<char>(byte), '\0'};
    int taken = 1;
    bool shown = byte >= 0x20 && byte < 0x7F && !(forListing && (byte == '"' || byte == '\\'));
    if (byte >= 0x80 && decode) {
      taken = DecodeShownCharacter(bytes + k, length - k, character);
      shown = taken > 0;
      if (!shown) taken = 1;
    }
    if (!shown && !forListing && byte < 0x80) shown = true;  // JSON escapes it itself
    const int written =
        shown        ? std::snprintf(text + used, size - used, "%s", character)
        : forListing ? std::snprintf(text + used, size - used, "\\x%02X", byte)
                     : std::snprintf(text + used, size - used, "\xEF\xBF\xBD");
    used += static_cast<std::size_t>(written);
    k += taken;
  }
  return text;
}

}  // namespace platform
