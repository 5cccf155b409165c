// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/FatalExit.h"

#include <cstdlib>

#include "gui/common/Prompt.h"

namespace {

std::function<void(int)>& ExitHandler() {
  static std::function<void(int)> handler;
  return handler;
}

}  // namespace

void SetExitHandlerForTesting(std::function<void(int)> handler) { ExitHandler() = std::move(handler); }

void FailSettingsImage(QWidget* parent, const QString& text) {
  Prompt::Message(parent, text, QStringLiteral("Erreur"));
  constexpr int kFailureStatus = 1;
  if (ExitHandler()) return ExitHandler()(kFailureStatus);
  std::exit(kFailureStatus);
}

void FailImagePass(QWidget* parent, const QString& where, koral::ImagePassResult result,
                   koral::ImageTransfer transfer) {
  FailSettingsImage(parent, QStringLiteral("'%1'... %2\r L'application va se terminer")
                                .arg(where, QString::fromStdString(koral::ImagePassText(result, transfer))));
}
