#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
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

#include "TestEnvironment.h"
#include "app/MainDlg.h"
#include "config/PrivateProfile.h"
#include "files/NewFolderDlg.h"
#include "gui/PromptRecorder.h"
#include "platform/Volumes.h"

namespace fs = std::filesystem;
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
    koral::WritePrivateProfileString("repertoires", "pc", Computer().string(), env.ConfigIni().string());
    koral::SetVolumeSourceForTesting(&volumes);
  }
  ~Sandbox() { koral::SetVolumeSourceForTesting(nullptr); }

  fs::path Root() const { return env.ComputerDir().parent_path(); }
  fs::path Computer() const { return env.ComputerDir(); }
  fs::path Player() const { return env.PlayerDir(); }

  std::unique_ptr<CMainDlg> OpenWindow() const {
    auto window = std::make_unique<CMainDlg>();
    window->show();
    return window;
  }

  koral::test::TestEnvironment env;
  koral::test::TempDir otherDrive;
  koral::FixedVolumeSource volumes{{{Root().string(), "/dev/sda1", false}, {otherDrive.Path().string(), "/dev/sdb1", false}}};
  koral::test::PromptRecorder prompts;
};

QTreeWidget* ComputerList(CMainDlg& window) { return window.findChild<QTreeWidget*>("computerList"); }
QTreeWidget* PlayerList(CMainDlg& window) { return window.findChild<QTreeWidget*>("playerList"); }
QString LabelText(CMainDlg& window, const char* name) { return window.findChild<QLabel*>(name)->text(); }

QStringList Column(QTreeWidget* list, int column = 0) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

QTreeWidgetItem* Row(QTreeWidget* list, const QString& name) {
  const QList<QTreeWidgetItem*> rows = list->findItems(name, Qt::MatchExactly, 0);
  return rows.size() == 1 ? rows.front() : nullptr;
}

