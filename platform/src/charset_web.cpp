// The character set in the browser and under node (Emscripten): UTF-8,
// which is what the page reads the tools' output as. Nothing is converted,
// so that no converter's tables weigh on the page.

#include <cstring>

#include "user_locale.h"

namespace platform {

Charset StreamCharset() { return Charset::kUtf8; }

bool ConvertForStream(const char* text, char* out, int capacity) {
  const std::size_t length = std::strlen(text);
  if (capacity <= 0 || length >= static_cast<std::size_t>(capacity)) return false;
  std::memcpy(out, text, length + 1);
  return true;
}

}  // namespace platform
