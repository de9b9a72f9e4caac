// Starting sorrel and waiting for it: CreateProcessW, WaitForInputIdle and
// WaitForSingleObject, with the settings lock kept until the started
// program has loaded the settings.
#include "platform/process.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "platform/win32/settings_lock.h"
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

// The program in double quotes, then each further argument after a blank,
// quoted when it needs to be: for sorrel, "\"%s\" /CUIMODE".
std::wstring CommandLine(const std::vector<std::string>& args) {
  std::wstring line;
  for (size_t i = 0; i < args.size(); ++i) {
    line += i == 0 ? L"\"" + Wide(args[0]) + L"\"" : L" " + Quoted(Wide(args[i]));
  }
  return line;
}

// This process's environment with the changes of options, as
// CreateProcessW takes it: sorted, each "NAME=value" ended by a NUL, and a
// NUL at the end.
std::wstring EnvironmentBlock(const StartOptions& options) {
  std::vector<std::wstring> variables;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; entry != nullptr && *entry != L'\0';
       entry += wcslen(entry) + 1) {
    const std::wstring variable(entry);
    bool replaced = false;
    for (const auto& [name, value] : options.environment) {
      const std::wstring prefix = Wide(name) + L"=";
      replaced = replaced || _wcsnicmp(variable.c_str(), prefix.c_str(), prefix.size()) == 0;
    }
    if (!replaced) variables.push_back(variable);
  }
  if (current != nullptr) FreeEnvironmentStringsW(current);
  for (const auto& [name, value] : options.environment) {
    variables.push_back(Wide(name) + L"=" + Wide(value));
  }
  std::sort(variables.begin(), variables.end(),
            [](const auto& a, const auto& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
  std::wstring block;
  for (const std::wstring& variable : variables) block += variable + L'\0';
  return block + L'\0';
}

class Win32ProcessRunner : public ProcessRunner {
 public:
  // The started program gets this program's standard handles, so that its
  // report lines reach wherever this program's output goes, a redirection
  // included. Ctrl+C is left to the started program while this one waits.
  RunResult RunAndWait(const std::string& program, const std::vector<std::string>& args,
                       const StartOptions& options) override {
    std::wstring command_line = CommandLine(args);
    std::wstring environment = EnvironmentBlock(options);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    // Suspended until the event by which it lets go of the lock exists.
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (options.hand_on ? CREATE_SUSPENDED : 0);
    if (!CreateProcessW(Wide(program).c_str(), command_line.data(), nullptr, nullptr, TRUE, flags,
                        environment.data(), nullptr, &startup, &process)) {
      return {false, static_cast<int>(GetLastError())};
    }
    HANDLE loaded = nullptr;
    if (options.hand_on != nullptr) {
      const auto key = static_cast<uint64_t>(options.hand_on->Handle());
      loaded =
          CreateEventW(nullptr, TRUE, FALSE, HandOnEventName(process.dwProcessId, key).c_str());
      ResumeThread(process.hThread);
    }
    // The started program shares this console: Ctrl+C reaches it and stops
    // its run at the next check, while this program waits on.
    SetConsoleCtrlHandler(nullptr, TRUE);
    // The lock goes as soon as the program has read the settings, which it
    // does before it could ever be idle for input (a program that never
    // reads input may keep WaitForInputIdle waiting until it ends).
    if (loaded != nullptr) {
      const HANDLE either[] = {loaded, process.hProcess};
      WaitForMultipleObjects(2, either, FALSE, INFINITE);
      CloseHandle(loaded);
    }
    if (options.started) options.started();
    WaitForInputIdle(process.hProcess, INFINITE);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exit_code = 0;
    GetExitCodeProcess(process.hProcess, &exit_code);
    SetConsoleCtrlHandler(nullptr, FALSE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {true, 0, static_cast<int>(exit_code)};
  }
};

}  // namespace

// Windows ends no program by a signal; its exit code is passed on as it is.
void PassOnStopSignal(int) {}

std::unique_ptr<ProcessRunner> NewProcessRunner() {
  return std::make_unique<Win32ProcessRunner>();
}

}  // namespace sorrel::platform
