// Folders on Windows.

#include <windows.h>

#include <cerrno>

#include "errno_windows.h"
#include "platform/folder.h"
#include "utf16_windows.h"

namespace platform {

bool MakeFolder(const char* path, int* error) {
  static wchar_t wide[windows::kMaxWidePath];
  if (!windows::Widen(path, wide, windows::kMaxWidePath, error)) return false;
  if (CreateDirectoryW(wide, nullptr)) return true;
  const DWORD code = GetLastError();
  if (code != ERROR_ALREADY_EXISTS) {
    *error = windows::ErrnoFor(code);
    return false;
  }
  // A junction or a link is no folder of the run's own: it may lead out.
  const DWORD attributes = GetFileAttributesW(wide);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return true;
  }
  *error = (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
               ? ELOOP
               : ENOTDIR;
  return false;
}

}  // namespace platform
