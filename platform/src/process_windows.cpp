// The process on Windows.

#include <windows.h>

#include <shellapi.h>

#include "platform/process.h"
#include "utf16_windows.h"

namespace platform {
namespace {

// A command line holds at most 32,767 UTF-16 units, as a path does, and so
// at most 16,384 arguments; each unit takes at most 3 bytes in UTF-8.
constexpr int kMaxArguments = windows::kMaxWidePath / 2 + 1;
char utf8Text[3 * windows::kMaxWidePath + kMaxArguments];
char* utf8Arguments[kMaxArguments + 1];

}  // namespace

void PrepareProcess() {
  // Handles are not numbered as descriptors are, so a closed standard
  // handle is not taken over by a file, and writing to it fails as it is.
}

void TreatClosedPipeAsWriteError() {
  // A write to a closed pipe fails here as it is; nothing ends the process.
}

char** Utf8Arguments(int argc, char** argv, int* count) {
  *count = argc;
  int wideCount = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
  if (wide == nullptr) return argv;
  int used = 0;
  int k = 0;
  for (; k < wideCount && k < kMaxArguments; ++k) {
    const int room = static_cast<int>(sizeof utf8Text) - used;
    const int length = windows::Narrow(wide[k], utf8Text + used, room);
    if (length == 0) break;
    utf8Arguments[k] = utf8Text + used;
    used += length;
  }
  LocalFree(wide);
  if (k != wideCount) return argv;
  utf8Arguments[k] = nullptr;
  *count = k;
  return utf8Arguments;
}

}  // namespace platform
