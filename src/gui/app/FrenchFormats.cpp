// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/FrenchFormats.h"

#include <QByteArray>
#include <QLocale>

void UseFrenchQtFormats() {
  // The file dialogs' sizes and dates come from QLocale::system(), which Qt
  // reads from LC_ALL first; the file types' names come from the default locale.
  const bool wasSet = qEnvironmentVariableIsSet("LC_ALL");
  const QByteArray saved = qgetenv("LC_ALL");
  qputenv("LC_ALL", "fr_FR.UTF-8");
  (void)QLocale::system();  // read now, and kept for the whole run
  if (wasSet) qputenv("LC_ALL", saved);
  else qunsetenv("LC_ALL");
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}
