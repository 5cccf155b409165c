// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <stop_token>
#include <thread>

#include <QObject>

#include "core/files/PlayerFileOps.h"

// Counts what a delete or an emptying would remove on a thread of its own:
// a full player takes seconds, and the window must stay drawn meanwhile.
// The answer comes back on the window's thread; none comes once this is
// destroyed, which stops a count under way and waits for it.
class CRemovalCount final : public QObject {
  Q_DISABLE_COPY_MOVE(CRemovalCount)

 public:
  using Count = std::function<koral::RemovalTally(std::stop_token)>;
  using Done = std::function<void(const koral::RemovalTally&)>;

  explicit CRemovalCount(QObject* parent) : QObject(parent) {}
  ~CRemovalCount() override;

  // One count at a time: not called while Running().
  void Start(Count count, Done done);
  bool Running() const { return m_running; }

 private:
  bool m_running = false;
  std::jthread m_worker;  // last: stopped and joined before the rest goes
};
