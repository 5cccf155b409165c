#include <clocale>
#include <cstdio>
#include <cstdlib>

#include <QApplication>

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

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // numbers in files are read and written with a point
  Q_INIT_RESOURCE(resources);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/koral-config.png")));

  bool demo = false;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--player" && hasValue) qputenv("KORAL_PLAYER", arguments[++i].toLocal8Bit());
    else if (argument == "--config-dir" && hasValue) qputenv("KORAL_CONFIG_DIR", arguments[++i].toLocal8Bit());
    else if (argument == "--demo") demo = true;
    else if (argument == "--help") return Usage(stdout, 0);
    else return Usage(stderr, 2);
  }
  if (demo) {
    const auto folder = koral::EnsureDemoPlayer(koral::ConfigIniPath(), koral::RadiosIniPath());
    qputenv("KORAL_PLAYER", QByteArray::fromStdString(folder.string()));
  }

  CMainDlg window;
  window.exec();
  // Sheets still open store their pages' options as they go, as when closed by hand.
  for (QWidget* topLevel : QApplication::topLevelWidgets())
    if (qobject_cast<COnglets*>(topLevel) != nullptr) delete topLevel;
  return 0;
}
