// d88cut and d88ls at the edges of the process on POSIX systems: what they
// are given in place of an image or an output, lost output, limits and
// signals. Shells and the test's own children set the scene; the tools run
// as they are. What the tests ask of the system beyond POSIX is in
// test_host_posix.h.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "d88image/d88image.h"
#include "image_file_calls_posix.h"
#include "output_file_calls_posix.h"
#include "platform/output_file.h"
#include "platform/process.h"
#include "platform/tool_output.h"
#include "test_host_posix.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::kOpenFailure;
using d88test::RunResult;
using d88test::TempDir;

const std::vector<std::string> kAllFiles = d88test::AllBlockFiles();

Bytes MarkedImage() { return d88test::MarkedDisk().Build(); }

// An argument vector for execv, over `words`, which must outlive it.
std::vector<char*> Argv(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return argv;
}

int ModeOf(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 0777) : -1;
}

class ProcessEdgesTest : public ::testing::Test {
 protected:
  // Runs `tool` on the image through `sh -c SCRIPT`, in which "$@" is the
  // tool's command line.
  RunResult RunThroughShell(const std::string& tool, const std::string& script,
                            const std::string& image) {
    return Run({d88test::kShell, "-c", script, "sh"}, tool, {image});
  }
  // Runs `command`, then the tool's words, then `args`, in the work folder,
  // the child set up by `options`.
  RunResult Run(std::vector<std::string> command, const std::string& tool,
                const std::vector<std::string>& args, const d88test::ChildOptions& options = {}) {
    for (const std::string& word : d88test::ToolCommand(tool)) command.push_back(word);
    command.insert(command.end(), args.begin(), args.end());
    return d88test::RunWith(options, command.front(), command, work_.path());
  }
  std::string Image() const { return images_.Write("image.d88", MarkedImage()); }
  std::vector<std::string> Files() const { return d88test::FilesIn(work_.path()); }

  TempDir images_;
  TempDir work_;
};

TEST_F(ProcessEdgesTest, OnlyARegularFileIsOpenedAndNothingWaits) {
  const std::string fifo = images_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // A socket, which no open can open.
  const std::string socketPath = images_ / "socket";
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const struct {
    std::string path;
    const char* kind;
  } notFiles[] = {{fifo, "a FIFO"},
                  {socketPath, "a socket"},
                  {"/dev/null", "a device"},
                  {"/dev/zero", "a device"}};
  // A run that blocks is killed after 10 s, and so fails the test.
  d88test::ChildOptions limited;
  limited.timeLimitSeconds = 10;
  for (const auto& notFile : notFiles) {
    const RunResult cut = Run({}, D88CUT_PATH, {notFile.path}, limited);
    EXPECT_EQ(cut.status, 1) << notFile.path;
    EXPECT_EQ(cut.err, kOpenFailure);
    const RunResult list = Run({}, D88LS_PATH, {notFile.path}, limited);
    EXPECT_EQ(list.status, 1) << notFile.path;
    EXPECT_EQ(list.err, "d88ls: " + notFile.path + ": not a regular file (" + notFile.kind + ")\n");
  }
  close(listening);
  EXPECT_TRUE(Files().empty());
}

// Standard output and standard error into one file read in the order
// things happened: what the listing printed before an error stands before
// it. A name longer than any line is cut, not written past.
TEST_F(ProcessEdgesTest, BothStreamsInOneFileKeepTheirOrder) {
  const std::string image = Image();
  const RunResult both = Run({d88test::kShell, "-c", "exec \"$@\" 2>&1", "sh"}, D88LS_PATH,
                             {image, images_ / "missing.d88"});
  const std::string error = "d88ls: cannot open " + images_ / "missing.d88";
  ASSERT_NE(both.out.find(error), std::string::npos) << both.out;
  EXPECT_LT(both.out.find("  block"), both.out.find(error));
  const std::string longName(120000, 'x');
  const RunResult longer = d88test::RunTool(D88LS_PATH, {"d88ls", longName}, work_.path());
  EXPECT_EQ(longer.status, 1);
  EXPECT_EQ(longer.err.substr(0, 24), "d88ls: cannot open xxxxx");
  EXPECT_LT(longer.err.size(), longName.size());
}

