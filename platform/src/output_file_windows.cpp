// Output files on Windows. Names arrive as UTF-8 and go to the system as
// UTF-16; the system's error codes are reported as errno values.

#include <windows.h>

#include <cerrno>
#include <cstddef>

#include "errno_windows.h"
#include "output_file_calls_windows.h"
#include "output_file_system.h"
#include "utf16_windows.h"

namespace platform {
namespace {

using windows::ErrnoFor;

// A name as the system takes it. The tools have one thread, and each call
// converts into buffers of its own.
using WideName = wchar_t[windows::kMaxWidePath];

bool WidenName(const char* name, WideName& wide, int* error) {
  return windows::Widen(name, wide, windows::kMaxWidePath, error);
}

// The temporary file that exists now, for the console handler. The lock
// makes creating or moving it and marking it one step: the handler, which
// runs on a thread of its own, takes the lock and never gives it back, so
// the main thread stops at its next step while the process ends.
SRWLOCK pendingLock = SRWLOCK_INIT;
WideName pendingName;
bool pendingExists = false;

BOOL WINAPI RemovePendingAndStop(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      break;
    default:
      return FALSE;
  }
  AcquireSRWLockExclusive(&pendingLock);
  // The main thread may still hold the file open; it was opened to allow
  // this, and goes when the process closes it.
  if (pendingExists) DeleteFileW(pendingName);
  // What the default handler does: end with the status of an interruption.
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

void CatchInterruptions() {
  static bool installed = false;
  if (!installed) installed = SetConsoleCtrlHandler(RemovePendingAndStop, TRUE) != 0;
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::int32_t size, int* error) {
  std::int32_t done = 0;
  while (done < size) {
    DWORD part = 0;
    if (!outputFileCalls.writeFile(file, data + done, static_cast<DWORD>(size - done), &part,
                                   nullptr)) {
      *error = ErrnoFor(GetLastError());
      return false;
    }
    if (part == 0) {
      *error = ENOSPC;
      return false;
    }
    done += static_cast<std::int32_t>(part);
  }
  return true;
}

}  // namespace

OutputFileCalls outputFileCalls = {WriteFile};

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool CheckReplaceable(const char* name, std::int32_t* mode, int* error) {
  *mode = kDefaultMode;  // Windows has no permission bits to carry over
  static WideName wide;
  if (!WidenName(name, wide, error)) return false;
  const DWORD attributes = GetFileAttributesW(wide);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;
    *error = ErrnoFor(code);
    return false;
  }
  // A symbolic link is replaced itself, whatever it points to.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *error = EISDIR;
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    *error = EACCES;
    return false;
  }
  return true;
}

bool CreateTemporary(const char* path, std::int32_t, const std::uint8_t* data, std::int32_t size,
                     int* error) {
  static WideName wide;
  if (!WidenName(path, wide, error)) return false;
  CatchInterruptions();
  AcquireSRWLockExclusive(&pendingLock);
  // CREATE_NEW fails if the name is taken: the create is exclusive.
  const HANDLE file = CreateFileW(wide, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    // A name taken by a folder is refused as ACCESS_DENIED, not as taken:
    // whatever stands there, the name is taken and the next one is tried.
    const DWORD code = GetLastError();
    *error = GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES ? EEXIST : ErrnoFor(code);
    ReleaseSRWLockExclusive(&pendingLock);
    return false;
  }
  for (int i = 0; i < windows::kMaxWidePath && (i == 0 || wide[i - 1] != L'\0'); ++i) {
    pendingName[i] = wide[i];
  }
  pendingExists = true;
  ReleaseSRWLockExclusive(&pendingLock);

  bool written = WriteAll(file, data, size, error);
  if (!CloseHandle(file) && written) {
    *error = ErrnoFor(GetLastError());
    written = false;
  }
  if (!written) {
    AcquireSRWLockExclusive(&pendingLock);
    DeleteFileW(wide);
    pendingExists = false;
    ReleaseSRWLockExclusive(&pendingLock);
  }
  return written;
}

bool MoveTemporary(const char* path, const char* name, int* error) {
  static WideName widePath;
  static WideName wideName;
  // CreateTemporary makes no file from a name that cannot be converted.
  if (!WidenName(path, widePath, error)) return false;
  const bool named = WidenName(name, wideName, error);
  AcquireSRWLockExclusive(&pendingLock);
  const bool moved = named && MoveFileExW(widePath, wideName, MOVEFILE_REPLACE_EXISTING) != 0;
  if (!moved) {
    if (named) *error = ErrnoFor(GetLastError());
    DeleteFileW(widePath);
  }
  pendingExists = false;
  ReleaseSRWLockExclusive(&pendingLock);
  return moved;
}

}  // namespace platform
