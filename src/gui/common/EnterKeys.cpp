// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/EnterKeys.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QToolButton>

namespace {

class CEnterOnButtons final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (auto* tool = qobject_cast<QToolButton*>(watched)) tool->click();
    return true;
  }
};

}  // namespace

void KeepEnterOnFocusedButtons(QWidget* window) {
  auto* filter = new CEnterOnButtons(window);
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    const bool choice = qobject_cast<QCheckBox*>(button) != nullptr || qobject_cast<QRadioButton*>(button) != nullptr;
    if (choice || qobject_cast<QToolButton*>(button) != nullptr) button->installEventFilter(filter);
  }
}
