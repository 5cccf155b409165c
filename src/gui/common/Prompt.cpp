#include "common/Prompt.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace Prompt {
namespace {

Answerer* g_answerer = nullptr;

// "\r" breaks a line in the program's texts; Qt wants "\n".
QString Displayed(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n'); }

// A box blocks only the window it belongs to: a question of the main window
// must not freeze an open settings sheet, nor the other way round.
int RunOver(QWidget* parent, QDialog& dialog) {
  dialog.setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  return dialog.exec();
}

// Qt's French translation leaves the file dialog's folder type in English.
class FrenchFileTypes final : public QFileIconProvider {
 public:
  QString type(const QFileInfo& info) const override {
    return info.isDir() ? QStringLiteral("Dossier") : QFileIconProvider::type(info);
  }
};

QFileIconProvider& FileTypes() {
  static FrenchFileTypes types;
  return types;
}

}  // namespace

void SetAnswererForTesting(Answerer* answerer) { g_answerer = answerer; }

void Message(QWidget* parent, const QString& text, const QString& title) {
  if (g_answerer) return g_answerer->OnMessage(text, title);
  QMessageBox box(QMessageBox::Warning, title, Displayed(text), QMessageBox::Ok, parent);
  RunOver(parent, box);
}

void Information(QWidget* parent, const QString& text, const QString& title) {
  if (g_answerer) return g_answerer->OnMessage(text, title);
  QMessageBox box(QMessageBox::Information, title, Displayed(text), QMessageBox::Ok, parent);
  RunOver(parent, box);
}

bool Question(QWidget* parent, const QString& text, const QString& title) {
  if (g_answerer) return g_answerer->OnQuestion(text, title);
  QMessageBox box(QMessageBox::Question, title, Displayed(text), QMessageBox::Yes | QMessageBox::No, parent);
  return RunOver(parent, box) == QMessageBox::Yes;
}

bool Confirm(QWidget* parent, const QString& text, const QString& title, const QString& yes, const QString& no) {
  if (g_answerer) return g_answerer->OnQuestion(text, title);
  QMessageBox box(QMessageBox::Question, title, Displayed(text), QMessageBox::NoButton, parent);
  QPushButton* yesButton = box.addButton(yes, QMessageBox::AcceptRole);
  box.setEscapeButton(box.addButton(no, QMessageBox::RejectRole));
  box.setDefaultButton(yesButton);
  RunOver(parent, box);
  return box.clickedButton() == yesButton;
}

QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
  if (g_answerer) return g_answerer->OnOpenFileName(caption, folder, filter);
  QFileDialog dialog(parent, caption, folder, filter);
  dialog.setIconProvider(&FileTypes());
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunOver(parent, dialog) == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                     const QString& defaultSuffix) {
  if (g_answerer) return g_answerer->OnSaveFileName(caption, folder, filter, defaultSuffix);
  QFileDialog dialog(parent, caption, folder, filter);
  dialog.setIconProvider(&FileTypes());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  return RunOver(parent, dialog) == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

}  // namespace Prompt