TEST_F(ProcessEdgesTest, LostStandardOutputIsAFailureAndTheFilesStay) {
  const std::string image = Image();
  struct Case {
    std::string script;
    const char* reason;
  };
  std::vector<Case> cases = {{"exec \"$@\" >&-", "Bad file descriptor"}};
  // Where the system has a full device (not the BSDs, nor macOS).
  if (const char* full = d88test::FullDevice()) {
    cases.push_back({std::string("exec \"$@\" >") + full, "No space left on device"});
  }
  for (const auto& lost : cases) {
    const RunResult cut = RunThroughShell(D88CUT_PATH, lost.script, image);
    EXPECT_EQ(cut.status, 1) << lost.script;
    EXPECT_EQ(cut.err, std::string("d88cut: write error: ") + lost.reason + "\n");
    EXPECT_EQ(Files(), kAllFiles);
    const RunResult list = RunThroughShell(D88LS_PATH, lost.script, image);
    EXPECT_EQ(list.status, 1) << lost.script;
    EXPECT_EQ(list.err, std::string("d88ls: write error: ") + lost.reason + "\n");
  }
  // In the user's language, as every error is.
  const RunResult japanese =
      RunThroughShell(D88LS_PATH, "LC_ALL=ja_JP.UTF-8 exec \"$@\" >&-", image);
  const std::string said = "d88ls: 書き込みエラー: ";
  EXPECT_EQ(japanese.err.substr(0, said.size()), said);
}

TEST_F(ProcessEdgesTest, FileSizeLimitFailsTheWriteOnly) {
  d88test::WriteFile(work_ / "PROG", {'o', 'l', 'd'});
  const RunResult result = RunThroughShell(D88CUT_PATH, "ulimit -f 8; exec \"$@\"", Image());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "d88cut: cannot write PROG: File too large\n");
  EXPECT_EQ(d88test::ReadFile(work_ / "PROG"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(Files(), kAllFiles);
}

// As a user other than root, for whom the permission bits bind. Four
// blocks' files stand in the way: one read-only, one private, one a hard
// link's other name, and one not there at all.
TEST_F(ProcessEdgesTest, ReplacingKeepsTheOldModeAndRefusesAReadOnlyFile) {
  const std::string readOnly = d88test::kExpectedBlocks[0].name;
  const d88test::ExpectedBlock& privateBlock = d88test::kExpectedBlocks[1];
  const std::string linked = d88test::kExpectedBlocks[2].name;
  const std::string fresh = d88test::kExpectedBlocks[3].name;
  std::filesystem::permissions(work_.path(), std::filesystem::perms::all);
  const std::string image = work_.Write("image.d88", MarkedImage());
  for (const std::string& name : {readOnly, std::string(privateBlock.name), std::string("other-name")}) {
    d88test::WriteFile(work_ / name, {'o', 'l', 'd'});
  }
  std::filesystem::remove(work_ / linked);
  std::filesystem::remove(work_ / fresh);
  ASSERT_EQ(link((work_ / "other-name").c_str(), (work_ / linked).c_str()), 0);
  ASSERT_EQ(chmod((work_ / readOnly).c_str(), 0444), 0);
  ASSERT_EQ(chmod((work_ / privateBlock.name).c_str(), 0600), 0);
  ASSERT_EQ(chmod((work_ / "other-name").c_str(), 0666), 0);
  const bool root = geteuid() == 0;
  const uid_t nobody = 65534;
  if (root && !d88test::UserMayWriteIn(nobody, nobody, work_.path())) {
    GTEST_SKIP() << "user 65534 cannot reach " << work_.path();
  }
  for (const std::string& name : {readOnly, std::string(privateBlock.name), std::string("other-name")}) {
    ASSERT_TRUE(!root || chown((work_ / name).c_str(), nobody, nobody) == 0);
  }
  d88test::ChildOptions asNobody;
  if (root) asNobody.setUp = d88test::AsUser(nobody, nobody);
  const RunResult result = Run({}, D88CUT_PATH, {image}, asNobody);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "d88cut: cannot write " + readOnly + ": Permission denied\n");
  EXPECT_EQ(d88test::ReadFile(work_ / readOnly), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ModeOf(work_ / readOnly), 0444);
  EXPECT_EQ(d88test::ReadFile(work_ / privateBlock.name), d88test::ExpectedBytes(privateBlock));
  EXPECT_EQ(ModeOf(work_ / privateBlock.name), 0600);
  EXPECT_EQ(ModeOf(work_ / linked), 0666);
  // A new file gets what any new file gets.
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(ModeOf(work_ / fresh), static_cast<int>(0666 & ~mask));
  // The other name of a hard link keeps the old contents.
  EXPECT_EQ(d88test::ReadFile(work_ / "other-name"), (Bytes{'o', 'l', 'd'}));
}

