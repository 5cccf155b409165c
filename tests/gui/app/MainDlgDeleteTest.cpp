// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/config/PrivateProfile.h"
#include "core/platform/Volumes.h"
#include "gui/app/MainDlg.h"
#include "gui/files/NewFolderDlg.h"
#include "support/ConfigOption.h"
#include "support/ScopedMount.h"
#include "support/TestEnvironment.h"
#include "support/Undeletable.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/TreeRows.h"
#include "support/gui/WidgetLookup.h"

namespace fs = std::filesystem;
using koral::test::ClickButton;
using koral::test::ClickHeader;
using koral::test::DoubleClickRow;
using koral::test::EntryNames;
using koral::test::RowTexts;
using koral::test::SelectRows;
using koral::test::WriteFile;

namespace {

// A sandbox with a player folder, no real volumes, and every message recorded.
struct Sandbox {
  Sandbox() { koral::SetVolumeSourceForTesting(&volumes); }
  ~Sandbox() { koral::SetVolumeSourceForTesting(nullptr); }

  fs::path Player() const { return env.PlayerDir(); }
  std::unique_ptr<CMainDlg> OpenWindow() const { return std::make_unique<CMainDlg>(koral::test::CurrentContext()); }

  koral::test::TestEnvironment env;
  koral::FixedVolumeSource volumes{{}};
  koral::test::PromptRecorder prompts;
};

QTreeWidget* PlayerList(CMainDlg& window) { return window.findChild<QTreeWidget*>("playerList"); }

// The player list's names, sorted.
QStringList RowNames(CMainDlg& window) {
  QStringList names = RowTexts(PlayerList(window));
  names.sort();
  return names;
}

// Presses "Supprimer de l'Koral" or "Vider Koral" and waits until the count
// before its question, the question and the operation are over.
void PressAndWait(CMainDlg& window, const char* name) {
  ClickButton(&window, name);
  QTRY_VERIFY(window.findChild<QPushButton*>(name)->isEnabled());
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

void MakeReadOnly(const fs::path& path) { fs::permissions(path, fs::perms::owner_read | fs::perms::group_read); }

// Answers the create-directory dialog once it is up: reports the name it
// shows, then types `name` (over the name shown, as a user would, unless
// clearFirst) and presses OK, or presses "Annuler" when cancel.
void AnswerNewFolderDialog(const QString& name, bool cancel, bool clearFirst, QString* shown, int triesLeft = 100) {
  QTimer::singleShot(0, [=] {
    CNewFolderDlg* dialog = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* candidate = qobject_cast<CNewFolderDlg*>(widget); candidate && candidate->isVisible())
        dialog = candidate;
    if (dialog == nullptr) {
      if (triesLeft > 0) AnswerNewFolderDialog(name, cancel, clearFirst, shown, triesLeft - 1);
      return;
    }
    auto* edit = dialog->findChild<QLineEdit*>("folderNameEdit");
    *shown = edit->text();
    if (clearFirst) edit->clear();
    QTest::keyClicks(edit, name);
    dialog->findChild<QPushButton*>(cancel ? "cancelButton" : "okButton")->click();
  });
}

// Runs "Créer un répertoire" and answers its dialog; returns the name it showed.
QString CreateDirectory(CMainDlg& window, const QString& name, bool cancel = false, bool clearFirst = true) {
  QString shown;
  AnswerNewFolderDialog(name, cancel, clearFirst, &shown);
  window.findChild<QAction*>("createDirectoryAction")->trigger();
  return shown;
}

}  // namespace

class MainDlgDeleteTest final : public QObject {
  Q_OBJECT

 private slots:
  void deletesReadOnlyAndHiddenFilesAtTheTopAndInsideATree();
  void deletingNothingSelectedSaysSo();
  void theParentEntryIsRefusedTheOthersGoThenTheWindowCloses();
  void aLinkToAnOutsideFolderGoesItsTargetStays();
  void emptyingKeepsTheRootsDatAndIniFiles();
  void emptyingAnEmptyPlayerSaysSo();
  void createsAFolderAndRefusesNamesThatLeaveThePlayer();
  void aCancelledCreationKeepsTheLastConfirmedName();
  void nothingIsCreatedWithoutAPlayer();
  void aFolderThatStaysGivesOneMessageEachInBothModes();
  void emptyingFromASubFolderEmptiesAndListsTheRoot();
  void aBackslashInTheNameSeparatesFolders();
  void emptyingReListsTheRootAsOpeningAFolderDoes();
  void aFolderReachedThroughAnOutsideLinkIsNeverChanged();
  void aCreatedFolderTakesThePlayersNameRulesAndSaysWhichNameItGot();
  void noFolderIsCreatedThroughAMountInsideThePlayer();
  void aNameThatIsNotUtf8DeletesExactlyTheEntryShown();
};

