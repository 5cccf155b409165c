// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <stop_token>
#include <string>
#include <thread>

#include <QDialog>
#include <QTimer>

#include "core/copy/CopyEngine.h"
#include "core/platform/ElapsedTimer.h"
#include "gui/files/CopyProgressRelay.h"

namespace Ui {
class CFileOp;
}

// "Opération en cours...": the copy's progress dialog. It counts the job,
// copies it on a worker thread and closes itself when the worker is done.
// "Annuler" stops the copy; Escape and the close box ask first. One
// instance serves every copy.
class CFileOp final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CFileOp)

 public:
  explicit CFileOp(QWidget* parent = nullptr);
  ~CFileOp() override;

  // Copies the job, showing the dialog modally until everything is on the
  // player; the job is kept until the worker has ended.
  void RunJob(koral::CopyJob job);
  // The same with the plan already made (it also gave the size checked
  // against the free space): the selection is walked once.
  void RunPlan(koral::CopyJob job, koral::CopyPlan plan);
  bool IsCopying() const { return m_worker.joinable(); }
  // Stops the copy without a question; the dialog closes once it has stopped.
  void Cancel();
  // After a copy stopped on request, "Copie annulée : ..."; else empty.
  const QString& CancelReport() const { return m_cancelReport; }

 public slots:
  void reject() override;  // Escape: while it copies, asks whether to stop

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void AskToStop();
  bool OnInitDialog();
  bool CountSelection();
  bool StartWorker();
  void CopyThreadProc();
  void OnProgressAvailable();
  void OnRefreshCooldownEnded();
  void ShowProgress(const koral::CopyProgress& progress);
  void ShowRate(const koral::CopyProgress& progress);
  void OnCopyDone();
  void FinishCopy();
  void ReportCopy();

  std::unique_ptr<Ui::CFileOp> m_ui;
  CElapsedTimer m_clock;
  CCopyProgressRelay m_relay;
  QTimer m_refreshCooldown;  // at most a few refreshes a second: the copy comes first
  koral::CopyJob m_job;
  koral::CopyPlan m_plan;
  bool m_planned = false;  // m_plan came with the job
  koral::CopyResult m_result;
  std::string m_workerError;
  std::stop_source m_stop;
  bool m_asking = false;            // "Arrêter la copie ?" is shown
  bool m_endedWhileAsking = false;  // the copy ended meanwhile: the dialog closes after the answer
  QString m_cancelReport;
  std::thread m_worker;
  double m_startTime = 0.0;
  double m_lastRateTime = 0.0;
  int m_rateFileNumber = 0;
};