// The reader of standard output is gone before the tool writes: d88cut,
// whose job is the files, still cuts every block and reports the lost
// output; d88ls, whose job is its output, ends quietly by SIGPIPE, unless
// the run was started with SIGPIPE ignored.
TEST_F(ProcessEdgesTest, ClosedPipeIsAWriteErrorForD88cutOnly) {
  const std::string sync = images_ / "sync";
  ASSERT_EQ(mkfifo(sync.c_str(), 0600), 0);
  // The tool starts once the other side of the pipe has closed it.
  const std::string script = "{ read _ <'" + sync + "'; \"$@\"; echo \"status $?\" >&2; } | " +
                             "{ exec <&-; echo >'" + sync + "'; }";
  const RunResult cut = RunThroughShell(D88CUT_PATH, script, Image());
  EXPECT_EQ(cut.err, "d88cut: write error: Broken pipe\nstatus 1\n");
  EXPECT_EQ(Files(), kAllFiles);
  struct sigaction inherited = {};
  ASSERT_EQ(sigaction(SIGPIPE, nullptr, &inherited), 0);
  EXPECT_EQ(RunThroughShell(D88LS_PATH, script, Image()).err,
            inherited.sa_handler == SIG_IGN ? "d88ls: write error: Broken pipe\nstatus 1\n"
                                            : "status 141\n");
}

