// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include <QObject>

#include "core/copy/CopyEngine.h"

// Carries the copy's progress from the worker to the window without ever
// making the worker wait for the window: the worker only leaves the latest
// state here, and signals (queued) when no signal is already on its way.
class CCopyProgressRelay final : public QObject, public koral::CopyObserver {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CCopyProgressRelay)

 public:
  explicit CCopyProgressRelay(QObject* parent = nullptr) : QObject(parent) {}

  // Worker thread.
  void OnProgress(const koral::CopyProgress& progress) override;

  // Window thread: the latest state, and whether it changed since the last Take.
  koral::CopyProgress Take(bool* changed = nullptr);
  // Window thread: the window is ready for the next signal.
  void Rearm();
  void Reset();

 signals:
  void progressAvailable();

 private:
  std::mutex m_mutex;
  koral::CopyProgress m_latest;
  std::uint64_t m_version = 0;
  std::uint64_t m_takenVersion = 0;
  std::atomic<bool> m_signalPending{false};
};
