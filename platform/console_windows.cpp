// The console on Windows. Text goes to a console as UTF-16 through the
// console itself, so that it shows whatever the console's code page.

#include <windows.h>

#include <tlhelp32.h>

#include <cerrno>
#include <cstdio>

#include "console.h"
#include "errno_windows.h"

namespace d88cut {
namespace {

// A message, or a folder's path with a sentence around it.
constexpr int kMaxText = 32768 + 256;
wchar_t wideText[kMaxText];

HANDLE HandleOf(std::FILE* stream) {
  return GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

bool WriteWide(HANDLE console, const wchar_t* text, int length) {
  while (length > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(console, text, static_cast<DWORD>(length), &written, nullptr) ||
        written == 0) {
      errno = ErrnoFor(GetLastError());
      return false;
    }
    text += written;
    length -= static_cast<int>(written);
  }
  return true;
}

// Under Wine a console that lists this process alone is the terminal Wine
// was started from, which is the user's own and stays open.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Whether Explorer started this process (a double-click, a drop, a
// shortcut), rather than a service, a scheduled task or another program
// that may not be watching the window.
bool StartedByExplorer() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && parent == 0;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  }
  bool explorer = false;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && parent != 0 && !explorer;
       more = Process32NextW(snapshot, &entry)) {
    explorer = entry.th32ProcessID == parent && lstrcmpiW(entry.szExeFile, L"explorer.exe") == 0;
  }
  CloseHandle(snapshot);
  return explorer;
}

}  // namespace

bool ShowsText(std::FILE* stream) { return IsConsole(HandleOf(stream)); }

bool WriteText(std::FILE* stream, const char* text) {
  std::fflush(stream);  // what the C run-time holds goes out first
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, wideText, kMaxText);
  if (length == 0) {
    errno = EINVAL;
    return false;
  }
  return WriteWide(HandleOf(stream), wideText, length - 1);
}

void KeepWindowOpenIfAlone(bool filesWritten) {
  // The window is this run's alone, a person sees it, every stream is its
  // console, and Explorer opened it: nothing else would ever press Enter.
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1 || UnderWine()) return;
  const HWND window = GetConsoleWindow();
  if (window == nullptr || !IsWindowVisible(window)) return;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!IsConsole(input) || !IsConsole(output) || !IsConsole(GetStdHandle(STD_ERROR_HANDLE)) ||
      !StartedByExplorer()) {
    return;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  if (filesWritten) {
    // Explorer starts a program that an image is dropped on in the image's
    // folder: the person is told where the files went.
    constexpr wchar_t kWritten[] = L"The files were written in ";
    constexpr int kWrittenLength = sizeof kWritten / sizeof kWritten[0] - 1;
    const DWORD room = kMaxText - kWrittenLength - 2;
    const DWORD length = GetCurrentDirectoryW(room, wideText + kWrittenLength);
    if (length > 0 && length < room) {
      for (int i = 0; i < kWrittenLength; ++i) wideText[i] = kWritten[i];
      wideText[kWrittenLength + length] = L'.';
      wideText[kWrittenLength + length + 1] = L'\n';
      WriteWide(output, wideText, kWrittenLength + static_cast<int>(length) + 2);
    }
  }
  constexpr wchar_t kPressEnter[] = L"Press Enter to close this window.\n";
  WriteWide(output, kPressEnter, sizeof kPressEnter / sizeof kPressEnter[0] - 1);
  // A line is read in full: a key typed before Enter does not end the wait.
  wchar_t line[256];
  DWORD got = 0;
  while (ReadConsoleW(input, line, 256, &got, nullptr) && got > 0) {
    if (line[got - 1] == L'\n' || line[got - 1] == L'\r') break;
  }
}

}  // namespace d88cut
