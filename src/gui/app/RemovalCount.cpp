// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/RemovalCount.h"

CRemovalCount::~CRemovalCount() {
  if (m_worker.joinable()) {
    m_worker.request_stop();
    m_worker.join();
  }
}

void CRemovalCount::Start(Count count, Done done) {
  if (m_worker.joinable()) m_worker.join();  // the last count has posted its answer and ended
  m_running = true;
  m_worker = std::jthread([this, count = std::move(count), done = std::move(done)](std::stop_token stop) {
    const koral::RemovalTally tally = count(stop);
    if (stop.stop_requested()) return;
    QMetaObject::invokeMethod(
        this,
        [this, done, tally] {
          m_running = false;
          done(tally);
        },
        Qt::QueuedConnection);
  });
}
