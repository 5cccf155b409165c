// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/files/FileOp.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include <QCloseEvent>

#include "core/copy/CopyReport.h"
#include "core/copy/Playlist.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "ui_FileOp.h"

namespace {

constexpr int kRefreshIntervalMs = 50;
constexpr double kRateIntervalMs = 1000.0;
constexpr double kBytesPerMebibyte = 1048576.0;

int Percent(std::uint64_t done, std::uint64_t size) {
  if (size == 0) return 0;
  return static_cast<int>(std::min<std::uint64_t>(100, done * 100 / size));
}

QString Mebibytes(std::uint64_t bytes) {
  return QString::number(static_cast<double>(bytes) / kBytesPerMebibyte, 'f', 1);
}

}  // namespace

CFileOp::CFileOp(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CFileOp>()) {
  m_ui->setupUi(this);
  // A caption bar and its close box, which asks before stopping the copy.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  // "Annuler" stops at once, unasked; it is no default button (autoDefault
  // off in the form), so a stray Enter never stops a long copy.
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &CFileOp::Cancel);
  m_refreshCooldown.setSingleShot(true);
  m_refreshCooldown.setInterval(kRefreshIntervalMs);
  connect(&m_relay, &CCopyProgressRelay::progressAvailable, this, &CFileOp::OnProgressAvailable, Qt::QueuedConnection);
  connect(&m_refreshCooldown, &QTimer::timeout, this, &CFileOp::OnRefreshCooldownEnded);
}

CFileOp::~CFileOp() {
  if (m_worker.joinable()) m_worker.join();
}

void CFileOp::RunJob(koral::CopyJob job) {
  m_job = std::move(job);
  m_stop = std::stop_source();
  m_cancelReport.clear();
  if (OnInitDialog()) exec();
  if (IsCopying()) {  // the program is ending under the dialog: the copy stops first
    Cancel();
    m_worker.join();
  }
  m_job = {};
  m_plan = {};
}

void CFileOp::RunPlan(koral::CopyJob job, koral::CopyPlan plan) {
  m_plan = std::move(plan);
  m_planned = true;
  RunJob(std::move(job));
  m_planned = false;
}

void CFileOp::reject() {
  if (IsCopying()) AskToStop();
  else if (!m_asking) QDialog::reject();
}

void CFileOp::closeEvent(QCloseEvent* event) {
  if (!IsCopying() && !m_asking) return QDialog::closeEvent(event);
  event->ignore();
  AskToStop();
}

void CFileOp::Cancel() {
  if (!IsCopying()) return;
  m_stop.request_stop();
  m_ui->cancelButton->setEnabled(false);
}

// An Escape or a click beside the mark must not lose the file being
// written: the user confirms. The copy goes on meanwhile.
void CFileOp::AskToStop() {
  if (m_asking || m_stop.stop_requested()) return;
  m_asking = true;
  const bool stop =
      Prompt::Confirm(this, QStringLiteral("Arrêter la copie ?"), windowTitle(), QStringLiteral("Arrêter"),
                      QStringLiteral("Continuer"), Prompt::ConfirmDefault::kAction);
  m_asking = false;
  if (stop) Cancel();
  if (std::exchange(m_endedWhileAsking, false)) FinishCopy();
}

bool CFileOp::OnInitDialog() {
  m_ui->sourceCaptionLabel->setText(QStringLiteral("Copie de :"));
  m_ui->destinationCaptionLabel->setText(QStringLiteral("Vers :"));
  m_ui->sourcePathLabel->SetFullText({});
  m_ui->destinationPathLabel->SetFullText({});
  m_ui->rateLabel->clear();
  m_ui->fileCounterLabel->setText(QStringLiteral("Fichier"));
  m_ui->totalCounterLabel->setText(QStringLiteral("Total"));
  for (QProgressBar* bar : {m_ui->fileBar, m_ui->totalBar}) {
    bar->setRange(0, 100);
    bar->setValue(0);
  }
  m_ui->cancelButton->setEnabled(true);
  m_relay.Reset();
  m_result = {};
  m_workerError.clear();
  m_rateFileNumber = 0;
  if (!CountSelection()) return false;
  m_startTime = m_clock.GetElapsedMs();  // the pre-count is not part of the rate
  return StartWorker();
}

bool CFileOp::CountSelection() {
  try {
    if (!m_planned) m_plan = koral::BuildCopyPlan(m_job);
  } catch (const koral::PlaylistUnreadable& unreadable) {
    const std::string refusal = koral::PlaylistRefusalText(unreadable);
    const QString text =
        !refusal.empty() ? QString::fromStdString(refusal) : QStringLiteral("Echec de l'ouverture de la playlist");
    Prompt::Message(this, text, QStringLiteral("Erreur pas cool"));
    return false;
  }
  const std::string refused = koral::FormatRefusedReport(m_plan.refused);
  if (!refused.empty()) Prompt::Message(this, QString::fromStdString(refused), QStringLiteral("Copie incomplète"));
  return true;
}

