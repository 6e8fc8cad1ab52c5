// Output files on POSIX systems.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstddef>

#include "output_file_calls_posix.h"
#include "output_file_system.h"
#include "file_permissions.h"

namespace platform {
namespace {

int OpenFile(const char* path, int flags, mode_t mode) { return open(path, flags, mode); }

// The signals that end a run early: Ctrl-C, kill's default, a closed terminal.
constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file that exists now, if `pendingExists` is set, for the
// handler to remove.
constexpr std::size_t kMaxPendingName = 4096;
char pendingName[kMaxPendingName];
volatile std::sig_atomic_t pendingExists = 0;

extern "C" void RemovePendingAndStop(int signal) {
  // Only async-signal-safe calls here. The handler was reset to the default
  // action on entry (SA_RESETHAND) and the signal is blocked while it runs,
  // so raising it again ends the process by that signal once this returns.
  if (pendingExists) unlink(pendingName);
  raise(signal);
}

// Installed before the first temporary file exists; a signal that the run
// was started with ignored (as nohup does) stays ignored.
void CatchInterruptions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action = {};
  action.sa_handler = RemovePendingAndStop;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (const int signal : kInterruptions) {
    struct sigaction old = {};
    if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
      sigaction(signal, &action, nullptr);
    }
  }
}

// Blocks the interruptions and keeps the mask found in `*found`, to be put
// back as it was: a signal the run was started with blocked stays blocked.
void BlockInterruptions(sigset_t* found) {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kInterruptions) sigaddset(&set, signal);
  sigprocmask(SIG_BLOCK, &set, found);
}

// Creates the file and marks it pending in one step as far as the handler
// can tell, so that no interruption finds it created but not marked. It is
// created for its owner alone, so that nobody else can open it while it is
// written, whatever bits it gets in the end.
int CreatePending(const char* path, int* error) {
  std::size_t length = 0;
  while (path[length] != '\0' && length + 1 < kMaxPendingName) ++length;
  if (path[length] != '\0') {
    *error = ENAMETOOLONG;
    return -1;
  }
  sigset_t found;
  BlockInterruptions(&found);
  const int fd = outputFileCalls.open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) {
    for (std::size_t i = 0; i <= length; ++i) pendingName[i] = path[i];
    pendingExists = 1;
  } else {
    *error = errno;
  }
  sigprocmask(SIG_SETMASK, &found, nullptr);
  return fd;
}

bool WriteAll(int fd, const std::uint8_t* data, std::int32_t size, int* error) {
  std::int32_t done = 0;
  while (done < size) {
    const ssize_t part =
        outputFileCalls.write(fd, data + done, static_cast<std::size_t>(size - done));
    if (part < 0 && errno == EINTR) continue;
    if (part <= 0) {
      *error = part < 0 ? errno : ENOSPC;
      return false;
    }
    done += static_cast<std::int32_t>(part);
  }
  return true;
}

void RemovePending(const char* path) {
  unlink(path);
  pendingExists = 0;
}

}  // namespace

OutputFileCalls outputFileCalls = {OpenFile, write, fchmod};

int ProcessId() { return static_cast<int>(getpid()); }

bool IsSeparator(char c) { return c == '/'; }

bool CheckReplaceable(const char* name, std::int32_t* mode, int* error) {
  *mode = kDefaultMode;
  struct stat status;
  if (lstat(name, &status) != 0) {
    if (errno == ENOENT) return true;
    *error = errno;
    return false;
  }
  if (S_ISDIR(status.st_mode)) {
    *error = EISDIR;
    return false;
  }
  if (!S_ISREG(status.st_mode)) return true;  // a link or a node: replaced itself
  // Truncating the file would be refused, so replacing it is too.
  if (!CallerMayWrite(name, error)) return false;
  *mode = static_cast<std::int32_t>(status.st_mode & 0777);
  return true;
}

bool CreateTemporary(const char* path, std::int32_t mode, const std::uint8_t* data,
                     std::int32_t size, int* error) {
  CatchInterruptions();
  const mode_t finalMode = mode == kDefaultMode ? NewFileMode() : static_cast<mode_t>(mode);
  const int fd = CreatePending(path, error);
  if (fd < 0) return false;
  bool written = WriteAll(fd, data, size, error);
  // The file takes its final bits before it takes the name. A file system
  // that cannot hold them (FAT) refuses with EPERM, and its files show the
  // bits it was mounted with, whatever is asked: that is no failure.
  if (written && outputFileCalls.fchmod(fd, finalMode) != 0 && errno != EPERM) {
    *error = errno;
    written = false;
  }
  // Some file systems report a failed write only when the file is closed.
  if (close(fd) != 0 && written) {
    *error = errno;
    written = false;
  }
  if (!written) RemovePending(path);
  return written;
}

bool MoveTemporary(const char* path, const char* name, int* error) {
  if (std::rename(path, name) == 0) {
    pendingExists = 0;
    return true;
  }
  *error = errno;
  RemovePending(path);
  return false;
}

}  // namespace platform
