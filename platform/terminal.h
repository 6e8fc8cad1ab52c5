#ifndef PLATFORM_TERMINAL_H
#define PLATFORM_TERMINAL_H

// Whether a stream is a terminal, one source file per POSIX platform
// (terminal_posix.cpp, terminal_web.cpp), for console_posix.cpp.

#include <cstdio>

namespace d88cut {

bool IsTerminal(std::FILE* stream);

}  // namespace d88cut

#endif  // PLATFORM_TERMINAL_H
