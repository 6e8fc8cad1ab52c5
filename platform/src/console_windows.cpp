// The console on Windows. Text goes to a console as UTF-16 through the
// console itself, so that it shows whatever the console's code page.

#include <windows.h>

#include <tlhelp32.h>

#include <cerrno>
#include <cstdio>

#include "console_text.h"
#include "errno_windows.h"
#include "platform/console.h"
#include "platform/translation.h"
#include "utf16_windows.h"

namespace platform {
namespace {

// A line of a tool's output: words around a path as long as any (UTF-8
// takes at least as many bytes as UTF-16 takes units).
constexpr int kMaxText = 3 * windows::kMaxWidePath + 1024;
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
      errno = windows::ErrnoFor(GetLastError());
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

bool WriteText(std::FILE* stream, const char* text, bool) {
  std::fflush(stream);  // what the C run-time holds goes out first
  // What is no UTF-8 (a name from the system in another code page) shows
  // as U+FFFD rather than losing the line.
  int error = 0;
  if (!windows::Widen(text, wideText, kMaxText, &error, true)) {
    errno = error;
    return false;
  }
  return WriteWide(HandleOf(stream), wideText, lstrlenW(wideText));
}

void KeepWindowOpenIfAlone(const char* writtenIn, const char* pressEnter) {
  // The window is this run's alone, a person sees it, every stream is its
  // console, and Explorer opened it: nothing else would ever press Enter.
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1 || UnderWine()) return;
  const HWND window = GetConsoleWindow();
  if (window == nullptr || !IsWindowVisible(window)) return;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (!IsConsole(input) || !IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)) ||
      !IsConsole(GetStdHandle(STD_ERROR_HANDLE)) || !StartedByExplorer()) {
    return;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  if (writtenIn != nullptr) {
    // Explorer starts a program that an image is dropped on in the image's
    // folder: the person is told where the files went.
    static wchar_t folder[windows::kMaxWidePath];
    static char folderText[3 * windows::kMaxWidePath];
    static char sentence[3 * windows::kMaxWidePath + 1024];
    const DWORD length = GetCurrentDirectoryW(windows::kMaxWidePath, folder);
    if (length > 0 && length < windows::kMaxWidePath &&
        windows::Narrow(folder, folderText, sizeof folderText) > 0) {
      std::snprintf(sentence, sizeof sentence, Say(writtenIn), folderText);
      WriteText(stdout, sentence);
    }
  }
  WriteText(stdout, Say(pressEnter));
  // A line is read in full: a key typed before Enter does not end the wait.
  wchar_t line[256];
  DWORD got = 0;
  while (ReadConsoleW(input, line, 256, &got, nullptr) && got > 0) {
    if (line[got - 1] == L'\n' || line[got - 1] == L'\r') break;
  }
}

}  // namespace platform
