// SPDX-License-Identifier: GPL-3.0-or-later
#include "KoralctlProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include "TestEnvironment.h"

extern char** environ;

namespace koral::test {
namespace {

// The variables that give the process the running test's sandbox, as a
// front end is driven.
std::vector<std::string> SandboxVariables() {
  const TestEnvironment* sandbox = CurrentSandbox();
  return sandbox != nullptr ? sandbox->Variables() : std::vector<std::string>();
}

bool IsOneOf(const std::string& variable, const std::vector<std::string>& settings) {
  const std::string name = variable.substr(0, variable.find('=') + 1);
  for (const std::string& setting : settings)
    if (setting.rfind(name, 0) == 0) return true;
  return false;
}

// The parent's environment with the sandbox's and the shim's variables
// added; an ASan build must accept a library preloaded before its runtime.
std::vector<std::string> ChildEnvironment(const KoralctlProcess::Options& options) {
  std::vector<std::string> environment = SandboxVariables();
  const std::vector<std::string> sandbox = environment;
  std::string asanOptions = "ASAN_OPTIONS=verify_asan_link_order=0";
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable(*entry);
    if (IsOneOf(variable, sandbox)) continue;
    if (variable.rfind("ASAN_OPTIONS=", 0) == 0) asanOptions += ":" + variable.substr(13);
    else if (variable.rfind("KORAL_FAULT", 0) != 0 && variable.rfind("LD_PRELOAD=", 0) != 0)
      environment.push_back(variable);
  }
  if (!options.faults.empty()) {
    environment.push_back("KORAL_FAULT=" + options.faults);
    environment.push_back(std::string("LD_PRELOAD=") + KORAL_FAULT_SHIM_PATH);
    environment.push_back(asanOptions);
    if (!options.faultRelease.empty()) environment.push_back("KORAL_FAULT_RELEASE=" + options.faultRelease);
  }
  return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

KoralctlProcess::KoralctlProcess(const std::vector<std::string>& arguments, const Options& options) {
  std::vector<std::string> argv{KORAL_KORALCTL_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = ChildEnvironment(options);
  std::vector<char*> argvPointers = Pointers(argv);
  std::vector<char*> environmentPointers = Pointers(environment);
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  m_pid = fork();
  if (m_pid < 0) throw std::runtime_error("fork failed");
  if (m_pid == 0) {
    dup2(pipeEnds[1], STDERR_FILENO);
    if (!options.outputPath.empty()) {
      const int output = open(options.outputPath.c_str(), O_WRONLY | O_CLOEXEC);
      if (output < 0) _exit(126);
      dup2(output, STDOUT_FILENO);
    }
    if (options.fileSizeLimit) {
      const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
      if (options.ignoreFileSizeSignal) std::signal(SIGXFSZ, SIG_IGN);
    }
    execve(argvPointers[0], argvPointers.data(), environmentPointers.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  m_errPipe = pipeEnds[0];
}

KoralctlProcess::~KoralctlProcess() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (m_errPipe >= 0) close(m_errPipe);
}

void KoralctlProcess::Kill(int signal) const {
  if (m_pid > 0) kill(m_pid, signal);
}

ProcessOutcome KoralctlProcess::Wait() {
  ProcessOutcome outcome;
  char chunk[4096];
  for (ssize_t got; (got = read(m_errPipe, chunk, sizeof chunk)) != 0;) {
    if (got > 0) outcome.err.append(chunk, static_cast<size_t>(got));
    else if (errno != EINTR) break;
  }
  int status = 0;
  wait4(m_pid, &status, 0, &outcome.usage);
  m_pid = -1;
  if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  return outcome;
}

ProcessOutcome RunKoralctlProcess(const std::vector<std::string>& arguments, const KoralctlProcess::Options& options) {
  return KoralctlProcess(arguments, options).Wait();
}

}  // namespace koral::test
