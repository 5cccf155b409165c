// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>

// Checks the button whose id is the choice; any other value leaves the group
// with no button checked, which an exclusive group cannot show by itself.
inline void ShowCheckedChoice(QButtonGroup* group, int choice) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == choice);
  group->setExclusive(true);
}
