// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSpinBox>

// A level spin whose arrows always answer, as the player's own up-down
// controls do: a step at either end changes nothing but still reports that
// the user stepped, so that the level counts as changed.
class LevelSpin final : public QSpinBox {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LevelSpin)

 public:
  using QSpinBox::QSpinBox;

  void stepBy(int steps) override {
    emit stepped();
    QSpinBox::stepBy(steps);
  }

 signals:
  void stepped();

 protected:
  StepEnabled stepEnabled() const override { return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled); }
};
