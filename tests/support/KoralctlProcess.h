// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace koral::test {

// How a koralctl process ended.
struct ProcessOutcome {
  std::optional<int> status;  // the exit status, when it exited
  std::optional<int> signal;  // the signal that ended it
  std::string err;
  rusage usage{};  // what the process used: CPU time, largest resident size
};

// koralctl as a process of its own, for what an in-process run cannot show:
// a fault shim preloaded into it, a kill in the middle of a copy, a
// file-size limit. The binaries' paths come from the build.
class KoralctlProcess {
 public:
  struct Options {
    std::string faults;                   // KORAL_FAULT for the shim; empty: no shim
    std::string faultRelease;             // KORAL_FAULT_RELEASE: the file whose making ends a stall
    std::optional<rlim_t> fileSizeLimit;  // RLIMIT_FSIZE of the process
    bool ignoreFileSizeSignal = false;    // with the limit: EFBIG instead of SIGXFSZ
    std::string outputPath;               // opened as its standard output ("/dev/full"); empty: the test's
  };

  KoralctlProcess(const std::vector<std::string>& arguments, const Options& options);
  ~KoralctlProcess();  // a process still running is killed
  KoralctlProcess(const KoralctlProcess&) = delete;
  KoralctlProcess& operator=(const KoralctlProcess&) = delete;

  void Kill(int signal) const;
  ProcessOutcome Wait();

 private:
  pid_t m_pid = -1;
  int m_errPipe = -1;
};

// Runs koralctl to its end.
ProcessOutcome RunKoralctlProcess(const std::vector<std::string>& arguments,
                                  const KoralctlProcess::Options& options = {});

}  // namespace koral::test
