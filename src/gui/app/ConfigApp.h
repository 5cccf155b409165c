// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>

#include <QStringList>
#include <QTranslator>

#include "core/platform/RunContext.h"

class CSingleInstance;
class QApplication;

// The application object: reads the command line, shows the main window
// and runs the program's one event loop until that window closes. The main
// window is not run modally, so the settings sheets take input beside it.
class CConfigApp final {
 public:
  explicit CConfigApp(QApplication& application);
  ~CConfigApp();

  // --help and --version answered before the application object exists, so
  // that they need no display: their exit status, nullopt for any other line.
  static std::optional<int> AnswerWithoutWindow(int argc, char** argv);

  // The exit status: 0 after the main window closed, by the user or by a
  // termination signal (or after --help or --version), 2 on a usage error.
  int Run();

  // Sheets still open when the main window closes store their pages'
  // options as when closed by hand, before the main window saves its own.
  static void CloseOpenSheets();

 private:
  bool ReadArguments(const QStringList& arguments);
  void InstallFrenchQtTexts();
  std::optional<int> HandToRunningWindow();
  void TellUnwrittenOptions() const;

  QApplication& m_application;
  QTranslator m_qtTranslator;
  koral::RunContext m_context;  // the environment's, then the command line's; every window gets it
  bool m_demo = false;
  QString m_namedPlayer;  // by --player or --demo, handed to a window already running
  std::unique_ptr<CSingleInstance> m_singleInstance;
  int m_usageStatus = -1;     // set when the command line answered by itself
  bool m_terminated = false;  // the window was closed by a termination signal
};
