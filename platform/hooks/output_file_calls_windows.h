#ifndef PLATFORM_HOOKS_OUTPUT_FILE_CALLS_WINDOWS_H
#define PLATFORM_HOOKS_OUTPUT_FILE_CALLS_WINDOWS_H

// The write of output_file_windows.cpp, reached through a table. The program
// never changes it; a test replaces the entry to provoke what a real file
// system will not produce on demand (a short write), or to stop a run
// inside a write, and puts it back.

#include <windows.h>

namespace platform {

struct OutputFileCalls {
  BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                          LPOVERLAPPED overlapped);
};
extern OutputFileCalls outputFileCalls;

}  // namespace platform

#endif  // PLATFORM_HOOKS_OUTPUT_FILE_CALLS_WINDOWS_H
