// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StopSignals.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>

namespace koral::cli {
namespace {

bool Ignored(int signal) {
  struct sigaction action {};
  return sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

// A second signal while the copy stops ends the process as the signal
// does by default: the way out of a copy stuck on a device that no longer
// answers.
[[noreturn]] void EndBy(int signal) {
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  std::signal(signal, SIG_DFL);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(128 + signal);  // not reached: the default action of these signals ends the process
}

}  // namespace

StopSignals::StopSignals() {
  sigemptyset(&m_signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    if (!Ignored(signal)) sigaddset(&m_signals, signal);
  pthread_sigmask(SIG_BLOCK, &m_signals, &m_savedMask);
  m_signalFd = signalfd(-1, &m_signals, SFD_CLOEXEC);
  m_wake = eventfd(0, EFD_CLOEXEC);
  if (m_signalFd >= 0 && m_wake >= 0) m_thread = std::thread([this] { Watch(); });
  else pthread_sigmask(SIG_SETMASK, &m_savedMask, nullptr);  // unwatched: the signals end the process as before
}

StopSignals::~StopSignals() {
  if (m_thread.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wake, &one, sizeof one);
    m_thread.join();
  }
  if (m_signalFd >= 0) close(m_signalFd);
  if (m_wake >= 0) close(m_wake);
  // A signal that came after the watch ended takes its usual course now.
  pthread_sigmask(SIG_SETMASK, &m_savedMask, nullptr);
}

// Every signal is read, so that none is left pending to end the process
// once the mask comes back; the first one stops the copy.
void StopSignals::Watch() {
  pollfd watched[2] = {{m_signalFd, POLLIN, 0}, {m_wake, POLLIN, 0}};
  for (;;) {
    if (poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents != 0) return;
    signalfd_siginfo info{};
    if (read(m_signalFd, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) continue;
    const auto signal = static_cast<int>(info.ssi_signo);
    int none = 0;
    if (!m_received.compare_exchange_strong(none, signal)) EndBy(signal);
    m_stop.request_stop();
  }
}

}  // namespace koral::cli
