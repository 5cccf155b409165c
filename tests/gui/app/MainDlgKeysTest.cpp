// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "core/config/PrivateProfile.h"
#include "core/platform/Volumes.h"
#include "gui/app/MainDlg.h"
#include "support/ConfigOption.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/TreeRows.h"

namespace fs = std::filesystem;
using koral::test::EntryNames;
using koral::test::FindRow;
using koral::test::RowTexts;
using koral::test::WriteFile;

namespace {

// A computer folder and a player, no real volumes, every message recorded.
struct Sandbox {
  Sandbox() {
    koral::SetVolumeSourceForTesting(&volumes);
    SetConfigOption("repertoires", "pc", Computer().string(), env.ConfigIni().string());
  }
  ~Sandbox() { koral::SetVolumeSourceForTesting(nullptr); }

  fs::path Computer() const { return env.ComputerDir(); }
  fs::path Player() const { return env.PlayerDir(); }
  std::unique_ptr<CMainDlg> OpenWindow() const {
    auto window = std::make_unique<CMainDlg>(koral::test::CurrentContext());
    window->show();
    return window;
  }

  koral::test::TestEnvironment env;
  koral::FixedVolumeSource volumes{{}};
  koral::test::PromptRecorder prompts;
};

QTreeWidget* ComputerList(CMainDlg& window) { return window.findChild<QTreeWidget*>("computerList"); }
QTreeWidget* PlayerList(CMainDlg& window) { return window.findChild<QTreeWidget*>("playerList"); }
QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

// The keyboard's row: focused and selected, as a click leaves it.
void MarkRow(QTreeWidget* list, const QString& name) {
  QTreeWidgetItem* row = FindRow(list, name);
  QVERIFY2(row != nullptr, qPrintable(name));
  list->setCurrentItem(row);
}

// Waits until the count before a question, the question and the operation are over.
void WaitForPlayerControls(CMainDlg& window) {
  QTRY_VERIFY(window.findChild<QPushButton*>("deleteButton")->isEnabled());
}

}  // namespace

class MainDlgKeysTest final : public QObject {
  Q_OBJECT

 private slots:
  void enterOnAChoiceChangesNothingAndOnAButtonPressesIt();
  void enterOpensFoldersAndBackspaceAndAltUpGoToTheParent();
  void thePlayerListGoesNoHigherThanItsRoot();
  void ctrlASelectsEveryRowButTheParentAndDeleteAsksFirst();
  void aCancelledDeleteOrEmptyingLeavesEverything();
  void theQuestionsCountTheFilesInsideAndTheirSize();
  void emptyingOnlyDatAndIniFilesAsksNothing();
  void theRefreshedPlayerListIsInNameOrder();
};

void MainDlgKeysTest::enterOnAChoiceChangesNothingAndOnAButtonPressesIt() {
  Sandbox box;
  auto window = box.OpenWindow();
  auto* follow = window->findChild<QCheckBox*>("followPlaylistCheck");
  const bool followed = follow->isChecked();

  QTest::keyClick(follow, Qt::Key_Return);
  QTest::keyClick(window->findChild<QRadioButton*>("numberOnlyRadio"), Qt::Key_Enter, Qt::KeypadModifier);

  QVERIFY(window->isVisible());
  QCOMPARE(follow->isChecked(), followed);
  QVERIFY(box.prompts.messages.empty());

  // Nothing is selected in the player list: the pressed button says so, and the window stays.
  QTest::keyClick(window->findChild<QPushButton*>("deleteButton"), Qt::Key_Return);
  QCOMPARE(box.prompts.messages.size(), size_t{1});
  QCOMPARE(box.prompts.messages[0].text, QString("Aucun fichier sélectionné"));
  QVERIFY(window->isVisible());
}