void MainDlgDeleteTest::deletesReadOnlyAndHiddenFilesAtTheTopAndInsideATree() {
  Sandbox box;
  for (const char* name : {"Settings.dat", "locked.mp3", ".hidden", "Album/locked.mp3", "Album/.hidden",
                           "Album/Disc 2/track.mp3", "Live../track.mp3"})
    WriteFile(box.Player() / name, "x");
  MakeReadOnly(box.Player() / "locked.mp3");
  MakeReadOnly(box.Player() / "Album/locked.mp3");
  auto window = box.OpenWindow();

  // A folder whose name merely ends in two dots is no parent entry.
  SelectRows(PlayerList(*window), {"locked.mp3", ".hidden", "Album", "Live.."});
  box.prompts.questionAnswers.push_back(true);
  PressAndWait(*window, "deleteButton");

  QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Settings.dat"});
  QCOMPARE(RowNames(*window), QStringList{"Settings.dat"});
  QVERIFY(box.prompts.messages.empty());
}

void MainDlgDeleteTest::deletingNothingSelectedSaysSo() {
  Sandbox box;
  WriteFile(box.Player() / "a.mp3", "x");
  auto window = box.OpenWindow();

  PressAndWait(*window, "deleteButton");

  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(box.prompts.messages[0].text, QString("Aucun fichier sélectionné"));
  QCOMPARE(box.prompts.messages[0].title, QString("Suppression impossible"));
  QVERIFY(fs::exists(box.Player() / "a.mp3"));
}

void MainDlgDeleteTest::theParentEntryIsRefusedTheOthersGoThenTheWindowCloses() {
  Sandbox box;
  for (const char* name : {"Musique/a.mp3", "Musique/b.mp3", "Musique/c.mp3"}) WriteFile(box.Player() / name, "x");
  auto window = box.OpenWindow();
  window->show();
  DoubleClickRow(PlayerList(*window), "Musique");

  SelectRows(PlayerList(*window), {"..", "a.mp3", "b.mp3"});
  box.prompts.questionAnswers.push_back(true);
  ClickButton(window.get(), "deleteButton");
  QTRY_VERIFY(!window->isVisible());

  // The guard, the others deleted and the list refreshed, then the window closed.
  QCOMPARE(box.prompts.questions.size(), size_t{1});
  QCOMPARE(box.prompts.questions[0].text,
           QString("Supprimer 2 éléments de l'Koral (2 fichiers, 2 o) ?\n\na.mp3\nb.mp3"));
  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(box.prompts.messages[0].text,
           QString("T'es barge? Ne t'amuse surtout pas à vouloir supprimer '..'! Allez, on sort de là!"));
  QCOMPARE(box.prompts.messages[0].title, QString("Faut pas faire çà!"));
  QCOMPARE(EntryNames(box.Player() / "Musique"), std::vector<std::string>{"c.mp3"});
  QCOMPARE(RowNames(*window), (QStringList{"..", "c.mp3"}));
  QCOMPARE(window->result(), int(QDialog::Accepted));
  QVERIFY(fs::exists(box.Player().parent_path()));
}

void MainDlgDeleteTest::aLinkToAnOutsideFolderGoesItsTargetStays() {
  Sandbox box;
  const fs::path target = box.env.ComputerDir() / "Albums";
  WriteFile(target / "song.mp3", "precious");
  WriteFile(target / "Live/track.mp3", "precious");
  fs::create_directory_symlink(target, box.Player() / "link");
  fs::create_directories(box.Player() / "Tree");
  fs::create_directory_symlink(target, box.Player() / "Tree/innerLink");
  auto window = box.OpenWindow();

  SelectRows(PlayerList(*window), {"link", "Tree"});
  box.prompts.questionAnswers.push_back(true);
  PressAndWait(*window, "deleteButton");

  QVERIFY(fs::is_empty(box.Player()));
  QCOMPARE(koral::test::ReadFile(target / "song.mp3"), std::string("precious"));
  QCOMPARE(koral::test::ReadFile(target / "Live/track.mp3"), std::string("precious"));
  QVERIFY(box.prompts.messages.empty());
}

