// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <QSocketNotifier>

namespace {

// The write end, for the handler; one instance at a time.
volatile sig_atomic_t g_writeEnd = -1;

void OnSignal(int number) {
  const int savedErrno = errno;
  const auto byte = static_cast<unsigned char>(number);
  // Non-blocking: with the pipe full, the signals already on their way suffice.
  [[maybe_unused]] const ssize_t written = write(g_writeEnd, &byte, 1);
  errno = savedErrno;
}

}  // namespace

CTerminationSignals::CTerminationSignals(QObject* parent) : QObject(parent) {
  if (pipe2(m_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;  // the signals keep their default action
  g_writeEnd = m_pipe[1];
  m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnReadable);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (sigaction(kSignals[i], nullptr, &m_previous[i]) != 0 || m_previous[i].sa_handler == SIG_IGN) continue;
    m_handled[i] = sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

CTerminationSignals::~CTerminationSignals() {
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    if (m_handled[i]) sigaction(kSignals[i], &m_previous[i], nullptr);
  if (m_pipe[0] < 0) return;
  g_writeEnd = -1;
  delete m_notifier;
  close(m_pipe[0]);
  close(m_pipe[1]);
}

void CTerminationSignals::OnReadable() {
  unsigned char byte = 0;
  while (read(m_pipe[0], &byte, 1) == 1) emit received(byte);
}
