// The streams in the browser and under node (Emscripten). The runtime
// cannot tell a terminal from a pipe (every standard stream reads as a
// terminal), and the page decodes what it is given itself: the bytes go
// out as they are, as to a pipe.

#include <cstdio>

#include "console.h"

namespace d88cut {

bool ShowsText(std::FILE*) { return false; }

bool WriteText(std::FILE* stream, const char* text) {
  return std::fputs(text, stream) >= 0 && std::fflush(stream) == 0;
}

void KeepWindowOpenIfAlone(bool) {}

}  // namespace d88cut