void MainDlgDeleteTest::emptyingKeepsTheRootsDatAndIniFiles() {
  Sandbox box;
  for (const char* name : {"Settings.dat", "Config.INI", "a.mp3", "README", "Musique/Rock/song.mp3", "Musique/keep.ini",
                           "x.dat/inner.txt"})
    WriteFile(box.Player() / name, "x");
  MakeReadOnly(box.Player() / "a.mp3");
  auto window = box.OpenWindow();

  box.prompts.questionAnswers.push_back(true);
  PressAndWait(*window, "emptyButton");

  QCOMPARE(EntryNames(box.Player()), (std::vector<std::string>{"Config.INI", "Settings.dat"}));
  QCOMPARE(RowNames(*window), (QStringList{"Config.INI", "Settings.dat"}));
  QVERIFY(box.prompts.messages.empty());

  PressAndWait(*window, "emptyButton");  // nothing left to delete, nothing said
  QCOMPARE(EntryNames(box.Player()), (std::vector<std::string>{"Config.INI", "Settings.dat"}));
  QVERIFY(box.prompts.messages.empty());
}

void MainDlgDeleteTest::emptyingAnEmptyPlayerSaysSo() {
  Sandbox box;
  auto window = box.OpenWindow();

  PressAndWait(*window, "emptyButton");

  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(box.prompts.messages[0].text, QString("L'Koral est vide !"));
  QCOMPARE(box.prompts.messages[0].title, QString("T'es aveugle?"));
}

void MainDlgDeleteTest::createsAFolderAndRefusesNamesThatLeaveThePlayer() {
  Sandbox box;
  auto window = box.OpenWindow();

  CreateDirectory(*window, "Musique");
  QVERIFY(fs::is_directory(box.Player() / "Musique"));
  QCOMPARE(RowNames(*window), QStringList{"Musique"});
  QVERIFY(box.prompts.messages.empty());

  const fs::path outside = box.env.ComputerDir();
  for (const QString& name : {QString(""), QString("../escape"), QString("Musique/../../escape"),
                              QString::fromStdString((outside / "escape").string()), QString("Musique")}) {
    box.prompts.messages.clear();
    CreateDirectory(*window, name);
    QCOMPARE(box.prompts.messages.size(), size_t{1});
    QCOMPARE(box.prompts.messages[0].text, QString("Création du répertoire impossible"));
    QCOMPARE(box.prompts.messages[0].title, QString("Erreur"));
  }
  QVERIFY(!fs::exists(box.Player().parent_path() / "escape"));
  QVERIFY(fs::is_empty(outside));
  QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Musique"});
}

void MainDlgDeleteTest::aCancelledCreationKeepsTheLastConfirmedName() {
  Sandbox box;
  auto window = box.OpenWindow();

  QCOMPARE(CreateDirectory(*window, "Rock"), QString(""));
  QCOMPARE(CreateDirectory(*window, "Jazz", true), QString("Rock"));
  QCOMPARE(CreateDirectory(*window, "Blues", true), QString("Rock"));
  // The name shown is selected: typing replaces it.
  QCOMPARE(CreateDirectory(*window, "Jazz", false, false), QString("Rock"));

  QCOMPARE(EntryNames(box.Player()), (std::vector<std::string>{"Jazz", "Rock"}));
}

void MainDlgDeleteTest::nothingIsCreatedWithoutAPlayer() {
  Sandbox box;
  box.env.ForgetPlayer();
  auto window = box.OpenWindow();
  box.prompts.messages.clear();  // the start-up warning
  const std::string name = "koral-test-never-created-" + std::to_string(QCoreApplication::applicationPid());

  CreateDirectory(*window, QString::fromStdString(name));

  const bool created = fs::exists(fs::path("/") / name);
  std::error_code ignored;
  fs::remove(fs::path("/") / name, ignored);
  QVERIFY(!created);
  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(box.prompts.messages[0].text, QString("Création du répertoire impossible"));
}

