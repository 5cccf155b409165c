// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>

class QWidget;

// A settings image that cannot be opened or transferred ends the program:
// the message (title "Erreur"), then exit status 1 without saving anything
// else. Under test the exit handler may return; callers then return at once.
void FailSettingsImage(QWidget* parent, const QString& text);

// Replaces std::exit for tests; an empty function puts it back.
void SetExitHandlerForTesting(std::function<void(int)> handler);
