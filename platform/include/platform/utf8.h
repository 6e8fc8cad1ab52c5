#ifndef PLATFORM_UTF8_H
#define PLATFORM_UTF8_H

// UTF-8, the tools' own text.

#include <cstdint>

namespace platform {

// The length of the UTF-8 character that starts at `text`, or 0 where none
// does: a lead byte and its continuation bytes, in no overlong form, no
// surrogate and nothing past U+10FFFF. A NUL ends the text, and a sequence
// cut by it.
inline int Utf8Length(const unsigned char* text) {
  const unsigned char lead = text[0];
  int length = 0;
  std::int32_t least = 0;
  std::int32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    least = 0x80;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    least = 0x800;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    least = 0x10000;
    code = lead & 0x07;
  } else {
    return 0;
  }
  for (int k = 1; k < length; ++k) {
    if ((text[k] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (text[k] & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace platform

#endif  // PLATFORM_UTF8_H