// A parent may start the run with a signal blocked, and one pending: it
// stays blocked to the end, as for any program, and the run completes.
TEST_F(ProcessEdgesTest, SignalBlockedByTheParentStaysBlocked) {
  std::vector<std::string> command = d88test::ToolCommand(D88CUT_PATH);
  command.push_back(Image());
  std::vector<char*> argv = Argv(command);
  const std::string work = work_.path();
  const auto startBlocked = [&argv, &work] {
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    sigprocmask(SIG_BLOCK, &term, nullptr);
    raise(SIGTERM);
    if (chdir(work.c_str()) != 0 || std::freopen("/dev/null", "w", stdout) == nullptr) _exit(2);
    execv(argv[0], argv.data());
    _exit(3);
  };
  EXPECT_EXIT(startBlocked(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(Files(), kAllFiles);
}

// A descriptor closed at start is opened on the null device, so that no
// file the run opens takes its number, nor what is written to it; and a
// file written while descriptor 0 is free takes that number and is whole.
TEST_F(ProcessEdgesTest, ClosedStandardDescriptorsStayUnusable) {
  const std::string folder = work_.path();
  const auto writeWithInputClosed = [&folder] {
    close(0);
    int error = 0;
    const std::uint8_t data[] = {'n', 'e', 'w'};
    const bool written = chdir(folder.c_str()) == 0 &&
                         platform::WriteFileReplacing("zero", data, 3, &error) &&
                         d88test::ReadFile("zero") == Bytes{'n', 'e', 'w'};
    _exit(written ? 0 : 1);
  };
  EXPECT_EXIT(writeWithInputClosed(), ::testing::ExitedWithCode(0), "");
  for (const int fd : {0, 1, 2}) {
    const auto closeThenPrepare = [fd] {
      close(fd);
      platform::PrepareProcess();
      char byte = 'x';
      const bool unusable = (fd == 0 ? read(0, &byte, 1) : write(fd, &byte, 1)) < 0;
      const int next = open("/dev/null", O_RDONLY);
      _exit(unusable && errno == EBADF && next != fd ? 0 : 1);
    };
    EXPECT_EXIT(closeThenPrepare(), ::testing::ExitedWithCode(0), "") << fd;
  }
}

// A system call through the tables that tests may replace, failing with
// `injectedError` the next `failuresLeft` times.
int injectedError = 0;
int failuresLeft = 0;
int calls = 0;
std::vector<mode_t> createModes;

bool Inject() {
  ++calls;
  if (failuresLeft == 0) return false;
  --failuresLeft;
  errno = injectedError;
  return true;
}
ssize_t InjectedWrite(int fd, const void* data, std::size_t size) {
  return Inject() ? -1 : write(fd, data, size);
}
// A write that writes nothing, once, and fails no call.
ssize_t WriteNothingOnce(int fd, const void* data, std::size_t size) {
  return calls++ == 0 ? 0 : write(fd, data, size);
}
int InjectedFchmod(int fd, mode_t mode) { return Inject() ? -1 : fchmod(fd, mode); }
ssize_t InjectedPread(int fd, void* buffer, std::size_t count, off_t position) {
  return Inject() ? -1 : pread(fd, buffer, count, position);
}
int WatchedOpen(const char* path, int flags, mode_t mode) {
  createModes.push_back(mode);
  return open(path, flags, mode);
}

// Works in `folder` with the system-call tables free to replace, and puts
// both back however the test ends.
class CallsReplaced {
 public:
  explicit CallsReplaced(const std::string& folder) : start_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CallsReplaced() {
    platform::outputFileCalls = output_;
    d88::imageFileCalls = image_;
    std::filesystem::current_path(start_);
  }
  CallsReplaced(const CallsReplaced&) = delete;
  CallsReplaced& operator=(const CallsReplaced&) = delete;

 private:
  const platform::OutputFileCalls output_ = platform::outputFileCalls;
  const d88::ImageFileCalls image_ = d88::imageFileCalls;
  const std::filesystem::path start_;
};

// An interrupted call is made again; a call that fails is not, and fails
// the write, but for a file system that cannot hold permission bits. None
// of these failures can be had from a real file system on demand.
TEST_F(ProcessEdgesTest, FailingSystemCallsAreMadeAgainOrReported) {
  const std::string image = Image();
  const CallsReplaced replaced(work_.path());
  const platform::OutputFileCalls real = platform::outputFileCalls;
  const struct {
    bool chmod;  // fchmod fails, or else write
    int error;
    bool written;
    int calls;
  } writes[] = {{false, EINTR, true, 2}, {false, EIO, false, 1}, {true, EPERM, true, 1},
                {true, EIO, false, 1}};
  for (const auto& w : writes) {
    platform::outputFileCalls = real;
    if (w.chmod) {
      platform::outputFileCalls.fchmod = InjectedFchmod;
    } else {
      platform::outputFileCalls.write = InjectedWrite;
    }
    d88test::WriteFile("PROG", {'o', 'l', 'd'});
    injectedError = w.error;
    failuresLeft = w.error == EINTR ? 1 : 1000;
    calls = 0;
    int error = 0;
    const std::uint8_t data[] = {'n', 'e', 'w'};
    EXPECT_EQ(platform::WriteFileReplacing("PROG", data, 3, &error), w.written) << w.error;
    EXPECT_EQ(calls, w.calls) << w.error;
    EXPECT_EQ(error, w.written ? 0 : w.error);
    const Bytes kept = w.written ? Bytes{'n', 'e', 'w'} : Bytes{'o', 'l', 'd'};
    EXPECT_EQ(d88test::ReadFile("PROG"), kept) << w.error;
  }
  // A write that writes nothing will never finish the file: it fails, as
  // for want of space, and is not made again.
  platform::outputFileCalls = real;
  platform::outputFileCalls.write = WriteNothingOnce;
  calls = 0;
  int error = 0;
  const std::uint8_t data[] = {'n', 'e', 'w'};
  EXPECT_FALSE(platform::WriteFileReplacing("PROG", data, 3, &error));
  EXPECT_EQ(error, ENOSPC);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(d88test::ReadFile("PROG"), (Bytes{'o', 'l', 'd'}));
  d88::imageFileCalls.pread = InjectedPread;
  for (const int error : {EINTR, EIO}) {
    injectedError = error;
    failuresLeft = error == EINTR ? 1 : 1000;
    calls = 0;
      const auto ownedReader = std::make_unique<D88Image>();
    D88Image& reader = *ownedReader;
    ASSERT_TRUE(reader.Open(image.c_str()));
    EXPECT_EQ(reader.GetDiskCount(), error == EINTR ? 1 : 0) << error;
    EXPECT_TRUE(error == EINTR || calls == 1) << calls;
  }
  EXPECT_EQ(Files(), std::vector<std::string>{"PROG"});  // no temporary file stays
}

// The moment is made exact by interrupting the writer's own process inside
// the write of a temporary file.
int interruption = 0;
ssize_t WriteThenInterrupt(int fd, const void* data, std::size_t size) {
  const ssize_t written = write(fd, data, size);
  raise(interruption);
  return written;
}

TEST_F(ProcessEdgesTest, InterruptionRemovesTheTemporaryFileAndEndsBySignal) {
  const CallsReplaced replaced(work_.path());
  d88test::WriteFile("PROG", {'o', 'l', 'd'});
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A file of a longer name is written first, so that the one removed is
    // the one pending now, not what is left of the last one's name.
    const auto writeThenInterrupt = [signal] {
      interruption = signal;
      int error = 0;
      const std::uint8_t data[] = {'n', 'e', 'w'};
      platform::WriteFileReplacing("LONGER-NAME", data, 3, &error);
      platform::outputFileCalls.write = WriteThenInterrupt;
      platform::WriteFileReplacing("PROG", data, 3, &error);
      _exit(0);
    };
    EXPECT_EXIT(writeThenInterrupt(), ::testing::KilledBySignal(signal), "") << signal;
    EXPECT_EQ(Files(), (std::vector<std::string>{"LONGER-NAME", "PROG"}));
  }
  EXPECT_EQ(d88test::ReadFile("PROG"), (Bytes{'o', 'l', 'd'}));
}

// A call may do less than it was asked: a read or a write cut short goes on
// where it stopped, for what is left. Here no call does more than 1000
// bytes, which divides none of the counts asked for.
std::size_t Cut(std::size_t count) { return count < 1000 ? count : 1000; }
ssize_t CutWrite(int fd, const void* data, std::size_t size) { return write(fd, data, Cut(size)); }
ssize_t CutPread(int fd, void* buffer, std::size_t count, off_t position) {
  return pread(fd, buffer, Cut(count), position);
}

TEST_F(ProcessEdgesTest, ShortReadsAndWritesGoOnWhereTheyStopped) {
  const std::string image = Image();
  const CallsReplaced replaced(work_.path());
  platform::outputFileCalls.write = CutWrite;
  d88::imageFileCalls.pread = CutPread;
  const d88test::ExpectedBlock& b = d88test::kExpectedBlocks[0];
  const Bytes expected = d88test::ExpectedBytes(b);
  const auto ownedReader = std::make_unique<D88Image>();
  D88Image& reader = *ownedReader;
  ASSERT_TRUE(reader.Open(image.c_str()));
  ASSERT_TRUE(reader.SelectDisk(0));
  Bytes read(expected.size());
  ASSERT_EQ(reader.ReadSectors(b.track, b.track >> 1, b.track & 1, b.r, 1, read.data(), b.size),
            b.size);
  EXPECT_EQ(read, expected);
  int error = 0;
  ASSERT_TRUE(platform::WriteFileReplacing(b.name, expected.data(), b.size, &error)) << error;
  EXPECT_EQ(d88test::ReadFile(b.name), expected);
}

// What is printed at once is in the pipe before the tool goes on, so that
// a reader sees each `cutting` line before its file is made.
TEST_F(ProcessEdgesTest, LinesPrintedAtOnceAreInThePipeAtOnce) {
  const auto printThenLook = [] {
    int ends[2];
    std::fflush(stdout);
    if (pipe(ends) != 0 || dup2(ends[1], 1) < 0 || fcntl(ends[0], F_SETFL, O_NONBLOCK) != 0) {
      _exit(2);
    }
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);  // as for any pipe, whatever came before
    const auto inThePipe = [&ends](const std::string& expected) {
      char got[64];
      const ssize_t count = read(ends[0], got, sizeof got);
      return count > 0 && std::string(got, got + count) == expected;
    };
    platform::PrintNow("cutting ... %s\n", "PROG");
    const bool line = inThePipe("cutting ... PROG\n");
    platform::PrintMessageNow({"bytes\n", "text\n"});
    _exit(line && inThePipe("bytes\n") ? 0 : 1);
  };
  EXPECT_EXIT(printThenLook(), ::testing::ExitedWithCode(0), "");
}

