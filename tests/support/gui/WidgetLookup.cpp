// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/gui/WidgetLookup.h"

#include <QComboBox>
#include <QPushButton>

namespace koral::test {

void ClickButton(const QObject* parent, const char* name) { RequireChild<QPushButton>(parent, name)->click(); }

QStringList ComboTexts(const QComboBox* combo) {
  QStringList texts;
  for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  return texts;
}

}  // namespace koral::test
