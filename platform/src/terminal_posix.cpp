// Terminals on POSIX systems.

#include <unistd.h>

#include "terminal.h"

namespace platform {

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

}  // namespace platform
