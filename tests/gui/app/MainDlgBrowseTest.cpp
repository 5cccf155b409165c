// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "core/config/PrivateProfile.h"
#include "core/platform/Volumes.h"
#include "gui/app/MainDlg.h"
#include "gui/files/NewFolderDlg.h"
#include "support/ConfigOption.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/TreeRows.h"

namespace fs = std::filesystem;
using koral::test::ClickHeader;
using koral::test::DoubleClickRow;
using koral::test::FindRow;
using koral::test::RowTexts;
using koral::test::SelectRows;
using koral::test::WriteFile;

namespace {

constexpr size_t kMebibyte = 1048576;

// A computer drive (the sandbox's root) holding the computer folder, a second
// drive, a player, and every message recorded.
struct Sandbox {
  Sandbox() {
    WriteFile(Computer() / "a.mp3", std::string(3000, 'a'));  // 2 Ko
    WriteFile(Computer() / "b.txt", std::string(10, 'b'));
    WriteFile(Computer() / "c.ogg", std::string(1500, 'c'));  // 1 Ko
    WriteFile(Computer() / "README", std::string(5, 'r'));
    WriteFile(Computer() / "Alpha" / "inner.mp3", std::string(5 * kMebibyte / 2, 'i'));
    fs::create_directory(Computer() / "zeta");
    WriteFile(Player() / "note.txt", "n");
    WriteFile(Player() / "Musique" / "x.mp3", "x");
    WriteFile(otherDrive / "autre.wav", "w");
    SetConfigOption("repertoires", "pc", Computer().string(), env.ConfigIni().string());
    koral::SetVolumeSourceForTesting(&volumes);
  }
  ~Sandbox() { koral::SetVolumeSourceForTesting(nullptr); }

  fs::path Root() const { return env.ComputerDir().parent_path(); }
  fs::path Computer() const { return env.ComputerDir(); }
  fs::path Player() const { return env.PlayerDir(); }

  std::unique_ptr<CMainDlg> OpenWindow() const {
    auto window = std::make_unique<CMainDlg>(koral::test::CurrentContext());
    window->show();
    return window;
  }

  koral::test::TestEnvironment env;
  koral::test::TempDir otherDrive;
  koral::FixedVolumeSource volumes{
      {{Root().string(), "/dev/sda1", false}, {otherDrive.Path().string(), "/dev/sdb1", false}}};
  koral::test::PromptRecorder prompts;
};

QTreeWidget* ComputerList(CMainDlg& window) { return window.findChild<QTreeWidget*>("computerList"); }
QTreeWidget* PlayerList(CMainDlg& window) { return window.findChild<QTreeWidget*>("playerList"); }
QString LabelText(CMainDlg& window, const char* name) { return window.findChild<QLabel*>(name)->text(); }

QString InfoEntry(CMainDlg& window) {
  const std::unique_ptr<QMenu> menu = window.CreateListMenu(ComputerList(window));
  if (!menu || menu->actions().size() != 1) return QStringLiteral("<no menu>");
  return menu->actions().front()->text();
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

// Types `name` into the create-directory dialog once it is up and presses OK.
void AnswerNewFolderDialog(const QString& name) {
  QTimer::singleShot(0, [name] {
    auto* dialog = qobject_cast<CNewFolderDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return AnswerNewFolderDialog(name);
    auto* edit = dialog->findChild<QLineEdit*>("folderNameEdit");
    edit->clear();
    QTest::keyClicks(edit, name);
    dialog->findChild<QPushButton*>("okButton")->click();
  });
}

}  // namespace

class MainDlgBrowseTest final : public QObject {
  Q_OBJECT

