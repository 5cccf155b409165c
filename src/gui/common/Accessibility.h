// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the accessibility tree says of the windows where Qt's own interfaces
// mislead a screen reader:
// - a combo box with an accessibleName is named by it, and tells its current
//   entry as its description (on Linux Qt names every combo box after its
//   current entry, whatever its accessibleName); one without is named as Qt
//   names it;
// - a widget with the dynamic property "accessibleDecoration" set (a tick mark,
//   a rule drawn with characters) is left out of the tree of its container.
// Installed once, before the first window is shown.
void InstallAccessibleInterfaces();
