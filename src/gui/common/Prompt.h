// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Every message box and file dialog of the program goes through here, so
// that tests can see what was said and answer without a modal window.
namespace Prompt {

// A French message with the exclamation icon and one OK button.
void Message(QWidget* parent, const QString& text, const QString& title);

// The same with the information icon, for news that is good.
void Information(QWidget* parent, const QString& text, const QString& title);

// A yes/no question; true for yes.
bool Question(QWidget* parent, const QString& text, const QString& title);

// Which button of a confirmation Enter presses.
enum class ConfirmDefault { kKeep, kAction };

// A question whose buttons say what they do: `action` ("Supprimer",
// "Arrêter") and `keep` ("Annuler", "Continuer"); true for the action.
// Escape and the close box keep things as they are; Enter presses the
// default, `keep` unless told otherwise, since the action cannot be undone.
// Tests answer it as a yes/no question.
bool Confirm(QWidget* parent, const QString& text, const QString& title, const QString& action,
             const QString& keep = QStringLiteral("Annuler"), ConfirmDefault byDefault = ConfirmDefault::kKeep);

// The answers to a question about changes not yet written.
enum class SaveChoice { kSave, kDiscard, kCancel };

// "Enregistrer" (the default), "Ne pas enregistrer" and "Annuler" (Escape
// and the close box). Modal to the whole program: nothing else may close
// or change the window while its user decides.
SaveChoice SaveQuestion(QWidget* parent, const QString& text, const QString& title);

// Answers an open save question with "Ne pas enregistrer", for a program
// told to end while nobody is there to answer.
void DiscardOpenSaveQuestion();

// File dialogs; an empty string when the user cancelled.
QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
QString SaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                     const QString& defaultSuffix);

// What tests put in place of the real dialogs.
class Answerer {
 public:
  virtual ~Answerer() = default;
  virtual void OnMessage(const QString& text, const QString& title) = 0;
  virtual bool OnQuestion(const QString& text, const QString& title) = 0;
  virtual SaveChoice OnSaveQuestion(const QString& text, const QString& title) = 0;
  virtual QString OnOpenFileName(const QString& caption, const QString& folder, const QString& filter) = 0;
  virtual QString OnSaveFileName(const QString& caption, const QString& folder, const QString& filter,
                                 const QString& defaultSuffix) = 0;
};

// nullptr puts the real dialogs back.
void SetAnswererForTesting(Answerer* answerer);

}  // namespace Prompt
