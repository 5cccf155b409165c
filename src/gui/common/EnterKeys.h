// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Enter on a focused check box or radio button does nothing, where a dialog
// would press its default button (and close); on a focused tool button it
// presses that button, as it does a push button with autoDefault. For the
// buttons the window holds when this is called.
void KeepEnterOnFocusedButtons(QWidget* window);
