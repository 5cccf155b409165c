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

// A question whose buttons say what they do, such as "Arrêter" and
// "Continuer"; true for the first, which Enter presses. Escape and the
// close box answer the second. Tests answer it as a yes/no question.
bool Confirm(QWidget* parent, const QString& text, const QString& title, const QString& yes, const QString& no);

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
  virtual QString OnOpenFileName(const QString& caption, const QString& folder, const QString& filter) = 0;
  virtual QString OnSaveFileName(const QString& caption, const QString& folder, const QString& filter,
                                 const QString& defaultSuffix) = 0;
};

// nullptr puts the real dialogs back.
void SetAnswererForTesting(Answerer* answerer);

}  // namespace Prompt