bool CFileOp::StartWorker() {
  try {
    m_worker = std::thread(&CFileOp::CopyThreadProc, this);
  } catch (const std::system_error&) {
    Prompt::Message(this, QStringLiteral("Impossible de créer le thread de copie dans CFileOp::OnButtonCopy"),
                    QStringLiteral("Echec de la copie!"));
    return false;
  }
  return true;
}

// The worker: copies the plan, then tells the dialog, as its last act.
void CFileOp::CopyThreadProc() {
  try {
    koral::CCopyEngine engine(m_job.options, m_relay, m_stop.get_token());
    m_result = engine.Run(m_plan);
  } catch (const std::exception& error) {
    m_workerError = error.what();
  }
  QMetaObject::invokeMethod(this, &CFileOp::OnCopyDone, Qt::QueuedConnection);
}

void CFileOp::OnProgressAvailable() {
  ShowProgress(m_relay.Take());
  m_refreshCooldown.start();
}

void CFileOp::OnRefreshCooldownEnded() {
  m_relay.Rearm();
  bool changed = false;
  const koral::CopyProgress progress = m_relay.Take(&changed);
  if (changed) ShowProgress(progress);
}

void CFileOp::ShowProgress(const koral::CopyProgress& progress) {
  if (progress.fileNumber == 0) return;
  m_ui->sourcePathLabel->SetFullText(PathFromStd(progress.source));
  m_ui->destinationPathLabel->SetFullText(PathFromStd(progress.destination));
  m_ui->fileCounterLabel->setText(QStringLiteral("Fichier : %1 / %2").arg(progress.fileNumber).arg(progress.fileTotal));
  m_ui->totalCounterLabel->setText(
      QStringLiteral("Total : %1 / %2 Mo").arg(Mebibytes(progress.totalDone), Mebibytes(progress.totalSize)));
  m_ui->fileBar->setValue(Percent(progress.fileDone, progress.fileSize));
  m_ui->totalBar->setValue(Percent(progress.totalDone, progress.totalSize));
  ShowRate(progress);
}

// The average since the start, refreshed with the first chunk of every file
// and then at most once a second.
void CFileOp::ShowRate(const koral::CopyProgress& progress) {
  const double now = m_clock.GetElapsedMs();
  if (progress.fileNumber != m_rateFileNumber) {
    m_rateFileNumber = progress.fileNumber;
    m_lastRateTime = -kRateIntervalMs;
  }
  if (progress.totalDone == 0 || now - m_lastRateTime < kRateIntervalMs) return;
  const double kilobytesPerSecond =
      static_cast<double>(progress.totalDone) / 1024.0 * 1000.0 / std::max(now - m_startTime, 1.0);
  m_ui->rateLabel->setText(QStringLiteral("%1 ko/sec").arg(QString::number(kilobytesPerSecond, 'f', 1)));
  m_lastRateTime = now;
}

void CFileOp::OnCopyDone() {
  if (!m_worker.joinable()) return;  // already waited for, as the program ends
  m_worker.join();
  if (m_result.cancelled)
    m_cancelReport = QString::fromStdString(
        koral::FormatCancelledCopy(m_result.filesCopied, m_plan.fileTotal - m_result.filesCopied));
  if (m_asking) m_endedWhileAsking = true;
  else FinishCopy();
}

void CFileOp::FinishCopy() {
  m_refreshCooldown.stop();
  ShowProgress(m_relay.Take());
  ReportCopy();
  accept();
}

// What was not copied and the names changed for the player, in one box;
// none when there is nothing to say.
void CFileOp::ReportCopy() {
  if (!m_workerError.empty())
    Prompt::Message(this, QStringLiteral("La copie a échoué : %1").arg(QString::fromStdString(m_workerError)),
                    QStringLiteral("Echec de la copie!"));
  const std::string failures = koral::FormatCopyReport(m_result.failures, m_result.stoppedOnFullPlayer,
                                                       m_result.notTried, koral::kEntriesListedInABox);
  const std::string renames =
      koral::FormatRenameReport(koral::WrittenRenames(m_plan, m_result.written), koral::kEntriesListedInABox);
  if (!failures.empty()) {
    const std::string text = renames.empty() ? failures : failures + "\n\n" + renames;
    Prompt::Message(this, QString::fromStdString(text), QStringLiteral("Copie incomplète"));
  } else if (!renames.empty() && !m_result.cancelled) {  // a stopped copy is told by its own box
    Prompt::Information(this, QString::fromStdString(renames), QStringLiteral("Copie terminée"));
  }
}
