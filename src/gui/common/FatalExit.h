// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>

#include "core/settings/ImagePassResult.h"

class QWidget;

// A settings image that cannot be opened or transferred ends the program:
// the message (title "Erreur"), then exit status 1 without saving anything
// else. Under test the exit handler may return; callers then return at once.
void FailSettingsImage(QWidget* parent, const QString& text);

// FailSettingsImage for a failed pass over the image, named by the class and
// operation that ran it: "'<where>'... <its text>\r L'application va se terminer".
void FailImagePass(QWidget* parent, const QString& where, koral::ImagePassResult result, koral::ImageTransfer transfer);

// Replaces std::exit for tests; an empty function puts it back.
void SetExitHandlerForTesting(std::function<void(int)> handler);