void MainDlgKeysTest::enterOpensFoldersAndBackspaceAndAltUpGoToTheParent() {
  Sandbox box;
  WriteFile(box.Computer() / "Album/piste.mp3", "x");
  WriteFile(box.Computer() / "b.mp3", "x");
  WriteFile(box.Player() / "Musique/titre.mp3", "x");
  auto window = box.OpenWindow();
  QTreeWidget* computer = ComputerList(*window);
  QTreeWidget* player = PlayerList(*window);

  MarkRow(computer, "Album");
  QTest::keyClick(computer, Qt::Key_Return);
  QCOMPARE(window->ComputerFolder(), Q(box.Computer() / "Album"));
  QTest::keyClick(computer, Qt::Key_Backspace);
  QCOMPARE(window->ComputerFolder(), Q(box.Computer()));
  QCOMPARE(computer->currentItem()->text(0), QString("Album"));  // marked again: Enter goes back in
  QVERIFY(computer->currentItem()->isSelected());

  MarkRow(computer, "b.mp3");
  QTest::keyClick(computer, Qt::Key_Return);
  QCOMPARE(window->ComputerFolder(), Q(box.Computer()));
  QVERIFY(window->isVisible());

  MarkRow(player, "Musique");
  QTest::keyClick(player, Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(window->PlayerFolder(), Q(box.Player() / "Musique"));
  QCOMPARE(RowTexts(player), (QStringList{"..", "titre.mp3"}));
  QTest::keyClick(player, Qt::Key_Up, Qt::AltModifier);
  QCOMPARE(window->PlayerFolder(), Q(box.Player()));
}

void MainDlgKeysTest::thePlayerListGoesNoHigherThanItsRoot() {
  Sandbox box;
  WriteFile(box.Player() / "a.mp3", "x");
  auto window = box.OpenWindow();
  QTest::keyClick(PlayerList(*window), Qt::Key_Backspace);
  QTest::keyClick(PlayerList(*window), Qt::Key_Up, Qt::AltModifier);
  QCOMPARE(window->PlayerFolder(), Q(box.Player()));
  QVERIFY(window->isVisible());
}

void MainDlgKeysTest::ctrlASelectsEveryRowButTheParentAndDeleteAsksFirst() {
  Sandbox box;
  for (const char* name : {"Musique/a.mp3", "Musique/Live/b.mp3"}) WriteFile(box.Player() / name, "x");
  auto window = box.OpenWindow();
  QTreeWidget* player = PlayerList(*window);
  MarkRow(player, "Musique");
  QTest::keyClick(player, Qt::Key_Return);

  QTest::keyClick(player, Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(player->selectedItems().size(), 2);
  QVERIFY(!FindRow(player, "..")->isSelected());
  box.prompts.questionAnswers = {true};
  QTest::keyClick(player, Qt::Key_Delete);
  WaitForPlayerControls(*window);

  QCOMPARE(box.prompts.questions.size(), size_t{1});
  QCOMPARE(box.prompts.questions[0].title, QString("Supprimer de l'Koral"));
  QVERIFY(fs::is_empty(box.Player() / "Musique"));
  QCOMPARE(RowTexts(player), QStringList{".."});
  QVERIFY(box.prompts.messages.empty());  // no guard: ".." was never selected
  QVERIFY(window->isVisible());
}

void MainDlgKeysTest::aCancelledDeleteOrEmptyingLeavesEverything() {
  Sandbox box;
  for (const char* name : {"Settings.dat", "a.mp3", "Album/b.mp3"}) WriteFile(box.Player() / name, "x");
  auto window = box.OpenWindow();
  box.prompts.questionAnswers = {false, false};

  PlayerList(*window)->selectAll();
  QTest::keyClick(PlayerList(*window), Qt::Key_Delete);
  WaitForPlayerControls(*window);
  window->findChild<QPushButton*>("emptyButton")->click();
  WaitForPlayerControls(*window);

  QCOMPARE(box.prompts.questions.size(), size_t{2});
  QCOMPARE(box.prompts.questions[1].title, QString("Vider Koral"));
  QCOMPARE(EntryNames(box.Player()), (std::vector<std::string>{"Album", "Settings.dat", "a.mp3"}));
  QVERIFY(fs::exists(box.Player() / "Album/b.mp3"));
}

void MainDlgKeysTest::theQuestionsCountTheFilesInsideAndTheirSize() {
  Sandbox box;
  WriteFile(box.Player() / "Settings.dat", std::string(100, 's'));
  WriteFile(box.Player() / "Album/a.mp3", std::string(2000, 'a'));
  WriteFile(box.Player() / "Album/Disc/b.mp3", std::string(1000, 'b'));
  WriteFile(box.Player() / "c.mp3", std::string(48, 'c'));
  auto window = box.OpenWindow();
  box.prompts.questionAnswers = {false, true};  // "Annuler" the delete, "Vider" the player

  koral::test::SelectRows(PlayerList(*window), {"Album", "c.mp3"});
  window->findChild<QPushButton*>("deleteButton")->click();
  WaitForPlayerControls(*window);
  window->findChild<QPushButton*>("emptyButton")->click();
  WaitForPlayerControls(*window);

  QCOMPARE(box.prompts.questions.size(), size_t{2});
  QCOMPARE(box.prompts.questions[0].text,
           QString("Supprimer 2 éléments de l'Koral (3 fichiers, 2 Ko) ?\n\nc.mp3\nAlbum"));
  QCOMPARE(box.prompts.questions[1].text,
           QString("Vider l'Koral : 3 fichiers (2 Ko) seront supprimés ; les fichiers DAT et INI de sa racine sont "
                   "gardés."));
  QCOMPARE(EntryNames(box.Player()), std::vector<std::string>{"Settings.dat"});
}

void MainDlgKeysTest::emptyingOnlyDatAndIniFilesAsksNothing() {
  Sandbox box;
  for (const char* name : {"Settings.dat", "Koral.INI"}) WriteFile(box.Player() / name, "x");
  auto window = box.OpenWindow();
  window->findChild<QPushButton*>("emptyButton")->click();
  WaitForPlayerControls(*window);
  QVERIFY(box.prompts.questions.empty());
  QVERIFY(box.prompts.messages.empty());
  QCOMPARE(EntryNames(box.Player()), (std::vector<std::string>{"Koral.INI", "Settings.dat"}));
}

void MainDlgKeysTest::theRefreshedPlayerListIsInNameOrder() {
  Sandbox box;
  WriteFile(box.Player() / "gone.mp3", "x");
  auto window = box.OpenWindow();
  for (const char* name : {"10 - j.mp3", "07 - g.mp3", "01 - a.mp3", "08 - h.mp3", "Zeta/x", "alpha/x"})
    WriteFile(box.Player() / name, "x");

  // A delete ends with the player list listed again, as a copy does.
  MarkRow(PlayerList(*window), "gone.mp3");
  box.prompts.questionAnswers = {true};
  QTest::keyClick(PlayerList(*window), Qt::Key_Delete);
  WaitForPlayerControls(*window);

  QCOMPARE(RowTexts(PlayerList(*window)),
           (QStringList{"01 - a.mp3", "07 - g.mp3", "08 - h.mp3", "10 - j.mp3", "alpha", "Zeta"}));
}

QTEST_MAIN(MainDlgKeysTest)
#include "MainDlgKeysTest.moc"
