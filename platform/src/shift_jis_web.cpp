// Shift_JIS in the browser and under node (Emscripten): not decoded here,
// so that no converter's tables weigh on the page. Names stay their \xHH
// bytes, which the page decodes with the browser's own TextDecoder.

#include "platform/shift_jis.h"

namespace platform {

int DecodeShiftJis(const unsigned char*, int, char (&)[8]) { return 0; }

}  // namespace platform
