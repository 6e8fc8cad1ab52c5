#ifndef TESTS_TEST_HOST_POSIX_H
#define TESTS_TEST_HOST_POSIX_H

// What the POSIX tests ask of their system beyond running a program, in
// one place, each with the way round it or a reason to skip where a system
// lacks it: a port to another system starts here.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace d88test {

// Programs the tests run, by the paths every POSIX system we know puts them.
constexpr char kShell[] = "/bin/sh";
constexpr char kIconv[] = "/usr/bin/iconv";

// How a child is started: `setUp` runs in it before the program does (false
// ends it with status 127), and a child still running after
// `timeLimitSeconds` (if not 0) is killed, so that a run that waits shows
// as one that did not exit (status -1).
struct ChildOptions {
  std::function<bool()> setUp;
  int timeLimitSeconds = 0;
};
RunResult RunWith(const ChildOptions& options, const std::string& program,
                  const std::vector<std::string>& args, const std::string& cwd,
                  const std::vector<std::string>& environment = {});

// A set-up that makes the child user `uid` and group `gid` alone, as root
// can; and whether that user may write in `folder`.
std::function<bool()> AsUser(uid_t uid, gid_t gid);
bool UserMayWriteIn(uid_t uid, gid_t gid, const std::string& folder);

// A device on which every write fails for want of space ("/dev/full"), or
// nullptr on a system that has none.
const char* FullDevice();

// What `command` wrote on a pseudo-terminal of its own, which is its
// standard output and, unless `errorToPipe`, its standard error too (else
// that goes to a pipe, kept in `error`), with its language and character
// set from `environment` ("NAME=value" each) alone, started in `cwd`. Where
// no pseudo-terminal can be had (a build chroot without /dev/pts), `opened`
// is false and `reason` says why.
struct TerminalRun {
  bool opened = false;
  std::string reason;
  std::string written;
  std::string error;
};
TerminalRun RunOnTerminal(std::vector<std::string> command,
                          const std::vector<std::string>& environment, const std::string& cwd,
                          bool errorToPipe = false);

}  // namespace d88test

#endif  // TESTS_TEST_HOST_POSIX_H
