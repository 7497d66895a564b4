#include "platform/child_process.h"

#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnv) {
  std::vector<std::string> env = extraEnv;
  for (char** e = environ; *e; ++e) {
    const std::string var(*e);
    bool replaced = false;
    for (const std::string& x : extraEnv)
      if (var.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0) replaced = true;
    if (!replaced) env.push_back(var);
  }
  std::vector<std::string> argvText = args;
  argvText.insert(argvText.begin(), program);
  std::vector<char*> argv, envp;
  for (auto& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
    pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  pid_ = pid;
}

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(static_cast<pid_t>(pid_), &status, WNOHANG) == pid_) {
    pid_ = -1;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return pid_ > 0;
}

int ChildProcess::wait(int timeoutMs) {
  for (int waited = 0; running() && waited < timeoutMs; waited += 10)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return running() ? -1 : exitCode_;
}

int ChildProcess::stop() {
  if (!running()) return exitCode_;
  const pid_t pid = static_cast<pid_t>(pid_);
  pid_ = -1;
  ::kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 500; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

void ChildProcess::kill() {
  if (!running()) return;
  const pid_t pid = static_cast<pid_t>(pid_);
  pid_ = -1;
  ::kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

void ChildProcess::pause() {
  if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGSTOP);
}

void ChildProcess::resume() {
  if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGCONT);
}

}  // namespace platform
