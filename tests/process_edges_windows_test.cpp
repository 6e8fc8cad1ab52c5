// d88cut at the edges of the process on Windows: a read-only output and an
// interruption from the console.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output_file_system.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::TempDir;

TEST(ProcessEdgesTest, ReadOnlyOutputIsNotReplaced) {
  TempDir images;
  TempDir work;
  d88test::Disk disk = d88test::MakeStandardDisk();
  d88test::SetMarker(&disk);
  const std::string image = images.Write("image.d88", disk.Build());
  d88test::WriteFile(work / "PROG", {'o', 'l', 'd'});
  std::filesystem::permissions(work / "PROG", std::filesystem::perms::owner_read);  // read-only
  const d88test::RunResult result = d88test::RunTool(D88CUT_PATH, {"d88cut", image}, work.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "d88cut: cannot write PROG: Permission denied\n");
  EXPECT_EQ(d88test::ReadFile(work / "PROG"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(d88test::FilesIn(work.path()).size(), 7u);
  std::filesystem::permissions(work / "PROG", std::filesystem::perms::owner_all);
}

// Ctrl-C sent to this process's console right after a temporary file was
// created: the handler removes it and ends the process as Ctrl-C does.
TEST(ProcessEdgesTest, CtrlCRemovesTheTemporaryFile) {
  if (GetConsoleWindow() == nullptr) {
    GTEST_SKIP() << "no console to send Ctrl-C through (as under Wine without one)";
  }
  TempDir work;
  const std::filesystem::path start = std::filesystem::current_path();
  std::filesystem::current_path(work.path());
  const auto createThenInterrupt = [] {
    int error = 0;
    const std::uint8_t data[] = {'n', 'e', 'w'};
    if (d88cut::CreateTemporary(".PROG.1.0", d88cut::kDefaultMode, data, 3, &error)) {
      GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
      Sleep(10000);
    }
    ExitProcess(0);
  };
  EXPECT_EXIT(createThenInterrupt(),
              ::testing::ExitedWithCode(static_cast<int>(STATUS_CONTROL_C_EXIT)), "");
  EXPECT_TRUE(d88test::FilesIn(work.path()).empty());
  std::filesystem::current_path(start);
}

}  // namespace