void MainDlgDeleteTest::aFolderThatStaysGivesOneMessageEachInBothModes() {
  Sandbox box;
  for (const char* name : {"Album/Disc/locked.mp3", "Album/Disc/other.mp3", "Album/a.mp3"})
    WriteFile(box.Player() / name, "x");
  const koral::test::Undeletable lock(box.Player() / "Album/Disc/locked.mp3");
  if (!lock.Held()) QSKIP("the immutable flag cannot be set here");
  const auto notEmpty = [&box](const char* folder) {
    return QStringLiteral("Impossible de supprimer le dossier '%1' : il n'est pas vide.")
        .arg(QString::fromStdString((box.Player() / folder).string()));
  };

  for (const bool win98 : {false, true}) {
    WriteFile(box.Player() / "b.mp3", "x");
    auto window = box.OpenWindow();
    window->findChild<QCheckBox*>("win98Check")->setChecked(win98);
    box.prompts.messages.clear();
    SelectRows(PlayerList(*window), {"Album", "b.mp3"});
    box.prompts.questionAnswers.push_back(true);
    PressAndWait(*window, "deleteButton");

    QCOMPARE(box.prompts.messages.size(), size_t{3});  // the file, then Disc, then Album
    QVERIFY2(box.prompts.messages[0].text.startsWith(QStringLiteral("Impossible de supprimer le fichier '%1' : ")
                                                         .arg(Q(box.Player() / "Album/Disc/locked.mp3"))),
             qPrintable(box.prompts.messages[0].text));
    QCOMPARE(box.prompts.messages[1].text, notEmpty("Album/Disc"));
    QCOMPARE(box.prompts.messages[2].text, notEmpty("Album"));
    for (const auto& message : box.prompts.messages) QCOMPARE(message.title, QString("Erreur"));
    QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Album"});
    QCOMPARE(EntryNames(box.Player() / "Album/Disc"), std::vector<std::string>{"locked.mp3"});
    QCOMPARE(RowNames(*window), QStringList{"Album"});
  }
}

void MainDlgDeleteTest::emptyingFromASubFolderEmptiesAndListsTheRoot() {
  Sandbox box;
  for (const char* name : {"Settings.dat", "Musique/Rock/song.mp3", "Musique/a.mp3"})
    WriteFile(box.Player() / name, "x");
  auto window = box.OpenWindow();
  window->show();
  DoubleClickRow(PlayerList(*window), "Musique");
  QCOMPARE(window->PlayerFolder(), Q(box.Player() / "Musique"));

  box.prompts.questionAnswers.push_back(true);
  PressAndWait(*window, "emptyButton");

  QCOMPARE(window->PlayerFolder(), Q(box.Player()));
  QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Settings.dat"});
  QCOMPARE(RowNames(*window), QStringList{"Settings.dat"});
  QVERIFY(box.prompts.messages.empty());
}

void MainDlgDeleteTest::emptyingReListsTheRootAsOpeningAFolderDoes() {
  Sandbox box;
  for (const char* name : {"a.mp3", "b.mp3"}) WriteFile(box.env.ComputerDir() / name, "x");
  SetConfigOption("repertoires", "pc", box.env.ComputerDir().string(), box.env.ConfigIni().string());
  WriteFile(box.Player() / "a.mp3", "x");
  auto window = box.OpenWindow();
  window->show();
  QTreeWidget* computer = window->findChild<QTreeWidget*>("computerList");
  ClickHeader(computer, 0);
  QCOMPARE(RowTexts(computer), (QStringList{"..", "b.mp3", "a.mp3"}));

  box.prompts.questionAnswers.push_back(true);
  PressAndWait(*window, "emptyButton");
  // Opening a folder clears the computer list's direction: Z to A once more.
  ClickHeader(computer, 0);

  QCOMPARE(RowTexts(computer), (QStringList{"..", "b.mp3", "a.mp3"}));
  QVERIFY(fs::is_empty(box.Player()));
}

void MainDlgDeleteTest::aBackslashInTheNameSeparatesFolders() {
  Sandbox box;
  fs::create_directories(box.Player() / "Musique");
  auto window = box.OpenWindow();

  CreateDirectory(*window, "Musique\\Jazz");
  QVERIFY(fs::is_directory(box.Player() / "Musique/Jazz"));
  QVERIFY(box.prompts.messages.empty());

  for (const QString& name : {QString("Absent\\Rock"), QString("Musique\\..\\..\\escape")}) {
    box.prompts.messages.clear();
    CreateDirectory(*window, name);
    QCOMPARE(box.prompts.messages.size(), size_t{1});
    QCOMPARE(box.prompts.messages[0].text, QString("Création du répertoire impossible"));
  }
  QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Musique"});
  QCOMPARE(EntryNames(box.Player() / "Musique"), std::vector<std::string>{"Jazz"});
  QVERIFY(!fs::exists(box.Player().parent_path() / "escape"));
}

