// For the Windows interrupt test: makes a temporary file through the
// writer, as d88cut does while it writes a block, says so with a file
// named "ready" beside it, and waits to be interrupted.

#include <windows.h>

#include <cstdio>

#include "output_file_system.h"

int main() {
  // A program started in a new process group has Ctrl-C turned off; one
  // started as people start it has it on, and so has this one.
  SetConsoleCtrlHandler(nullptr, FALSE);
  int error = 0;
  const std::uint8_t data[] = {'n', 'e', 'w'};
  if (!d88cut::CreateTemporary(".PROG.1.0", d88cut::kDefaultMode, data, 3, &error)) return 2;
  std::FILE* ready = std::fopen("ready", "wb");
  if (ready == nullptr) return 3;
  std::fclose(ready);
  Sleep(30000);
  return 0;  // not interrupted: the temporary file stays, and the test fails
}
