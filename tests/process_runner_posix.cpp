// Runs a program for the tests, and sets process limits, on POSIX systems.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <initializer_list>
#include <stdexcept>

#include "test_host_posix.h"
#include "test_support.h"

namespace d88test {

namespace {

// Waits for `child`, killing it once `seconds` (if not 0) have passed.
int WaitFor(pid_t child, int seconds) {
  int wstatus = 0;
  const timespec pause = {0, 10 * 1000 * 1000};
  for (long waited = 0; seconds == 0 || waited < 100L * seconds; ++waited) {
    const pid_t ended = waitpid(child, &wstatus, seconds == 0 ? 0 : WNOHANG);
    if (ended == child) return wstatus;
    if (ended < 0) throw std::runtime_error("waitpid failed");
    nanosleep(&pause, nullptr);
  }
  kill(child, SIGKILL);
  if (waitpid(child, &wstatus, 0) != child) throw std::runtime_error("waitpid failed");
  return wstatus;
}

}  // namespace

RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::string& cwd, const std::vector<std::string>& environment) {
  return RunWith({}, program, args, cwd, environment);
}

RunResult RunWith(const ChildOptions& options, const std::string& program,
                  const std::vector<std::string>& args, const std::string& cwd,
                  const std::vector<std::string>& environment) {
  TempDir capture;
  const std::string outPath = capture / "out";
  const std::string errPath = capture / "err";
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0) {
      _exit(127);
    }
    // The language and character set are the test's, never the runner's.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"}) {
      unsetenv(name);
    }
    if (environment.empty()) setenv("LC_ALL", "C", 1);
    for (const std::string& assignment : environment) {
      putenv(const_cast<char*>(assignment.c_str()));
    }
    if (options.setUp && !options.setUp()) _exit(127);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  const int wstatus = WaitFor(child, options.timeLimitSeconds);
  RunResult result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  const Bytes out = ReadFile(outPath);
  const Bytes err = ReadFile(errPath);
  result.out.assign(out.begin(), out.end());
  result.err.assign(err.begin(), err.end());
  return result;
}

std::string AsPiped(const std::string& utf8) { return utf8; }
bool PipesCarryUtf8() { return true; }

std::string HostProgram(const std::string& name) {
  const std::string path = "/usr/bin/" + name;
  return access(path.c_str(), X_OK) == 0 ? path : "";
}

int SetOpenFileLimit(int limit) {
  rlimit saved{};
  if (getrlimit(RLIMIT_NOFILE, &saved) != 0) return -1;
  rlimit changed = saved;
  changed.rlim_cur = static_cast<rlim_t>(limit);
  if (setrlimit(RLIMIT_NOFILE, &changed) != 0) return -1;
  return static_cast<int>(saved.rlim_cur);
}

int ProcessId() { return static_cast<int>(getpid()); }

}  // namespace d88test
