#include "gui/WidgetLookup.h"

#include <QComboBox>

namespace koral::test {

QStringList ComboTexts(const QComboBox* combo) {
  QStringList texts;
  for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  return texts;
}

}  // namespace koral::test