 private slots:
  void startUpListsTheDriveThenTheComputerFolderInDefaultOrder() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer()));
    QCOMPARE(window->findChild<QComboBox*>("driveCombo")->currentText(), Q(sandbox.Root()));
    // "..", the files by type (README has none), then the folders.
    QCOMPARE(RowTexts(computer).mid(0, 5), (QStringList{"..", "README", "a.mp3", "c.ogg", "b.txt"}));
    QStringList folders = RowTexts(computer).mid(5);
    folders.sort();
    QCOMPARE(folders, (QStringList{"Alpha", "zeta"}));
    QCOMPARE(RowTexts(computer, 1).mid(0, 5), (QStringList{"dossier", "", "mp3", "ogg", "txt"}));
    QCOMPARE(RowTexts(computer, 2).mid(0, 5), (QStringList{"", "5 o", "2 Ko", "1 Ko", "10 o"}));
    QCOMPARE(FindRow(computer, "Alpha")->text(1), QStringLiteral("dossier"));
    QCOMPARE(FindRow(computer, "Alpha")->text(2), QString());
    QVERIFY(!LabelText(*window, "computerTotalLabel").isEmpty());
    QVERIFY(LabelText(*window, "computerTotalLabel") != QStringLiteral("0 o"));
    QVERIFY(sandbox.prompts.messages.empty());
  }

  void thePlayerListShowsNoParentAtThePlayerRoot() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* player = PlayerList(*window);
    QCOMPARE(RowTexts(player), (QStringList{"note.txt", "Musique"}));
    QVERIFY(LabelText(*window, "playerFreeLabel").endsWith("o"));
    DoubleClickRow(player, "Musique");
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player() / "Musique"));
    QCOMPARE(RowTexts(player), (QStringList{"..", "x.mp3"}));
    DoubleClickRow(player, "..");
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player()));
    QCOMPARE(RowTexts(player), (QStringList{"note.txt", "Musique"}));
  }

  void nameClicksGoZToAThenAToZWithFoldersAfterFiles() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    const QStringList zToA{"..", "README", "c.ogg", "b.txt", "a.mp3", "zeta", "Alpha"};
    const QStringList aToZ{"..", "a.mp3", "b.txt", "c.ogg", "README", "Alpha", "zeta"};
    ClickHeader(computer, 0);
    QCOMPARE(RowTexts(computer), zToA);
    ClickHeader(computer, 0);
    QCOMPARE(RowTexts(computer), aToZ);
    ClickHeader(computer, 0);
    QCOMPARE(RowTexts(computer), zToA);
  }

  void sizeClicksGoSmallestFirstWithFoldersCountingZero() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    ClickHeader(computer, 0);
    ClickHeader(computer, 2);
    QStringList smallest = RowTexts(computer);
    QCOMPARE(smallest.front(), QStringLiteral(".."));
    QStringList zeroSized = smallest.mid(1, 2);
    zeroSized.sort();
    QCOMPARE(zeroSized, (QStringList{"Alpha", "zeta"}));
    QCOMPARE(smallest.mid(3), (QStringList{"README", "b.txt", "c.ogg", "a.mp3"}));
    ClickHeader(computer, 2);
    QCOMPARE(RowTexts(computer).mid(0, 5), (QStringList{"..", "a.mp3", "c.ogg", "b.txt", "README"}));
  }

  void typeClicksGoZToAAndTheSelectionStays() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    SelectRows(computer, {"b.txt", "Alpha"});
    ClickHeader(computer, 1);
    QCOMPARE(RowTexts(computer).mid(0, 5), (QStringList{"..", "b.txt", "c.ogg", "a.mp3", "README"}));
    QCOMPARE(computer->selectedItems().size(), 2);
    QVERIFY(FindRow(computer, "b.txt")->isSelected());
    QVERIFY(FindRow(computer, "Alpha")->isSelected());
  }

  void doubleClickOnTheParentListsTheParentAndOnAFileChangesNothing() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    ClickHeader(computer, 0);
    DoubleClickRow(computer, "a.mp3");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer()));
    QCOMPARE(RowTexts(computer).mid(0, 5),
             (QStringList{"..", "README", "a.mp3", "c.ogg", "b.txt"}));  // default order again

    DoubleClickRow(computer, "..");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Root()));
    QVERIFY(FindRow(computer, "computer") != nullptr);
    QVERIFY(FindRow(computer, "player") != nullptr);
    QCOMPARE(RowTexts(computer).front(), QStringLiteral(".."));  // only "/" has no parent row
    DoubleClickRow(computer, "computer");
    DoubleClickRow(computer, "Alpha");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer() / "Alpha"));
    QCOMPARE(RowTexts(computer), (QStringList{"..", "inner.mp3"}));
    QCOMPARE(RowTexts(computer, 2), (QStringList{"", "2.5 Mo"}));
  }

  void aVanishedFolderChangesNothing() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    fs::remove(sandbox.Computer() / "zeta");
    const QStringList before = RowTexts(computer);
    DoubleClickRow(computer, "zeta");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer()));
    QCOMPARE(RowTexts(computer), before);
  }

  void openingAFolderClearsTheComputerListsFlagOnly() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    ClickHeader(computer, 0);
    DoubleClickRow(computer, "Alpha");
    DoubleClickRow(computer, "..");
    ClickHeader(computer, 0);
    QCOMPARE(RowTexts(computer).mid(0, 2), (QStringList{"..", "README"}));  // Z to A again

    QTreeWidget* player = PlayerList(*window);
    ClickHeader(player, 0);
    DoubleClickRow(player, "Musique");
    DoubleClickRow(player, "..");
    WriteFile(sandbox.Player() / "autre.txt", "a");
    DoubleClickRow(player, "Musique");
    DoubleClickRow(player, "..");
    ClickHeader(player, 0);
    QCOMPARE(RowTexts(player), (QStringList{"autre.txt", "note.txt", "Musique"}));  // A to Z
  }

  void theInfoMenuShowsTheSelectionSize() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    QCOMPARE(InfoEntry(*window), QStringLiteral("Aucun élément sélectionné"));
    SelectRows(computer, {"Alpha", "b.txt", ".."});
    QCOMPARE(InfoEntry(*window), QStringLiteral("2.5 Mo"));

    window->findChild<QCheckBox*>("followPlaylistCheck")->click();  // Alpha has no playlist
    QCOMPARE(InfoEntry(*window), QStringLiteral("0.0 Mo"));
    WriteFile(sandbox.Computer() / "Alpha" / "album.m3u", "#EXTM3U\n#EXTINF:60,Inner\ninner.mp3\nabsent.mp3\n");
    QCOMPARE(InfoEntry(*window), QStringLiteral("2.5 Mo"));
    QVERIFY(sandbox.prompts.messages.empty());
    QVERIFY(window->isVisible());
  }

  void anUnreadablePlaylistClosesTheWindow() {
    Sandbox sandbox;
    fs::create_symlink(sandbox.Root() / "nowhere.m3u", sandbox.Computer() / "Alpha" / "album.m3u");
    auto window = sandbox.OpenWindow();
    window->findChild<QCheckBox*>("followPlaylistCheck")->click();
    SelectRows(ComputerList(*window), {"Alpha"});
    QVERIFY(window->CreateListMenu(ComputerList(*window)) == nullptr);
    QCOMPARE(sandbox.prompts.messages.size(), size_t{1});
    QCOMPARE(sandbox.prompts.messages[0].text, QStringLiteral("Echec de l'ouverture de la playlist"));
    QCOMPARE(sandbox.prompts.messages[0].title, QStringLiteral("Erreur pas cool"));
    QCOMPARE(window->result(), int(QDialog::Accepted));
    QVERIFY(!window->isVisible());
    window.reset();  // options saved as on "&Quitter"
    QCOMPARE(koral::GetPrivateProfileInt("copie", "suivrem3u", sandbox.env.ConfigIni().string()), 1);
  }

  void rightClicksShowTheListMenus() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    const std::unique_ptr<QMenu> playerMenu = window->CreateListMenu(PlayerList(*window));
    QCOMPARE(playerMenu->title(), QStringLiteral("&fichier"));
    QCOMPARE(playerMenu->actions().size(), 1);
    QCOMPARE(playerMenu->actions().front()->objectName(), QStringLiteral("createDirectoryAction"));
    QCOMPARE(playerMenu->actions().front()->text(), QStringLiteral("Créer un répertoire"));

    // The real handler: read the popup it shows, then close it.
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
      if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        shown << popup->title();
        for (QAction* action : popup->actions()) shown << action->text();
        popup->close();
      }
    });
    QTreeWidget* computer = ComputerList(*window);
    emit computer->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(shown, (QStringList{"&info", "Aucun élément sélectionné"}));
  }

  void theSizeColumnLeavesRoomForTheScrollBar() {
    Sandbox sandbox;
    for (int i = 0; i < 60; ++i) WriteFile(sandbox.Computer() / "Alpha" / ("piste" + std::to_string(i) + ".mp3"), "x");
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    QCOMPARE(computer->columnWidth(2), computer->width() / 6);  // the start-up rows fit
    DoubleClickRow(computer, "Alpha");
    QCOMPARE(computer->topLevelItemCount(), 62);
    QCOMPARE(computer->columnWidth(2), computer->width() / 6 - 18);
    DoubleClickRow(computer, "..");
    QCOMPARE(computer->columnWidth(2), computer->width() / 6);
  }

  void aMissingNamedPlayerIsNamedAndShowsNothing() {
    Sandbox sandbox;
    fs::remove_all(sandbox.Player());
    auto window = sandbox.OpenWindow();
    QCOMPARE(sandbox.prompts.messages.size(), size_t{1});
    QCOMPARE(sandbox.prompts.messages[0].text,
             QStringLiteral("L'Koral n'a pas été trouvé : le dossier '%1' n'existe pas.\n Des fonctionnalités du "
                            "logiciel vont être désactivées")
                 .arg(Q(sandbox.Player())));
    QCOMPARE(sandbox.prompts.messages[0].title, QStringLiteral("Koral manquant"));
    QVERIFY(!window->PlayerFound());
    QVERIFY(!PlayerList(*window)->isEnabled());
    QVERIFY(!window->findChild<QPushButton*>("emptyButton")->isEnabled());
    QCOMPARE(PlayerList(*window)->topLevelItemCount(), 0);
    QCOMPARE(LabelText(*window, "playerFreeLabel"), QString());
    QCOMPARE(LabelText(*window, "playerTotalLabel"), QString());
  }

  void anUnsetComputerFolderShowsTheHomeFolder() {
    Sandbox sandbox;
    koral::test::TempDir home;
    koral::test::WriteFile(home / "notes.txt", "x");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home.Path().string()));
    SetConfigOption("repertoires", "pc", "", sandbox.env.ConfigIni().string());
    auto window = sandbox.OpenWindow();
    qputenv("HOME", savedHome);
    QCOMPARE(window->ComputerFolder(), Q(home.Path()));
    QTreeWidget* computer = ComputerList(*window);
    QVERIFY(FindRow(computer, "notes.txt") != nullptr);
    QVERIFY(FindRow(computer, "..") != nullptr);
  }

  void thePlayerListFollowsNoLinkOffThePlayer() {
    Sandbox sandbox;
    fs::create_directory_symlink(sandbox.otherDrive.Path(), sandbox.Player() / "dehors");
    fs::create_directory_symlink(sandbox.Player() / "Musique", sandbox.Player() / "raccourci");
    auto window = sandbox.OpenWindow();
    QTreeWidget* player = PlayerList(*window);
    DoubleClickRow(player, "dehors");
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player()));
    QVERIFY(FindRow(player, "note.txt") != nullptr);
    DoubleClickRow(player, "raccourci");  // a link that stays on the player is followed
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player() / "raccourci"));
    QVERIFY(FindRow(player, "x.mp3") != nullptr);
  }

  void aVanishedStoredFolderGivesWayToItsDrive() {
    Sandbox sandbox;
    SetConfigOption("repertoires", "pc", (sandbox.Computer() / "parti").string(), sandbox.env.ConfigIni().string());
    auto window = sandbox.OpenWindow();
    // The list and the folder agree: what is selected is what gets copied.
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Root()));
    DoubleClickRow(ComputerList(*window), Q(sandbox.Computer().filename()));
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer()));
    QVERIFY(FindRow(ComputerList(*window), "a.mp3") != nullptr);
    window.reset();
    QCOMPARE(koral::GetPrivateProfileString("repertoires", "pc", "", sandbox.env.ConfigIni().string()),
             sandbox.Computer().string());
  }

  void aFolderWrittenOnAnotherSystemGivesWayToTheHomeFolder() {
    Sandbox sandbox;
    koral::test::TempDir home;
    koral::test::WriteFile(home / "notes.txt", "x");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home.Path().string()));
    SetConfigOption("repertoires", "pc", "C:\\Musique", sandbox.env.ConfigIni().string());
    auto window = sandbox.OpenWindow();
    qputenv("HOME", savedHome);
    QCOMPARE(window->ComputerFolder(), Q(home.Path()));
    QVERIFY(FindRow(ComputerList(*window), "notes.txt") != nullptr);
  }

  void optionsClickedBeforeCreatingAFolderStay() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    auto* win98 = window->findChild<QCheckBox*>("win98Check");
    QVERIFY(!win98->isChecked());
    win98->click();
    QVERIFY(win98->isChecked());
    AnswerNewFolderDialog(QStringLiteral("Nouveau"));
    window->findChild<QAction*>("createDirectoryAction")->trigger();
    QVERIFY(fs::is_directory(sandbox.Player() / "Nouveau"));
    QVERIFY(FindRow(PlayerList(*window), "Nouveau") != nullptr);
    QVERIFY(win98->isChecked());
    window.reset();
    QCOMPARE(koral::GetPrivateProfileInt("copie", "win98", sandbox.env.ConfigIni().string()), 1);
  }

  void aDriveChangeListsThatRoot() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    auto* combo = window->findChild<QComboBox*>("driveCombo");
    const int other = combo->findText(Q(sandbox.otherDrive.Path()));
    QVERIFY(other >= 0);
    combo->setCurrentIndex(other);
    emit combo->activated(other);
    QCOMPARE(window->ComputerFolder(), Q(sandbox.otherDrive.Path()));
    QCOMPARE(RowTexts(ComputerList(*window)), (QStringList{"..", "autre.wav"}));
    QVERIFY(!LabelText(*window, "computerFreeLabel").isEmpty());
    window.reset();
    QCOMPARE(koral::GetPrivateProfileString("repertoires", "pc", "", sandbox.env.ConfigIni().string()),
             sandbox.otherDrive.Path().string());
  }
};

QTEST_MAIN(MainDlgBrowseTest)
#include "MainDlgBrowseTest.moc"