void MainDlgDeleteTest::aFolderReachedThroughAnOutsideLinkIsNeverChanged() {
  Sandbox box;
  const fs::path outside = box.env.ComputerDir() / "Albums";
  WriteFile(outside / "song.mp3", "precious");
  WriteFile(box.Player() / "escape/song.mp3", "x");
  WriteFile(box.Player() / "Settings.dat", "x");
  auto window = box.OpenWindow();
  window->show();
  // The list follows no link off the player: the folder becomes one once the
  // window is in it.
  DoubleClickRow(PlayerList(*window), "escape");
  QCOMPARE(window->PlayerFolder(), Q(box.Player() / "escape"));
  fs::remove_all(box.Player() / "escape");
  fs::create_directory_symlink(outside, box.Player() / "escape");

  SelectRows(PlayerList(*window), {"song.mp3"});
  box.prompts.questionAnswers = {true, true};  // the delete, then the emptying
  PressAndWait(*window, "deleteButton");
  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QVERIFY(box.prompts.messages[0].text.contains("rien n'a été supprimé"));
  QCOMPARE(box.prompts.messages[0].title, QString("Suppression impossible"));

  box.prompts.messages.clear();
  CreateDirectory(*window, "created");
  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(box.prompts.messages[0].text, QString("Création du répertoire impossible"));

  PressAndWait(*window, "emptyButton");  // the root's own link goes, never what it shows
  QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Settings.dat"});
  QCOMPARE(EntryNames(outside), std::vector<std::string>{"song.mp3"});
  QCOMPARE(koral::test::ReadFile(outside / "song.mp3"), std::string("precious"));
}

// "\xE9t\xE9" is "été" in Windows-1252; the file beside it is spelt with
// U+FFFD, which is what a lossy decoding of the first name gives.
void MainDlgDeleteTest::aNameThatIsNotUtf8DeletesExactlyTheEntryShown() {
  const std::string latin = "\xE9t\xE9.mp3";
  const std::string replaced = "\xEF\xBF\xBDt\xEF\xBF\xBD.mp3";
  Sandbox box;
  for (const std::string& name : {latin, replaced, "Dossier \xE9t\xE9/" + latin, "Dossier \xE9t\xE9/" + replaced})
    WriteFile(box.Player() / name, name);
  auto window = box.OpenWindow();
  window->show();
  QCOMPARE(RowNames(*window), (QStringList{"Dossier été", "été.mp3", "\uFFFDt\uFFFD.mp3"}));

  SelectRows(PlayerList(*window), {"été.mp3"});
  box.prompts.questionAnswers.push_back(true);
  PressAndWait(*window, "deleteButton");
  QCOMPARE(EntryNames(box.Player()), (std::vector<std::string>{"Dossier \xE9t\xE9", replaced}));

  // Inside a folder whose own name is not UTF-8, the other one of the pair.
  DoubleClickRow(PlayerList(*window), "Dossier été");
  QCOMPARE(RowNames(*window), (QStringList{"..", "été.mp3", "\uFFFDt\uFFFD.mp3"}));
  SelectRows(PlayerList(*window), {"\uFFFDt\uFFFD.mp3"});
  box.prompts.questionAnswers.push_back(true);
  PressAndWait(*window, "deleteButton");
  QCOMPARE(EntryNames(box.Player() / "Dossier \xE9t\xE9"), std::vector<std::string>{latin});
  QCOMPARE(RowNames(*window), (QStringList{"..", "été.mp3"}));
  QVERIFY(box.prompts.messages.empty());
}

void MainDlgDeleteTest::aCreatedFolderTakesThePlayersNameRulesAndSaysWhichNameItGot() {
  Sandbox box;
  auto window = box.OpenWindow();

  CreateDirectory(*window, "Best of... ");

  QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Best of"});
  QCOMPARE(RowNames(*window), QStringList{"Best of"});
  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(box.prompts.messages[0].text,
           QString("Répertoire créé sous le nom 'Best of' : l'Koral ne garde pas le nom 'Best of... ' tel quel."));
}

void MainDlgDeleteTest::noFolderIsCreatedThroughAMountInsideThePlayer() {
  Sandbox box;
  const fs::path outside = box.env.ComputerDir() / "outside";
  fs::create_directories(outside);
  fs::create_directories(box.Player() / "Bound");
  const koral::test::ScopedMount bound(outside, box.Player() / "Bound");
  if (!bound.Held()) QSKIP("nothing can be mounted here");
  auto window = box.OpenWindow();
  window->show();

  DoubleClickRow(PlayerList(*window), "Bound");
  QCOMPARE(window->PlayerFolder(), Q(box.Player() / "Bound"));
  CreateDirectory(*window, "created");

  QVERIFY(fs::is_empty(outside));
  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(
      box.prompts.messages[0].text,
      QString("Création du répertoire impossible : '%1' est un autre volume monté dans l'Koral : rien n'y a été créé.")
          .arg(Q(box.Player() / "Bound")));
  QCOMPARE(box.prompts.messages[0].title, QString("Erreur"));
}

QTEST_MAIN(MainDlgDeleteTest)
#include "MainDlgDeleteTest.moc"
