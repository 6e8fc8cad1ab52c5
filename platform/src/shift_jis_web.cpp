// Shift_JIS in the browser and under node (Emscripten): decoded by the
// JavaScript engine's own TextDecoder, so that no converter's tables weigh
// on the page, and names come out as the native tools give them: d88get
// writes a file of a Japanese name under that name, as it does natively.
// Where the engine has no Shift_JIS decoder (a node built without ICU's
// data), nothing decodes and names keep their \xHH bytes.

#include <emscripten.h>

#include "platform/shift_jis.h"

namespace {

// Decodes the `length` bytes at `bytes` as one character, its UTF-8 (at
// most 7 bytes) at `utf8`, NUL-terminated: returns its bytes' count, or 0
// where they are no character or more than one.
EM_JS(int, DecodeWithTextDecoder, (const unsigned char* bytes, int length, char* utf8), {
  if (Module.shiftJisDecoder === undefined) {
    try {
      Module.shiftJisDecoder = new TextDecoder('shift_jis', { fatal: true });
    } catch (error) {
      Module.shiftJisDecoder = null;
    }
  }
  if (Module.shiftJisDecoder === null) return 0;
  let text;
  try {
    text = Module.shiftJisDecoder.decode(HEAPU8.slice(bytes, bytes + length));
  } catch (error) {
    return 0;
  }
  if (text.length === 0 || String.fromCodePoint(text.codePointAt(0)) !== text) return 0;
  const encoded = new TextEncoder().encode(text);
  if (encoded.length > 7) return 0;
  HEAPU8.set(encoded, utf8);
  HEAPU8[utf8 + encoded.length] = 0;
  return length;
});

}  // namespace

namespace platform {

// A lead byte (0x81 to 0x9F, 0xE0 to 0xFC) takes the byte after it; any
// other byte is a character alone, or none.
int DecodeShiftJis(const unsigned char* bytes, int available, char (&utf8)[8]) {
  if (available < 1) return 0;
  const unsigned char lead = bytes[0];
  const int length = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
  if (length > available) return 0;
  return DecodeWithTextDecoder(bytes, length, utf8);
}

}  // namespace platform