void ClickHeader(QTreeWidget* list, int column) {
  QHeaderView* header = list->header();
  const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void DoubleClick(QTreeWidget* list, const QString& name) {
  QTreeWidgetItem* row = Row(list, name);
  QVERIFY2(row != nullptr, qPrintable(name));
  list->scrollToItem(row);
  // As a user's double click: the first click marks the row.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
}

void Select(QTreeWidget* list, const QStringList& names) {
  list->clearSelection();
  for (const QString& name : names) {
    QTreeWidgetItem* row = Row(list, name);
    QVERIFY2(row != nullptr, qPrintable(name));
    row->setSelected(true);
  }
}

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
    QCOMPARE(Column(computer).mid(0, 5), (QStringList{"..", "README", "a.mp3", "c.ogg", "b.txt"}));
    QStringList folders = Column(computer).mid(5);
    folders.sort();
    QCOMPARE(folders, (QStringList{"Alpha", "zeta"}));
    QCOMPARE(Column(computer, 1).mid(0, 5), (QStringList{"dossier", "", "mp3", "ogg", "txt"}));
    QCOMPARE(Column(computer, 2).mid(0, 5), (QStringList{"", "5 o", "2 Ko", "1 Ko", "10 o"}));
    QCOMPARE(Row(computer, "Alpha")->text(1), QStringLiteral("dossier"));
    QCOMPARE(Row(computer, "Alpha")->text(2), QString());
    QVERIFY(!LabelText(*window, "computerTotalLabel").isEmpty());
    QVERIFY(LabelText(*window, "computerTotalLabel") != QStringLiteral("0 o"));
    QVERIFY(sandbox.prompts.messages.empty());
  }

  void thePlayerListShowsNoParentAtThePlayerRoot() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* player = PlayerList(*window);
    QCOMPARE(Column(player), (QStringList{"note.txt", "Musique"}));
    QVERIFY(LabelText(*window, "playerFreeLabel").endsWith("o"));
    DoubleClick(player, "Musique");
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player() / "Musique"));
    QCOMPARE(Column(player), (QStringList{"..", "x.mp3"}));
    DoubleClick(player, "..");
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player()));
    QCOMPARE(Column(player), (QStringList{"note.txt", "Musique"}));
  }

  void nameClicksGoZToAThenAToZWithFoldersAfterFiles() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    const QStringList zToA{"..", "README", "c.ogg", "b.txt", "a.mp3", "zeta", "Alpha"};
    const QStringList aToZ{"..", "a.mp3", "b.txt", "c.ogg", "README", "Alpha", "zeta"};
    ClickHeader(computer, 0);
    QCOMPARE(Column(computer), zToA);
    ClickHeader(computer, 0);
    QCOMPARE(Column(computer), aToZ);
    ClickHeader(computer, 0);
    QCOMPARE(Column(computer), zToA);
  }

  void sizeClicksGoSmallestFirstWithFoldersCountingZero() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    ClickHeader(computer, 0);
    ClickHeader(computer, 2);
    QStringList smallest = Column(computer);
    QCOMPARE(smallest.front(), QStringLiteral(".."));
    QStringList zeroSized = smallest.mid(1, 2);
    zeroSized.sort();
    QCOMPARE(zeroSized, (QStringList{"Alpha", "zeta"}));
    QCOMPARE(smallest.mid(3), (QStringList{"README", "b.txt", "c.ogg", "a.mp3"}));
    ClickHeader(computer, 2);
    QCOMPARE(Column(computer).mid(0, 5), (QStringList{"..", "a.mp3", "c.ogg", "b.txt", "README"}));
  }

  void typeClicksGoZToAAndTheSelectionStays() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    Select(computer, {"b.txt", "Alpha"});
    ClickHeader(computer, 1);
    QCOMPARE(Column(computer).mid(0, 5), (QStringList{"..", "b.txt", "c.ogg", "a.mp3", "README"}));
    QCOMPARE(computer->selectedItems().size(), 2);
    QVERIFY(Row(computer, "b.txt")->isSelected());
    QVERIFY(Row(computer, "Alpha")->isSelected());
  }

  void doubleClickOnTheParentListsTheParentAndOnAFileChangesNothing() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    ClickHeader(computer, 0);
    DoubleClick(computer, "a.mp3");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer()));
    QCOMPARE(Column(computer).mid(0, 5), (QStringList{"..", "README", "a.mp3", "c.ogg", "b.txt"}));  // default order again

    DoubleClick(computer, "..");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Root()));
    QVERIFY(Row(computer, "computer") != nullptr);
    QVERIFY(Row(computer, "player") != nullptr);
    QCOMPARE(Column(computer).front(), QStringLiteral(".."));  // only "/" has no parent row
    DoubleClick(computer, "computer");
    DoubleClick(computer, "Alpha");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer() / "Alpha"));
    QCOMPARE(Column(computer), (QStringList{"..", "inner.mp3"}));
    QCOMPARE(Column(computer, 2), (QStringList{"", "2.5 Mo"}));
  }

  void aVanishedFolderChangesNothing() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    fs::remove(sandbox.Computer() / "zeta");
    const QStringList before = Column(computer);
    DoubleClick(computer, "zeta");
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer()));
    QCOMPARE(Column(computer), before);
  }

  void openingAFolderClearsTheComputerListsFlagOnly() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    ClickHeader(computer, 0);
    DoubleClick(computer, "Alpha");
    DoubleClick(computer, "..");
    ClickHeader(computer, 0);
    QCOMPARE(Column(computer).mid(0, 2), (QStringList{"..", "README"}));  // Z to A again

    QTreeWidget* player = PlayerList(*window);
    ClickHeader(player, 0);
    DoubleClick(player, "Musique");
    DoubleClick(player, "..");
    WriteFile(sandbox.Player() / "autre.txt", "a");
    DoubleClick(player, "Musique");
    DoubleClick(player, "..");
    ClickHeader(player, 0);
    QCOMPARE(Column(player), (QStringList{"autre.txt", "note.txt", "Musique"}));  // A to Z
  }

  void theInfoMenuShowsTheSelectionSize() {
    Sandbox sandbox;
    auto window = sandbox.OpenWindow();
    QTreeWidget* computer = ComputerList(*window);
    QCOMPARE(InfoEntry(*window), QStringLiteral("Aucun élément sélectionné"));
    Select(computer, {"Alpha", "b.txt", ".."});
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
    Select(ComputerList(*window), {"Alpha"});
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
    DoubleClick(computer, "Alpha");
    QCOMPARE(computer->topLevelItemCount(), 62);
    QCOMPARE(computer->columnWidth(2), computer->width() / 6 - 18);
    DoubleClick(computer, "..");
    QCOMPARE(computer->columnWidth(2), computer->width() / 6);
  }

  void anUnreachablePlayerShowsNoRowsAndZeroSpace() {
    Sandbox sandbox;
    fs::remove_all(sandbox.Player());
    auto window = sandbox.OpenWindow();
    QCOMPARE(PlayerList(*window)->topLevelItemCount(), 0);
    QCOMPARE(LabelText(*window, "playerFreeLabel"), QStringLiteral("0 o"));
    QCOMPARE(LabelText(*window, "playerTotalLabel"), QStringLiteral("0 o"));
  }

  void anUnsetComputerFolderShowsTheHomeFolder() {
    Sandbox sandbox;
    koral::test::TempDir home;
    koral::test::WriteFile(home / "notes.txt", "x");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home.Path().string()));
    koral::WritePrivateProfileString("repertoires", "pc", "", sandbox.env.ConfigIni().string());
    auto window = sandbox.OpenWindow();
    qputenv("HOME", savedHome);
    QCOMPARE(window->ComputerFolder(), Q(home.Path()));
    QTreeWidget* computer = ComputerList(*window);
    QVERIFY(Row(computer, "notes.txt") != nullptr);
    QVERIFY(Row(computer, "..") != nullptr);
  }

  void thePlayerListFollowsNoLinkOffThePlayer() {
    Sandbox sandbox;
    fs::create_directory_symlink(sandbox.otherDrive.Path(), sandbox.Player() / "dehors");
    fs::create_directory_symlink(sandbox.Player() / "Musique", sandbox.Player() / "raccourci");
    auto window = sandbox.OpenWindow();
    QTreeWidget* player = PlayerList(*window);
    DoubleClick(player, "dehors");
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player()));
    QVERIFY(Row(player, "note.txt") != nullptr);
    DoubleClick(player, "raccourci");  // a link that stays on the player is followed
    QCOMPARE(window->PlayerFolder(), Q(sandbox.Player() / "raccourci"));
    QVERIFY(Row(player, "x.mp3") != nullptr);
  }

  void aVanishedStoredFolderGivesWayToItsDrive() {
    Sandbox sandbox;
    koral::WritePrivateProfileString("repertoires", "pc", (sandbox.Computer() / "parti").string(),
                                     sandbox.env.ConfigIni().string());
    auto window = sandbox.OpenWindow();
    // The list and the folder agree: what is selected is what gets copied.
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Root()));
    DoubleClick(ComputerList(*window), Q(sandbox.Computer().filename()));
    QCOMPARE(window->ComputerFolder(), Q(sandbox.Computer()));
    QVERIFY(Row(ComputerList(*window), "a.mp3") != nullptr);
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
    koral::WritePrivateProfileString("repertoires", "pc", "C:\\Musique", sandbox.env.ConfigIni().string());
    auto window = sandbox.OpenWindow();
    qputenv("HOME", savedHome);
    QCOMPARE(window->ComputerFolder(), Q(home.Path()));
    QVERIFY(Row(ComputerList(*window), "notes.txt") != nullptr);
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
    QVERIFY(Row(PlayerList(*window), "Nouveau") != nullptr);
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
    QCOMPARE(Column(ComputerList(*window)), (QStringList{"..", "autre.wav"}));
    QVERIFY(!LabelText(*window, "computerFreeLabel").isEmpty());
    window.reset();
    QCOMPARE(koral::GetPrivateProfileString("repertoires", "pc", "", sandbox.env.ConfigIni().string()),
             sandbox.otherDrive.Path().string());
  }
};

QTEST_MAIN(MainDlgBrowseTest)
#include "MainDlgBrowseTest.moc"
