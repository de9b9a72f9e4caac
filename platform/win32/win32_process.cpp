// Starting sorrel and waiting for it.
#include "platform/win32/win32_process.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

// The quoting rule of the C runtime's command-line parser.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(backslashes * 2, L'\\');
  out.push_back(L'"');
  return out;
}

}  // namespace

std::wstring Win32CommandLine(const std::vector<std::string>& args) {
  std::wstring line;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i == 0) {
      line = L"\"" + Wide(args[0]) + L"\"";
    } else {
      line += L" " + Quoted(Wide(args[i]));
    }
  }
  return line;
}

RunResult Win32ProcessRunner::RunAndWait(const std::string& program,
                                         const std::vector<std::string>& args) {
  std::wstring command_line = Win32CommandLine(args);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(Wide(program).c_str(), command_line.data(), nullptr, nullptr, TRUE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return {false, static_cast<int>(GetLastError())};
  }
  // The started program shares this console: Ctrl+C reaches it and stops
  // its run at the next check, while this program waits on.
  SetConsoleCtrlHandler(nullptr, TRUE);
  WaitForInputIdle(process.hProcess, INFINITE);
  WaitForSingleObject(process.hProcess, INFINITE);
  SetConsoleCtrlHandler(nullptr, FALSE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {true, 0};
}

}  // namespace sorrel::platform
