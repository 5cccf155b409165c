// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/Prompt.h"

#include <utility>

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace Prompt {
namespace {

Answerer* g_answerer = nullptr;

// The save question on the screen, and the answer given in its user's place.
struct OpenSaveQuestion {
  QPointer<QMessageBox> box;
  bool discarded = false;
};
OpenSaveQuestion* g_openSaveQuestion = nullptr;

SaveChoice ChoiceOf(const QMessageBox& box, const QAbstractButton* save, const QAbstractButton* discard) {
  if (box.clickedButton() == save) return SaveChoice::kSave;
  if (box.clickedButton() == discard) return SaveChoice::kDiscard;
  return SaveChoice::kCancel;
}

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

bool Confirm(QWidget* parent, const QString& text, const QString& title, const QString& action, const QString& keep,
             ConfirmDefault byDefault) {
  if (g_answerer) return g_answerer->OnQuestion(text, title);
  QMessageBox box(QMessageBox::Question, title, Displayed(text), QMessageBox::NoButton, parent);
  QPushButton* confirm = box.addButton(action, QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(keep, QMessageBox::RejectRole);
  box.setDefaultButton(byDefault == ConfirmDefault::kAction ? confirm : cancel);
  box.setEscapeButton(cancel);
  RunOver(parent, box);
  return box.clickedButton() == confirm;
}

SaveChoice SaveQuestion(QWidget* parent, const QString& text, const QString& title) {
  if (g_answerer) return g_answerer->OnSaveQuestion(text, title);
  // On the heap: the window it belongs to may go while it is open.
  QPointer<QMessageBox> box =
      new QMessageBox(QMessageBox::Question, title, Displayed(text), QMessageBox::NoButton, parent);
  QAbstractButton* save = box->addButton(QStringLiteral("Enregistrer"), QMessageBox::AcceptRole);
  QAbstractButton* discard = box->addButton(QStringLiteral("Ne pas enregistrer"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box->addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
  box->setDefaultButton(qobject_cast<QPushButton*>(save));
  box->setEscapeButton(cancel);
  box->setWindowModality(Qt::ApplicationModal);
  OpenSaveQuestion open{box};
  OpenSaveQuestion* outer = std::exchange(g_openSaveQuestion, &open);
  box->exec();
  g_openSaveQuestion = outer;
  if (box.isNull()) return SaveChoice::kDiscard;
  const SaveChoice choice = open.discarded ? SaveChoice::kDiscard : ChoiceOf(*box, save, discard);
  delete box.data();
  return choice;
}

void DiscardOpenSaveQuestion() {
  if (g_openSaveQuestion == nullptr || g_openSaveQuestion->box.isNull()) return;
  g_openSaveQuestion->discarded = true;
  g_openSaveQuestion->box->reject();
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
