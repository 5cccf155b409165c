// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/ConfigApp.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>

#include "core/about/VersionNotice.h"
#include "core/config/PrivateProfile.h"
#include "core/config/ProgramFolder.h"
#include "core/demo/DemoPlayer.h"
#include "core/settings/ImageBackup.h"
#include "gui/app/MainDlg.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/TerminationSignals.h"
#include "gui/common/Accessibility.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "gui/settings/Onglets.h"

namespace {

constexpr const char* kHelp =
    "Utilisation : koral-config [OPTION...]\n"
    "Musique, réglages et profils du baladeur Koral.\n\n"
    "Options :\n"
    "  --player=DOSSIER      la racine de l'Koral, sans détection (comme KORAL_PLAYER)\n"
    "  --config-dir=DOSSIER  le dossier de Config.ini et Radios.ini (comme KORAL_CONFIG_DIR)\n"
    "  --demo                utilise le baladeur de démonstration\n"
    "  -h, --help            affiche cette aide\n"
    "  --version             affiche la version de koral-config\n";

int UsageError(const QString& line) {
  std::fprintf(stderr, "%s\nEssayez « koral-config --help ».\n", line.toLocal8Bit().constData());
  return 2;
}

// Qt's own options, which QApplication takes out of the command line:
// those followed by a value, then those alone. "--name" is "-name" to Qt.
const QStringList kQtValueOptions = {QStringLiteral("platform"),
                                     QStringLiteral("platformpluginpath"),
                                     QStringLiteral("platformtheme"),
                                     QStringLiteral("plugin"),
                                     QStringLiteral("qwindowgeometry"),
                                     QStringLiteral("geometry"),
                                     QStringLiteral("qwindowtitle"),
                                     QStringLiteral("title"),
                                     QStringLiteral("qwindowicon"),
                                     QStringLiteral("icon"),
                                     QStringLiteral("session"),
                                     QStringLiteral("display"),
                                     QStringLiteral("name"),
                                     QStringLiteral("style"),
                                     QStringLiteral("stylesheet")};
const QStringList kQtFlagOptions = {
    QStringLiteral("reverse"), QStringLiteral("testability"), QStringLiteral("widgetcount"),  QStringLiteral("nograb"),
    QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("qmljsdebugger")};

// The command line as the window sees it once QApplication has taken its
// own options: read before it exists, an unknown option is refused even
// where no display could be opened.
QStringList WithoutQtOptions(const QStringList& arguments) {
  QStringList kept;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& word = arguments[i];
    if (i == 0 || !word.startsWith(QLatin1Char('-')) || word == QStringLiteral("--")) {
      kept << word;
      continue;
    }
    const QString name = word.mid(word.startsWith(QStringLiteral("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
    const bool valueJoined = word.contains(QLatin1Char('='));
    if (kQtValueOptions.contains(name)) i += valueJoined ? 0 : 1;
    else if (!kQtFlagOptions.contains(name)) kept << word;
  }
  return kept;
}

// The window's command line, read with or without the application object.
class WindowCommandLine final {
 public:
  WindowCommandLine() { m_parser.addOptions({m_player, m_configDir, m_demo, m_help, m_version}); }

  bool Parse(const QStringList& arguments) {
    return m_parser.parse(arguments) && m_parser.positionalArguments().isEmpty();
  }

  // The one line for a command line Parse refused.
  QString ErrorLine() const {
    if (!m_parser.positionalArguments().isEmpty())
      return QStringLiteral("Argument inattendu : ") + m_parser.positionalArguments().front();
    const QStringList unknown = m_parser.unknownOptionNames();
    if (unknown.isEmpty()) return m_parser.errorText();
    const QString& name = unknown.front();
    return QStringLiteral("Option inconnue : ") + (name.size() == 1 ? "-" : "--") + name;
  }

  // After --help or --version, the exit status once the answer is printed.
  std::optional<int> Answer() const {
    if (m_parser.isSet(m_help)) return std::fputs(kHelp, stdout) >= 0 ? 0 : 1;
    if (m_parser.isSet(m_version))
      return std::fputs(koral::VersionNotice("koral-config", KORAL_VERSION).c_str(), stdout) >= 0 ? 0 : 1;
    return std::nullopt;
  }

  std::optional<QString> Player() const { return ValueOf(m_player); }
  std::optional<QString> ConfigDir() const { return ValueOf(m_configDir); }
  bool Demo() const { return m_parser.isSet(m_demo); }

 private:
  std::optional<QString> ValueOf(const QCommandLineOption& option) const {
    if (!m_parser.isSet(option)) return std::nullopt;
    return m_parser.value(option);
  }

  QCommandLineParser m_parser;
  const QCommandLineOption m_player{QStringLiteral("player"), QString(), QStringLiteral("DOSSIER")};
  const QCommandLineOption m_configDir{QStringLiteral("config-dir"), QString(), QStringLiteral("DOSSIER")};
  const QCommandLineOption m_demo{QStringLiteral("demo")};
  const QCommandLineOption m_help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
  const QCommandLineOption m_version{QStringLiteral("version")};
};

}  // namespace

// The environment is read here, once; the core reads none.
CConfigApp::CConfigApp(QApplication& application)
    : m_application(application), m_context(koral::RunContextFromEnvironment(std::getenv)) {
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/koral-config.png")));
  // A sheet left open must not keep the program alive: it ends with the main window.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallFrenchQtTexts();
  InstallAccessibleInterfaces();
}

CConfigApp::~CConfigApp() = default;

// Qt's own texts (file dialogs, standard buttons, the fields' context menu)
// speak French like the program, whatever the user's locale. Without the
// translation installed they stay in English.
void CConfigApp::InstallFrenchQtTexts() {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (m_qtTranslator.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder))
    QApplication::installTranslator(&m_qtTranslator);
}

std::optional<int> CConfigApp::AnswerWithoutWindow(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  WindowCommandLine commandLine;
  // Qt's own options (-platform, -style) are not known here: a line that
  // holds nothing else waits for the application object.
  if (!commandLine.Parse(arguments)) {
    WindowCommandLine ownOptions;
    if (ownOptions.Parse(WithoutQtOptions(arguments))) return std::nullopt;
    return UsageError(ownOptions.ErrorLine());
  }
  return commandLine.Answer();
}

bool CConfigApp::ReadArguments(const QStringList& arguments) {
  WindowCommandLine commandLine;
  if (!commandLine.Parse(arguments)) m_usageStatus = UsageError(commandLine.ErrorLine());
  else if (const auto answered = commandLine.Answer()) m_usageStatus = *answered;
  if (m_usageStatus >= 0) return false;
  if (const auto player = commandLine.Player()) {
    m_context.player = player->toLocal8Bit().toStdString();
    m_namedPlayer = *player;
  }
  if (const auto folder = commandLine.ConfigDir()) m_context.configDir = folder->toLocal8Bit().toStdString();
  m_demo = commandLine.Demo();
  return true;
}

int CConfigApp::Run() {
  if (!ReadArguments(QApplication::arguments())) return m_usageStatus;
  koral::SetImageBackupFolder(m_context);
  koral::PrepareProgramFolder(m_context);
  if (m_demo) {
    const auto folder =
        koral::EnsureDemoPlayer(m_context.dataHome, koral::ConfigIniPath(m_context), koral::RadiosIniPath(m_context));
    m_context.player = folder.string();
    m_namedPlayer = PathFromStd(folder.string());
  }
  if (const auto handed = HandToRunningWindow()) return *handed;
  {
    CMainDlg window(m_context);
    QObject::connect(&window, &QDialog::finished, &m_application, &QCoreApplication::quit, Qt::QueuedConnection);
    // A session ending or a `kill` closes the window in order, so that its
    // options are saved; before, there is nothing to lose.
    CTerminationSignals termination;
    QObject::connect(&termination, &CTerminationSignals::received, &window, &CMainDlg::CloseWithoutQuestions);
    QObject::connect(&termination, &CTerminationSignals::received, [this] { m_terminated = true; });
    QObject::connect(m_singleInstance.get(), &CSingleInstance::startedAgain, &window, &CMainDlg::OnStartedAgain,
                     Qt::QueuedConnection);
    window.show();
    QApplication::exec();
    CloseOpenSheets();
  }  // the main window saves its options as it goes
  TellUnwrittenOptions();
  return 0;  // also after a termination signal: the program ended in order
}

// A window already open on this configuration folder takes the start instead:
// two windows would each write their own options over the other's.
std::optional<int> CConfigApp::HandToRunningWindow() {
  m_singleInstance = std::make_unique<CSingleInstance>(CSingleInstance::ServerNameFor(koral::ProgramFolder(m_context)));
  // The running window has its own working folder.
  const QString player =
      m_namedPlayer.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(m_namedPlayer).absoluteFilePath());
  switch (m_singleInstance->ClaimOrHand(player)) {
    case CSingleInstance::Claim::Running: return std::nullopt;
    case CSingleInstance::Claim::Handed: return 0;
    case CSingleInstance::Claim::Unanswered: break;
  }
  std::fputs("koral-config est déjà ouvert sur ce dossier de configuration, mais ne répond pas.\n", stderr);
  return 1;
}

// Said once, when every option has been tried: a read-only Config.ini would
// otherwise refuse each option of each window with a box of its own.
void CConfigApp::TellUnwrittenOptions() const {
  QStringList lines;
  for (const auto& unwritten : koral::UnwrittenProfileFiles())
    lines << QString::fromStdString(koral::UnwrittenOptionsText(unwritten));
  if (lines.isEmpty()) return;
  // Ended by a signal, nobody may be there to answer a box.
  if (m_terminated) std::fprintf(stderr, "%s\n", lines.join(QLatin1Char('\n')).toLocal8Bit().constData());
  else Prompt::Message(nullptr, lines.join(QLatin1Char('\n')), QStringLiteral("Options non enregistrées"));
}

void CConfigApp::CloseOpenSheets() {
  // Guarded: deleting one sheet frees other top-level widgets of the list (its popups).
  QList<QPointer<COnglets>> sheets;
  for (QWidget* topLevel : QApplication::topLevelWidgets())
    if (auto* sheet = qobject_cast<COnglets*>(topLevel)) sheets << sheet;
  for (const QPointer<COnglets>& sheet : sheets) {
    if (!sheet.isNull()) sheet->StoreOptions();
    delete sheet.data();
  }
}
