// Runs a program for the tests, and sets process limits, on Windows.

#include <windows.h>

#include <stdexcept>

#include "test_support.h"

namespace d88test {
namespace {

std::wstring Widen(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
  wide.pop_back();  // the terminator
  return wide;
}

// Quotes one argument so that the C run-time's parser gives it back as it
// is: backslashes count only before a quote.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

HANDLE CreateCapture(const std::wstring& path) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a capture file");
  return file;
}

// CR LF as LF; a bare LF marked, so that it cannot pass for a line end.
std::string TextLines(const Bytes& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text += "<bare LF>";
    text.push_back(static_cast<char>(bytes[i]));
  }
  return text;
}

}  // namespace

RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::string& cwd, const std::vector<std::string>& environment) {
  TempDir capture;
  std::wstring commandLine;
  for (const std::string& arg : args) {
    if (!commandLine.empty()) commandLine.push_back(L' ');
    commandLine += Quoted(Widen(arg));
  }
  const HANDLE out = CreateCapture(Widen(capture / "out"));
  const HANDLE err = CreateCapture(Widen(capture / "err"));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = INVALID_HANDLE_VALUE;
  startup.hStdOutput = out;
  startup.hStdError = err;
  // The child's environment: this one's, with `environment` set in it.
  std::wstring block;
  for (const wchar_t* entry = GetEnvironmentStringsW(); *entry != L'\0';
       entry += wcslen(entry) + 1) {
    block.append(entry).push_back(L'\0');
  }
  for (const std::string& assignment : environment) block.append(Widen(assignment)).push_back(L'\0');
  block.push_back(L'\0');
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(Widen(program).c_str(), commandLine.data(), nullptr,
                                      nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                                      Widen(cwd).c_str(), &startup, &process);
  CloseHandle(out);
  CloseHandle(err);
  if (!started) throw std::runtime_error("cannot start " + program);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  RunResult result;
  result.status = static_cast<int>(code);
  result.out = TextLines(ReadFile(capture / "out"));
  result.err = TextLines(ReadFile(capture / "err"));
  return result;
}

std::string AsPiped(const std::string& utf8) {
  if (PipesCarryUtf8()) return utf8;
  const std::wstring wide = Widen(utf8);
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0,
                                         nullptr, nullptr);
  std::string piped(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, piped.data(), length, nullptr,
                      nullptr);
  piped.pop_back();  // the NUL
  return piped;
}

bool PipesCarryUtf8() { return GetACP() == CP_UTF8; }

std::string HostProgram(const std::string&) { return ""; }

int SetOpenFileLimit(int) { return -1; }  // handles have no such limit

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

}  // namespace d88test
