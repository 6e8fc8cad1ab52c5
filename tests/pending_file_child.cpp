// For the Windows interrupt test: writes PROG through the writer, as d88cut
// does, and stops inside the write of its temporary file: it says so with a
// file named "ready" beside it, and waits to be interrupted.

#include <windows.h>

#include <cstdio>

#include "output_file_calls_windows.h"
#include "platform/output_file.h"

namespace {

BOOL WINAPI WriteThenWait(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                          LPOVERLAPPED overlapped) {
  const BOOL wrote = WriteFile(file, data, size, written, overlapped);
  std::FILE* ready = std::fopen("ready", "wb");
  if (ready == nullptr) ExitProcess(3);
  std::fclose(ready);
  Sleep(30000);
  return wrote;  // not interrupted: PROG is written, and the test fails
}

}  // namespace

int main() {
  // A program started in a new process group has Ctrl-C turned off; one
  // started as people start it has it on, and so has this one.
  SetConsoleCtrlHandler(nullptr, FALSE);
  platform::outputFileCalls.writeFile = WriteThenWait;
  int error = 0;
  const std::uint8_t data[] = {'n', 'e', 'w'};
  return platform::WriteFileReplacing("PROG", data, 3, &error) ? 0 : 2;
}
