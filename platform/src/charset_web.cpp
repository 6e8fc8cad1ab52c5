// The character set in the browser and under node (Emscripten): UTF-8,
// which is what the page reads the tools' output as. Nothing is converted,
// so that no converter's tables weigh on the page.

#include "user_locale.h"

namespace platform {

Charset StreamCharset() { return Charset::kUtf8; }

const char* WordsForStream(const char* words) { return words; }

const char* LineForStream(const char* line) { return line; }

}  // namespace platform
