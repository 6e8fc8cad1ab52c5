// d88cut and d88ls at the edges of the process on POSIX systems: what they
// are given in place of an image or an output, lost output, limits and
// signals. Shells and setpriv set the scene; the tools run as they are.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output_file_system.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::kOpenFailure;
using d88test::RunResult;
using d88test::TempDir;

const char* const kAllFiles[] = {"FMBANK", "MUS00", "MUS01", "MUS02", "MUS03", "MUS04", "PROG"};

Bytes MarkedImage() {
  d88test::Disk disk = d88test::MakeStandardDisk();
  d88test::SetMarker(&disk);
  return disk.Build();
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
    return d88test::Run("/bin/sh", {"sh", "-c", script, "sh", tool, image}, work_.path());
  }
  std::string Image() const { return images_.Write("image.d88", MarkedImage()); }
  std::vector<std::string> Files() const { return d88test::FilesIn(work_.path()); }

  TempDir images_;
  TempDir work_;
};

TEST_F(ProcessEdgesTest, OnlyARegularFileIsOpenedAndNothingWaits) {
  const std::string fifo = images_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const char* tool : {D88CUT_PATH, D88LS_PATH}) {
    for (const std::string& path : {fifo, std::string("/dev/null"), std::string("/dev/zero")}) {
      // timeout ends a run that blocks with status 124.
      const RunResult result = d88test::Run("/usr/bin/timeout", {"timeout", "10", tool, path},
                                            work_.path());
      EXPECT_EQ(result.status, 1) << tool << " " << path;
      EXPECT_EQ(result.err, kOpenFailure);
    }
  }
  EXPECT_TRUE(Files().empty());
}

TEST_F(ProcessEdgesTest, LostStandardOutputIsAFailureAndTheFilesStay) {
  const std::string image = Image();
  const struct {
    const char* script;
    const char* reason;
  } cases[] = {{"exec \"$@\" >/dev/full", "No space left on device"},
               {"exec \"$@\" >&-", "Bad file descriptor"}};
  for (const auto& lost : cases) {
    const RunResult cut = RunThroughShell(D88CUT_PATH, lost.script, image);
    EXPECT_EQ(cut.status, 1) << lost.script;
    EXPECT_EQ(cut.err, std::string("d88cut: write error: ") + lost.reason + "\n");
    EXPECT_EQ(Files(), std::vector<std::string>(kAllFiles, kAllFiles + 7));
    const RunResult list = RunThroughShell(D88LS_PATH, lost.script, image);
    EXPECT_EQ(list.status, 1) << lost.script;
    EXPECT_EQ(list.err, std::string("d88ls: write error: ") + lost.reason + "\n");
  }
}

TEST_F(ProcessEdgesTest, FileSizeLimitFailsTheWriteOnly) {
  d88test::WriteFile(work_ / "PROG", {'o', 'l', 'd'});
  const RunResult result = RunThroughShell(D88CUT_PATH, "ulimit -f 8; exec \"$@\"", Image());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "d88cut: cannot write PROG: File too large\n");
  EXPECT_EQ(d88test::ReadFile(work_ / "PROG"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(Files(), std::vector<std::string>(kAllFiles, kAllFiles + 7));
}

// The moment is made exact by interrupting the writer's own process right
// after it has created a temporary file.
TEST_F(ProcessEdgesTest, InterruptionRemovesTheTemporaryFileAndEndsBySignal) {
  ASSERT_EQ(chdir(work_.path().c_str()), 0);
  d88test::WriteFile("PROG", {'o', 'l', 'd'});
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const auto createThenInterrupt = [signal] {
      int error = 0;
      const std::uint8_t data[] = {'n', 'e', 'w'};
      if (d88cut::CreateTemporary(".PROG.1.0", d88cut::kDefaultMode, data, 3, &error) &&
          access(".PROG.1.0", F_OK) == 0) {
        raise(signal);
      }
      _exit(0);
    };
    EXPECT_EXIT(createThenInterrupt(), ::testing::KilledBySignal(signal), "") << signal;
    EXPECT_EQ(Files(), std::vector<std::string>{"PROG"});
  }
  EXPECT_EQ(d88test::ReadFile("PROG"), (Bytes{'o', 'l', 'd'}));
  ASSERT_EQ(chdir("/"), 0);
}

// As a user other than root, for whom the permission bits bind.
TEST_F(ProcessEdgesTest, ReplacingKeepsTheOldModeAndRefusesAReadOnlyFile) {
  std::filesystem::permissions(work_.path(), std::filesystem::perms::all);
  const std::string image = work_.Write("image.d88", MarkedImage());
  d88test::WriteFile(work_ / "PROG", {'o', 'l', 'd'});
  d88test::WriteFile(work_ / "MUS00", {'o', 'l', 'd'});
  d88test::WriteFile(work_ / "other-name", {'o', 'l', 'd'});
  std::filesystem::remove(work_ / "MUS01");
  ASSERT_EQ(link((work_ / "other-name").c_str(), (work_ / "MUS01").c_str()), 0);
  ASSERT_EQ(chmod((work_ / "PROG").c_str(), 0444), 0);
  ASSERT_EQ(chmod((work_ / "MUS00").c_str(), 0600), 0);
  ASSERT_EQ(chmod((work_ / "other-name").c_str(), 0666), 0);
  const bool root = geteuid() == 0;
  const std::vector<std::string> asNobody = {"setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups"};
  if (root) {
    std::vector<std::string> check = asNobody;
    check.insert(check.end(), {"/usr/bin/test", "-w", work_.path()});
    if (d88test::Run("/usr/bin/setpriv", check, "/").status != 0) {
      GTEST_SKIP() << "user 65534 cannot reach " << work_.path();
    }
  }
  for (const char* name : {"PROG", "MUS00", "other-name"}) {
    ASSERT_TRUE(!root || chown((work_ / name).c_str(), 65534, 65534) == 0);
  }
  std::vector<std::string> command = asNobody;
  command.insert(command.end(), {D88CUT_PATH, image});
  const RunResult result = root ? d88test::Run("/usr/bin/setpriv", command, work_.path())
                                : d88test::Run(D88CUT_PATH, {"d88cut", image}, work_.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "d88cut: cannot write PROG: Permission denied\n");
  EXPECT_EQ(d88test::ReadFile(work_ / "PROG"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ModeOf(work_ / "PROG"), 0444);
  EXPECT_EQ(d88test::ReadFile(work_ / "MUS00"), d88test::ExpectedRun(74, 1, 1792));
  EXPECT_EQ(ModeOf(work_ / "MUS00"), 0600);
  EXPECT_EQ(ModeOf(work_ / "MUS01"), 0666);
  // A new file gets what any new file gets.
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(ModeOf(work_ / "MUS02"), static_cast<int>(0666 & ~mask));
  // The other name of a hard link keeps the old contents.
  EXPECT_EQ(d88test::ReadFile(work_ / "other-name"), (Bytes{'o', 'l', 'd'}));
}

}  // namespace