// Nobody but its owner can open a temporary file while it is written,
// whatever bits it takes with its name.
TEST_F(ProcessEdgesTest, TemporaryFileIsPrivateUntilItTakesItsName) {
  const CallsReplaced replaced(work_.path());
  platform::outputFileCalls.open = WatchedOpen;
  createModes.clear();
  d88test::WriteFile("PROG", {'o', 'l', 'd'});
  ASSERT_EQ(chmod("PROG", 0664), 0);
  int error = 0;
  const std::uint8_t data[] = {'n', 'e', 'w'};
  EXPECT_TRUE(platform::WriteFileReplacing("PROG", data, 3, &error));
  EXPECT_TRUE(platform::WriteFileReplacing("MUS00", data, 3, &error));
  ASSERT_EQ(createModes.size(), 2u);
  for (const mode_t mode : createModes) EXPECT_EQ(mode & 077, 0u) << std::oct << mode;
  EXPECT_EQ(ModeOf("PROG"), 0664);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(ModeOf("MUS00"), static_cast<int>(0666 & ~mask));
}

// The Japanese messages are text where a person reads them as UTF-8, and
// the Shift_JIS bytes for every other reader: a pipe or a file, or a
// terminal in another locale.
TEST_F(ProcessEdgesTest, JapaneseMessagesAreTextOnAUtf8TerminalOnly) {
  const std::string cutting = d88test::CuttingLines(d88test::BlockNames());
  const std::string image = Image();
  // The same UTF-8 locale, through a pipe: the bytes.
  const RunResult piped = d88test::RunTool(D88CUT_PATH, {"d88cut", image}, work_.path(),
                                           {"LC_ALL=C.UTF-8"});
  EXPECT_EQ(piped.out, d88test::AllBlocksOutput());
  const std::string missing = images_ / "missing.d88";
  std::vector<std::string> cut = d88test::ToolCommand(D88CUT_PATH);
  cut.push_back(image);
  std::vector<std::string> cutMissing = d88test::ToolCommand(D88CUT_PATH);
  cutMissing.push_back(missing);
  const std::string recognisedText = d88test::kRecognisedText;
  const std::string recognisedBytes = d88test::kRecognised;
  const struct {
    const std::vector<std::string>& command;
    const char* locale;
    std::string written;
  } runs[] = {{cut, "C.UTF-8", recognisedText + cutting},
              {cut, "C", recognisedBytes + cutting},
              // A locale not installed here: its name tells.
              {cut, "xx_YY.utf8@none", recognisedText + cutting},
              {cut, "xx_YY.ISO-8859-1", recognisedBytes + cutting},
              {cutMissing, "C.UTF-8", d88test::kOpenFailureText},
              {cutMissing, "POSIX", kOpenFailure}};
  for (const auto& run : runs) {
    const d88test::TerminalRun terminal =
        d88test::RunOnTerminal(run.command, {std::string("LC_ALL=") + run.locale}, work_.path());
    if (!terminal.opened) GTEST_SKIP() << terminal.reason;
    EXPECT_EQ(terminal.written, run.written) << run.locale;
  }
  // Standard output on the terminal, standard error through a pipe, in one
  // run: each stream as its own reader reads it.
  std::vector<std::string> list = d88test::ToolCommand(D88LS_PATH);
  list.insert(list.end(), {missing, image});
  const d88test::TerminalRun split =
      d88test::RunOnTerminal(list, {"LC_ALL=C.UTF-8"}, work_.path(), true);
  const std::string heading = image + ": d88\ndisk 0: offset 0, name \"TEST DISK\"";
  EXPECT_EQ(split.written.substr(0, heading.size()), heading);
  EXPECT_EQ(split.error, "d88ls: cannot open " + missing + ": No such file or directory\n");
}

