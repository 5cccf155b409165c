// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QComboBox;

namespace koral::test {

// The named child; a missing one stops the test run, since every check after
// it would be meaningless.
template <typename T>
T* RequireChild(const QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("no child %s", name);
  return child;
}

// Presses the named push button.
void ClickButton(const QObject* parent, const char* name);

// The texts of a combo box's entries, top first.
QStringList ComboTexts(const QComboBox* combo);

}  // namespace koral::test
