// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <vector>

#include <QString>

#include "gui/common/Prompt.h"

namespace koral::test {

// Stands in for every message box and file dialog while it lives: records
// what the program said and answers from queues the test fills.
class PromptRecorder final : public Prompt::Answerer {
 public:
  struct Shown {
    QString text;
    QString title;
  };

  PromptRecorder();
  ~PromptRecorder() override;
  // Forgets what was said and what was queued, for a fixture that keeps one across tests.
  void Clear();

  std::vector<Shown> messages;
  std::vector<Shown> questions;
  std::vector<QString> fileDialogCaptions;
  std::deque<bool> questionAnswers;  // empty: the test fails
  std::vector<Shown> saveQuestions;
  std::deque<Prompt::SaveChoice> saveAnswers;  // empty: "Annuler"
  std::deque<QString> fileAnswers;             // empty: cancelled

  void OnMessage(const QString& text, const QString& title) override;
  bool OnQuestion(const QString& text, const QString& title) override;
  Prompt::SaveChoice OnSaveQuestion(const QString& text, const QString& title) override;
  QString OnOpenFileName(const QString& caption, const QString& folder, const QString& filter) override;
  QString OnSaveFileName(const QString& caption, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override;

  // What a file dialog was given last.
  QString lastFolder;
  QString lastFilter;
  QString lastSuffix;

 private:
  QString NextFile();
};

// Stands in for the process exit of a fatal settings-image failure.
class ExitRecorder {
 public:
  ExitRecorder();
  ~ExitRecorder();
  std::vector<int> statuses;
};

}  // namespace koral::test
