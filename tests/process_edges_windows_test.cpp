// d88cut at the edges of the process on Windows: a read-only output, an
// interruption from the console, and a run that must not wait for Enter.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output_file_calls_windows.h"
#include "platform/output_file.h"
#include "test_support.h"

namespace {

using d88test::Bytes;
using d88test::TempDir;

TEST(ProcessEdgesTest, ReadOnlyOutputIsNotReplaced) {
  TempDir images;
  TempDir work;
  const std::string image = images.Write("image.d88", d88test::MarkedDisk().Build());
  d88test::WriteFile(work / "PROG", {'o', 'l', 'd'});
  std::filesystem::permissions(work / "PROG", std::filesystem::perms::owner_read);  // read-only
  const d88test::RunResult result = d88test::RunTool(D88CUT_PATH, {"d88cut", image}, work.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "d88cut: cannot write PROG: Permission denied\n");
  EXPECT_EQ(d88test::ReadFile(work / "PROG"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(d88test::FilesIn(work.path()), d88test::AllBlockFiles());
  std::filesystem::permissions(work / "PROG", std::filesystem::perms::owner_all);
}

// A write cut short goes on where it stopped, for what is left. Here no
// write does more than 1000 bytes, which divides none of the sizes asked for.
BOOL WINAPI CutWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                         LPOVERLAPPED overlapped) {
  return WriteFile(file, data, size < 1000 ? size : 1000, written, overlapped);
}

TEST(ProcessEdgesTest, ShortWritesGoOnWhereTheyStopped) {
  TempDir work;
  const std::filesystem::path start = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::u8path(work.path()));
  const platform::OutputFileCalls real = platform::outputFileCalls;
  platform::outputFileCalls.writeFile = CutWriteFile;
  const d88test::ExpectedBlock& b = d88test::kExpectedBlocks[0];
  const Bytes expected = d88test::ExpectedBytes(b);
  int error = 0;
  EXPECT_TRUE(platform::WriteFileReplacing(b.name, expected.data(), b.size, &error)) << error;
  platform::outputFileCalls = real;
  std::filesystem::current_path(start);
  EXPECT_EQ(d88test::ReadFile(work / b.name), expected);
}

// A child inside the write of a temporary file is interrupted from its
// console: the handler removes the file and ends the process as Ctrl-C does.
// The child runs in a process group of its own, so that the event reaches
// it alone; without a console of the test's own (as under ctest in Wine),
// it gets a console without a window, which the test attaches to to send
// the event. Windows delivers Ctrl-Break to a process group, Wine only
// Ctrl-C: both are sent.
TEST(ProcessEdgesTest, InterruptionRemovesTheTemporaryFile) {
  TempDir work;
  DWORD listed[1];
  const bool ownConsole = GetConsoleProcessList(listed, 1) != 0;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  std::wstring program = std::filesystem::u8path(PENDING_FILE_CHILD_PATH).wstring();
  ASSERT_TRUE(CreateProcessW(program.c_str(), program.data(), nullptr, nullptr, FALSE,
                             CREATE_NEW_PROCESS_GROUP | (ownConsole ? 0 : CREATE_NO_WINDOW),
                             nullptr, std::filesystem::u8path(work.path()).wstring().c_str(),
                             &startup, &child));
  for (int k = 0; k < 3000 && !std::filesystem::exists(std::filesystem::u8path(work / "ready"));
       ++k) {
    Sleep(10);
  }
  const HANDLE standard[] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                             GetStdHandle(STD_ERROR_HANDLE)};
  const bool attached = ownConsole || (FreeConsole(), AttachConsole(child.dwProcessId) != 0);
  if (attached) {
    GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child.dwProcessId);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, child.dwProcessId);
  }
  if (!ownConsole) {
    // Attaching replaced the test's own handles: they are put back.
    FreeConsole();
    SetStdHandle(STD_INPUT_HANDLE, standard[0]);
    SetStdHandle(STD_OUTPUT_HANDLE, standard[1]);
    SetStdHandle(STD_ERROR_HANDLE, standard[2]);
  }
  const bool ended = WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(child.hProcess, 1);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  EXPECT_TRUE(attached);
  EXPECT_TRUE(ended);
  EXPECT_EQ(code, static_cast<DWORD>(STATUS_CONTROL_C_EXIT));
  EXPECT_EQ(d88test::FilesIn(work.path()), std::vector<std::string>{"ready"});
}

// Run by a program with its output redirected, as by the test runner, the
// tool ends without waiting for Enter, even on a console of its own whose
// input it could read. (Under Wine the tool never waits: a console that
// lists it alone there is the terminal Wine was started from.)
TEST(ProcessEdgesTest, RedirectedRunNeverWaitsForEnter) {
  TempDir images;
  TempDir work;
  const std::string image = images.Write("image.d88", d88test::MarkedDisk().Build());
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  const HANDLE out = CreateFileW(std::filesystem::u8path(images / "out").wstring().c_str(),
                                 GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;  // the input of its own console
  startup.hStdOutput = out;
  startup.hStdError = out;
  std::wstring commandLine = L"d88cut \"" + std::filesystem::u8path(image).wstring() + L"\"";
  PROCESS_INFORMATION child = {};
  ASSERT_TRUE(CreateProcessW(std::filesystem::u8path(D88CUT_PATH).wstring().c_str(),
                             commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, std::filesystem::u8path(work.path()).wstring().c_str(),
                             &startup, &child));
  CloseHandle(out);
  const bool ended = WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(child.hProcess, 1);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  EXPECT_TRUE(ended);
  const d88test::Bytes written = d88test::ReadFile(images / "out");
  EXPECT_EQ(std::string(written.begin(), written.end()).find("Press Enter"), std::string::npos);
  EXPECT_EQ(d88test::FilesIn(work.path()), d88test::AllBlockFiles());
}

// A user whose interface is in Japanese reads d88ls in Japanese; redirected,
// in the ANSI code page (932), with the disk's name as its escaped bytes,
// as on POSIX outside UTF-8. Wine takes the interface language from the
// environment it was started in (LC_ALL=ja_JP.UTF-8), not from one a
// process gives its child: CI runs this test once more so started.
TEST(ProcessEdgesTest, JapaneseInterfaceReadsJapanese) {
  if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_JAPANESE) {
    GTEST_SKIP() << "the interface language is not Japanese";
  }
  TempDir dir;
  const std::string image =
      dir.Write("image.d88", d88test::MarkedDisk("\x83Q\x81[\x83\x80").Build());
  const d88test::RunResult listed = d88test::RunTool(D88LS_PATH, {"d88ls", image}, dir.path());
  // "ディスク 0: オフセット 0, 名前 " in code page 932.
  const std::string start =
      "\x83\x66\x83\x42\x83\x58\x83\x4e 0: \x83\x49\x83\x74\x83\x5a\x83\x62\x83\x67 0, "
      "\x96\xbc\x91\x4f \"\\x83Q\\x81[\\x83\\x80\", ";
  EXPECT_EQ(listed.out.substr(0, start.size()), start);
}

}  // namespace
