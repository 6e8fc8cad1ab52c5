// Output files on Windows. Names arrive as UTF-8 and go to the system as
// UTF-16; the system's error codes are reported as the errno values that
// name the same reasons, so that messages read as on other systems.

#include <windows.h>

#include <cerrno>
#include <cstddef>

#include "output_file_system.h"

namespace d88cut {
namespace {

constexpr int kMaxWideName = 260;

bool Widen(const char* name, wchar_t (&wide)[kMaxWideName], int* error) {
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wide, kMaxWideName) != 0) {
    return true;
  }
  *error = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ENAMETOOLONG : EINVAL;
  return false;
}

int ErrnoFor(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
      return EINVAL;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    default:
      return EIO;
  }
}

// The temporary file that exists now, for the console handler. The lock
// makes creating or moving it and marking it one step: the handler, which
// runs on a thread of its own, takes the lock and never gives it back, so
// the main thread stops at its next step while the process ends.
SRWLOCK pendingLock = SRWLOCK_INIT;
wchar_t pendingName[kMaxWideName];
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
    if (!WriteFile(file, data + done, static_cast<DWORD>(size - done), &part, nullptr)) {
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

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

bool CheckReplaceable(const char* name, std::int32_t* mode, int* error) {
  *mode = kDefaultMode;  // Windows has no permission bits to carry over
  wchar_t wide[kMaxWideName];
  if (!Widen(name, wide, error)) return false;
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
  wchar_t wide[kMaxWideName];
  if (!Widen(path, wide, error)) return false;
  CatchInterruptions();
  AcquireSRWLockExclusive(&pendingLock);
  // CREATE_NEW fails if the name is taken: the create is exclusive.
  const HANDLE file = CreateFileW(wide, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = ErrnoFor(GetLastError());
    ReleaseSRWLockExclusive(&pendingLock);
    return false;
  }
  for (int i = 0; i < kMaxWideName; ++i) pendingName[i] = wide[i];
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

bool MoveTemporary(const char*, const char* name, int* error) {
  // The temporary file is the pending one, whose UTF-16 name is kept; only
  // the target's needs converting, and if that fails the file still goes.
  wchar_t wideName[kMaxWideName];
  const bool named = Widen(name, wideName, error);
  AcquireSRWLockExclusive(&pendingLock);
  const bool moved =
      named && MoveFileExW(pendingName, wideName, MOVEFILE_REPLACE_EXISTING) != 0;
  if (!moved) {
    if (named) *error = ErrnoFor(GetLastError());
    DeleteFileW(pendingName);
  }
  pendingExists = false;
  ReleaseSRWLockExclusive(&pendingLock);
  return moved;
}

}  // namespace d88cut
