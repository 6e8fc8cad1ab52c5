// Terminals on POSIX systems.

#include <unistd.h>

#include "terminal.h"

namespace d88cut {

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

}  // namespace d88cut
