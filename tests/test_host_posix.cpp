// What the POSIX tests ask of their system: a user of another name, a
// full device, a pseudo-terminal.

#include "test_host_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

namespace d88test {

std::function<bool()> AsUser(uid_t uid, gid_t gid) {
  // Groups first, while the child may still change them; setgroups is no
  // part of POSIX, but every system that has users has it.
  return [uid, gid] { return setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0; };
}

bool UserMayWriteIn(uid_t uid, gid_t gid, const std::string& folder) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) _exit(AsUser(uid, gid)() && access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : 1);
  int wstatus = 0;
  return waitpid(child, &wstatus, 0) == child && WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0;
}

const char* FullDevice() {
  // Linux has one; the BSDs and macOS do not.
  return access("/dev/full", W_OK) == 0 ? "/dev/full" : nullptr;
}

TerminalRun RunOnTerminal(std::vector<std::string> command,
                          const std::vector<std::string>& environment, const std::string& cwd,
                          bool errorToPipe) {
  TerminalRun run;
  // The terminal's two sides, by POSIX's own calls; the side the child
  // writes to is opened here, so that a system without one says so before
  // anything starts.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  const char* name = master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0
                         ? ptsname(master)
                         : nullptr;
  const int terminal = name != nullptr ? open(name, O_RDWR | O_NOCTTY) : -1;
  if (terminal < 0) {
    run.reason = std::string("no pseudo-terminal can be had here: ") + std::strerror(errno);
    if (master >= 0) close(master);
    return run;
  }
  // The bytes as written: no line-end conversion, no echo.
  termios settings = {};
  tcgetattr(terminal, &settings);
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | ISIG | IEXTEN);
  tcsetattr(terminal, TCSANOW, &settings);
  int errorEnds[2] = {-1, -1};
  if (errorToPipe && pipe(errorEnds) != 0) {
    run.reason = std::string("no pipe: ") + std::strerror(errno);
    close(terminal);
    close(master);
    return run;
  }
  std::vector<char*> argv;
  for (std::string& word : command) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> assignments = environment;
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    close(master);
    if (dup2(terminal, 0) < 0 || dup2(terminal, 1) < 0 ||
        dup2(errorToPipe ? errorEnds[1] : terminal, 2) < 0) {
      _exit(2);
    }
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"}) {
      unsetenv(variable);
    }
    for (std::string& assignment : assignments) putenv(assignment.data());
    if (chdir(cwd.c_str()) != 0) _exit(2);
    execv(argv[0], argv.data());
    _exit(3);
  }
  close(terminal);
  if (errorToPipe) close(errorEnds[1]);
  run.opened = child > 0;
  if (child < 0) run.reason = std::string("fork failed: ") + std::strerror(errno);
  char part[4096];
  ssize_t got = 0;
  // The terminal's reader learns that its writer is gone from an error.
  while (child > 0 && (got = read(master, part, sizeof part)) > 0) run.written.append(part, part + got);
  close(master);
  if (errorToPipe) {
    while ((got = read(errorEnds[0], part, sizeof part)) > 0) run.error.append(part, part + got);
    close(errorEnds[0]);
  }
  if (child > 0) waitpid(child, nullptr, 0);
  return run;
}

}  // namespace d88test
