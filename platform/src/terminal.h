#ifndef PLATFORM_SRC_TERMINAL_H
#define PLATFORM_SRC_TERMINAL_H

// Whether a stream is a terminal, one source file per POSIX platform
// (terminal_posix.cpp, terminal_web.cpp), for console_portable.cpp.

#include <cstdio>

namespace platform {

bool IsTerminal(std::FILE* stream);

}  // namespace platform

#endif  // PLATFORM_SRC_TERMINAL_H
