// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <csignal>

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT, while it lives, as a Qt signal on the
// window's thread: the handler only writes the signal's number to a pipe,
// which a socket notifier reads within the event loop. A signal the program
// was started with ignored (nohup) stays ignored.
class CTerminationSignals final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CTerminationSignals)

 public:
  explicit CTerminationSignals(QObject* parent = nullptr);
  ~CTerminationSignals() override;  // the dispositions it found come back

 signals:
  void received(int signal);

 private:
  void OnReadable();

  static constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

  std::array<int, 2> m_pipe{-1, -1};
  QSocketNotifier* m_notifier = nullptr;
  std::array<struct sigaction, kSignals.size()> m_previous{};
  std::array<bool, kSignals.size()> m_handled{};
};