// The two forms the tests expect of each message are the same words: iconv
// turns the bytes into the text.
TEST_F(ProcessEdgesTest, JapaneseMessagesBytesAndTextAreTheSameWords) {
  const std::pair<std::string, std::string> forms[] = {
      {kOpenFailure, d88test::kOpenFailureText}, {d88test::kRecognised, d88test::kRecognisedText}};
  for (const auto& [bytes, text] : forms) {
    const std::string path = images_.Write("message", Bytes(bytes.begin(), bytes.end()));
    const RunResult converted =
        d88test::Run(d88test::kIconv, {"iconv", "-f", "CP932", "-t", "UTF-8", path}, "/");
    EXPECT_EQ(converted.status, 0);
    EXPECT_EQ(converted.out, text);
  }
}

// UTF-8 `text` in another character set, as iconv(1) writes it.
std::string Converted(const std::string& text, const char* charset, const TempDir& dir) {
  const std::string path = dir.Write("text", Bytes(text.begin(), text.end()));
  return d88test::Run(d88test::kIconv, {"iconv", "-f", "UTF-8", "-t", charset, path}, "/").out;
}

// The user's language, as gettext reads the environment, and the character
// set the output goes in; disk names as text where they reach their reader
// as UTF-8 (on a terminal or through a pipe), and as the bytes they are
// everywhere else.
TEST_F(ProcessEdgesTest, JapaneseWhereTheUserReadsItAndDiskNamesAsText) {
  d88test::Disk disk = d88test::MarkedDisk("\x83Q\x81[\x83\x80\x82P\xB1\xB2\x80");
  d88test::FindSector(&disk, 75, 5)->status = 0xB0;
  const std::string image = images_.Write("image.d88", disk.Build());
  const std::string english = "disk 0: offset 0, name \"";
  const std::string japanese = "ディスク 0: オフセット 0, 名前 \"";
  const std::string text = "ゲーム１ｱｲ\\x80\"";
  const std::string bytes = "\\x83Q\\x81[\\x83\\x80\\x82P\\xB1\\xB2\\x80\"";
  const std::string englishRest = ", media 0x00 2D, size 348848, tracks 80, marked";
  const std::string japaneseRest = ", メディア 0x00 2D, サイズ 348848, トラック数 80, マーカーあり";
  const struct {
    bool terminal;
    std::vector<std::string> environment;
    std::string line;
  } runs[] = {
      {false, {"LC_ALL=C"}, english + bytes + englishRest},
      {true, {"LC_ALL=C.UTF-8"}, english + text + englishRest},
      {false, {"LC_ALL=C.UTF-8"}, english + text + englishRest},
      {false, {"LANG=ja_JP.UTF-8"}, japanese + text + japaneseRest},
      {true, {"LANG=ja_JP.UTF-8"}, japanese + text + japaneseRest},
      {false, {"LANG=en_US.UTF-8", "LANGUAGE=ja"}, japanese + text + japaneseRest},
      {false, {"LANG=ja_JP.UTF-8", "LANGUAGE=en:ja"}, english + text + englishRest},
      {false, {"LANG=C", "LANGUAGE=ja"}, english + bytes + englishRest},
      // Messages in C: LANGUAGE is not looked at, whatever the characters.
      {false, {"LC_CTYPE=C.UTF-8", "LC_MESSAGES=C", "LANGUAGE=ja"}, english + text + englishRest},
      // The first language the tools have words for, or none.
      {false, {"LANG=ja_JP.UTF-8", "LANGUAGE=fr:ja"}, japanese + text + japaneseRest},
      {false, {"LANG=ja_JP.UTF-8", "LANGUAGE=fr"}, english + text + englishRest},
      {false, {"LANG=ja_JP.eucJP"}, Converted(japanese, "EUC-JP", images_) + bytes +
                                        Converted(japaneseRest, "EUC-JP", images_)},
      {false, {"LANG=ja_JP.SJIS"}, Converted(japanese, "CP932", images_) + bytes +
                                       Converted(japaneseRest, "CP932", images_)},
      // Japanese cannot be written in this one.
      {false, {"LANG=de_DE.ISO-8859-1", "LANGUAGE=ja"}, english + bytes + englishRest},
  };
  std::string noTerminal;  // why the runs on a terminal were not made
  for (const auto& run : runs) {
    std::vector<std::string> command = d88test::ToolCommand(D88LS_PATH);
    command.push_back(image);
    std::string out;
    if (!run.terminal) {
      out = d88test::Run(command.front(), command, work_.path(), run.environment).out;
    } else {
      const d88test::TerminalRun terminal =
          d88test::RunOnTerminal(command, run.environment, work_.path());
      noTerminal = terminal.reason;
      if (!terminal.opened) continue;
      out = terminal.written;
    }
    EXPECT_EQ(out.substr(0, out.find_first_of("\r\n")), run.line) << run.environment.back();
  }
  // What the system gave (a path, in EUC-JP) goes out as it is, beside the
  // words in the locale's character set.
  const std::string eucName = "\xA5\xC6\xA5\xB9\xA5\xC8.d88";  // テスト.d88
  const RunResult missing = d88test::RunTool(D88LS_PATH, {"d88ls", eucName}, work_.path(),
                                             {"LANG=ja_JP.eucJP"});
  EXPECT_EQ(missing.err, "d88ls: " + eucName +
                             Converted(" を開けません: そのようなファイルやフォルダーはありません\n",
                                       "EUC-JP", images_));
  // d88cut's own lines follow the user's language; its fixed words never
  // change.
  const RunResult cut = d88test::RunTool(D88CUT_PATH, {"d88cut", image}, work_.path(),
                                         {"LANG=ja_JP.UTF-8"});
  EXPECT_EQ(cut.out, d88test::AllBlocksOutput());
  EXPECT_EQ(cut.err, "d88cut: " + std::string(d88test::BlockReading(75, 5).name) +
                         ": セクタ C 37 H 1 R 5 (トラック 75) はイメージ上で「データ部の"
                         "CRCエラー」となっています。中身はディスク本来のデータでないかもしれません\n");
  if (!noTerminal.empty()) GTEST_SKIP() << noTerminal;
}

}  // namespace
