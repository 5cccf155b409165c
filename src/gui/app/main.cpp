// SPDX-License-Identifier: GPL-3.0-or-later
#include <clocale>

#include <QApplication>

#include "gui/app/ConfigApp.h"
#include "gui/app/FrenchFormats.h"

int main(int argc, char** argv) {
  if (const auto answered = CConfigApp::AnswerWithoutWindow(argc, argv)) return *answered;
  UseFrenchQtFormats();
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // numbers in files are read and written with a point
  Q_INIT_RESOURCE(resources);
  return CConfigApp(application).Run();
}
