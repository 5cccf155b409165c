#include "app/ConfigApp.h"

#include <cstdio>

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>

#include "app/MainDlg.h"
#include "config/ProgramFolder.h"
#include "demo/DemoPlayer.h"
#include "settings/Onglets.h"

namespace {

int Usage(std::FILE* stream, int status) {
  std::fprintf(stream, "usage : koral-config [--player DOSSIER] [--config-dir DOSSIER] [--demo]\n");
  return status;
}

}  // namespace

CConfigApp::CConfigApp(QApplication& application) : m_application(application) {
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/koral-config.png")));
  // A sheet left open must not keep the program alive: it ends with the main window.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallFrenchQtTexts();
}

// Qt's own texts (file dialogs, standard buttons, the fields' context menu)
// speak French like the program, whatever the user's locale. Without the
// translation installed they stay in English.
void CConfigApp::InstallFrenchQtTexts() {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (m_qtTranslator.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
    QApplication::installTranslator(&m_qtTranslator);
}

bool CConfigApp::ReadArguments(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--player" && hasValue) qputenv("KORAL_PLAYER", arguments[++i].toLocal8Bit());
    else if (argument == "--config-dir" && hasValue) qputenv("KORAL_CONFIG_DIR", arguments[++i].toLocal8Bit());
    else if (argument == "--demo") m_demo = true;
    else if (argument == "--help") m_usageStatus = Usage(stdout, 0);
    else m_usageStatus = Usage(stderr, 2);
    if (m_usageStatus >= 0) return false;
  }
  return true;
}

int CConfigApp::Run() {
  if (!ReadArguments(QApplication::arguments())) return m_usageStatus;
  if (m_demo) {
    const auto folder = koral::EnsureDemoPlayer(koral::ConfigIniPath(), koral::RadiosIniPath());
    qputenv("KORAL_PLAYER", QByteArray::fromStdString(folder.string()));
  }
  {
    CMainDlg window;
    QObject::connect(&window, &QDialog::finished, &m_application, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    QApplication::exec();
    CloseOpenSheets();
  }  // the main window saves its options as it goes
  return 0;
}

void CConfigApp::CloseOpenSheets() {
  // Guarded: deleting one sheet frees other top-level widgets of the list (its popups).
  QList<QPointer<COnglets>> sheets;
  for (QWidget* topLevel : QApplication::topLevelWidgets())
    if (auto* sheet = qobject_cast<COnglets*>(topLevel)) sheets << sheet;
  for (const QPointer<COnglets>& sheet : sheets) delete sheet.data();
}
