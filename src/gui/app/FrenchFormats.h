// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Qt's own formatting (the file dialogs' sizes, dates and file types) in
// French whatever the user's locale, as Qt's texts already are. Called
// before the application object exists: Qt reads its system locale once,
// from the environment, while the application object is being built.
// The environment and the C library's locale are left as they were.
void UseFrenchQtFormats();
