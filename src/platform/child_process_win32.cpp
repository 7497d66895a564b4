#include "platform/child_process.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstring>
#include <string_view>

namespace platform {

namespace {

std::string quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"') out += '\\';
    out += c;
  }
  out.push_back('"');
  return out;
}

BOOL CALLBACK closeWindowOf(HWND window, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(pid)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Suspends (or resumes) every thread of the process.
void forEachThreadOf(long pid, bool suspend) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != static_cast<DWORD>(pid)) continue;
    if (const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
      if (suspend)
        SuspendThread(thread);
      else
        ResumeThread(thread);
      CloseHandle(thread);
    }
  }
  CloseHandle(snapshot);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnv) {
  std::string commandLine = quoted(program);
  for (const std::string& a : args) {
    commandLine.push_back(' ');
    commandLine.append(quoted(a));
  }
  // The child's environment: this process's, with the extra variables added or replaced.
  std::vector<char> environment;
  auto add = [&environment](std::string_view var) {
    environment.insert(environment.end(), var.begin(), var.end());
    environment.push_back('\0');
  };
  for (const std::string& e : extraEnv) add(e);
  if (char* block = GetEnvironmentStringsA()) {
    for (const char* var = block; *var; var += std::strlen(var) + 1) {
      const std::string_view v(var);
      bool replaced = false;
      for (const std::string& e : extraEnv)
        if (_strnicmp(var, e.c_str(), e.find('=') + 1) == 0) replaced = true;
      if (!replaced) add(v);
    }
    FreeEnvironmentStringsA(block);
  }
  environment.push_back('\0');
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = nul;
  si.hStdError = nul;
  PROCESS_INFORMATION pi{};
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, environment.data(), nullptr, &si,
                     &pi)) {
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = static_cast<long>(pi.dwProcessId);
  }
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
}

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::running() { return wait(0) == -1 && process_ != nullptr; }

int ChildProcess::wait(int timeoutMs) {
  if (!process_) return exitCode_;
  const HANDLE process = static_cast<HANDLE>(process_);
  if (WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  exitCode_ = GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
  CloseHandle(process);
  process_ = nullptr;
  pid_ = -1;
  return exitCode_;
}

int ChildProcess::stop() {
  if (!running()) return exitCode_;
  const HANDLE process = static_cast<HANDLE>(process_);
  process_ = nullptr;
  EnumWindows(closeWindowOf, static_cast<LPARAM>(pid_));
  pid_ = -1;
  int code = -1;
  if (WaitForSingleObject(process, 5000) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process, &exitCode)) code = static_cast<int>(exitCode);
  } else {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
  }
  CloseHandle(process);
  return code;
}

void ChildProcess::kill() {
  if (!running()) return;
  const HANDLE process = static_cast<HANDLE>(process_);
  process_ = nullptr;
  pid_ = -1;
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

void ChildProcess::pause() {
  if (pid_ > 0) forEachThreadOf(pid_, true);
}

void ChildProcess::resume() {
  if (pid_ > 0) forEachThreadOf(pid_, false);
}

}  // namespace platform
