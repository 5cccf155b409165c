// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/gui/PromptRecorder.h"

#include <QTest>

#include "gui/common/FatalExit.h"

namespace koral::test {

PromptRecorder::PromptRecorder() { Prompt::SetAnswererForTesting(this); }
PromptRecorder::~PromptRecorder() { Prompt::SetAnswererForTesting(nullptr); }

void PromptRecorder::Clear() {
  messages.clear();
  questions.clear();
  fileDialogCaptions.clear();
  questionAnswers.clear();
  saveQuestions.clear();
  saveAnswers.clear();
  fileAnswers.clear();
  lastFolder.clear();
  lastFilter.clear();
  lastSuffix.clear();
}

void PromptRecorder::OnMessage(const QString& text, const QString& title) { messages.push_back({text, title}); }

bool PromptRecorder::OnQuestion(const QString& text, const QString& title) {
  questions.push_back({text, title});
  if (questionAnswers.empty()) {
    // A test must say how each question is answered; "no" changes nothing meanwhile.
    QTest::qFail(qPrintable(QStringLiteral("question without an answer queued: ") + text), __FILE__, __LINE__);
    return false;
  }
  const bool answer = questionAnswers.front();
  questionAnswers.pop_front();
  return answer;
}

Prompt::SaveChoice PromptRecorder::OnSaveQuestion(const QString& text, const QString& title) {
  saveQuestions.push_back({text, title});
  if (saveAnswers.empty()) return Prompt::SaveChoice::kCancel;
  const Prompt::SaveChoice answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

QString PromptRecorder::NextFile() {
  if (fileAnswers.empty()) return {};
  QString answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

QString PromptRecorder::OnOpenFileName(const QString& caption, const QString& folder, const QString& filter) {
  fileDialogCaptions.push_back(caption);
  lastFolder = folder;
  lastFilter = filter;
  return NextFile();
}

QString PromptRecorder::OnSaveFileName(const QString& caption, const QString& folder, const QString& filter,
                                       const QString& defaultSuffix) {
  fileDialogCaptions.push_back(caption);
  lastFolder = folder;
  lastFilter = filter;
  lastSuffix = defaultSuffix;
  return NextFile();
}

ExitRecorder::ExitRecorder() {
  SetExitHandlerForTesting([this](int status) { statuses.push_back(status); });
}

ExitRecorder::~ExitRecorder() { SetExitHandlerForTesting({}); }

}  // namespace koral::test
