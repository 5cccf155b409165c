// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "gui/app/FolderPane.h"
#include "gui/app/ListIcons.h"
#include "support/TestEnvironment.h"
#include "support/gui/TreeRows.h"

namespace fs = std::filesystem;
using koral::test::FindRow;
using koral::test::RowTexts;
using koral::test::TempDir;
using koral::test::WriteFile;

namespace {

// A pane on a bare list, as the main window builds one, over a sandbox with
// a floor folder, a folder beside it and a link from one to the other.
struct PaneBox {
  explicit PaneBox(CFolderPane::Rules rules) : pane(&list, CFolderPane::Labels{&freeLabel, &totalLabel}, icons, rules) {
    WriteFile(Floor() / "Musique" / "a.mp3", "a");
    WriteFile(Floor() / ".koral-part" / "1" / "b.mp3.part", "b");
    WriteFile(sandbox / "dehors" / "c.mp3", "c");
    fs::create_directory_symlink(sandbox / "dehors", Floor() / "lien");
  }
  fs::path Floor() const { return sandbox / "floor"; }
  QString Folder() const { return QString::fromStdString(pane.Folder()); }
  QString Q(const fs::path& path) const { return QString::fromStdString(path.string()); }

  TempDir sandbox;
  QTreeWidget list;
  QLabel freeLabel;
  QLabel totalLabel;
  CListIcons icons;
  CFolderPane pane;
};

}  // namespace

class FolderPaneTest final : public QObject {
  Q_OBJECT

 private slots:
  void aConfinedPaneNeverClimbsAboveItsFloorNorFollowsALinkOut() {
    PaneBox box(CFolderPane::Rules{.confinedToFloor = true, .hidesCopyTemporaries = true});
    box.pane.SetFloor(box.Floor().string());
    box.pane.ListDriveRoot(box.Floor().string());
    QCOMPARE(RowTexts(&box.list), (QStringList{"lien", "Musique"}));  // no "..", no temporaries
    QVERIFY(!box.totalLabel.text().isEmpty());

    QVERIFY(box.pane.OpenFolder(FindRow(&box.list, "Musique")));
    QCOMPARE(RowTexts(&box.list), (QStringList{"..", "a.mp3"}));
    box.pane.OpenParent();
    QCOMPARE(box.Folder(), box.Q(box.Floor()));
    QCOMPARE(box.list.currentItem(), FindRow(&box.list, "Musique"));  // the folder left, marked
    box.pane.OpenParent();
    QCOMPARE(box.Folder(), box.Q(box.Floor()));

    QVERIFY(!box.pane.OpenFolder(FindRow(&box.list, "lien")));
    QCOMPARE(box.Folder(), box.Q(box.Floor()));
    QCOMPARE(RowTexts(&box.list), (QStringList{"lien", "Musique"}));
  }

  void anOpenPaneClimbsToTheRootShowsEveryEntryAndRefusesARelativeFolder() {
    PaneBox box(CFolderPane::Rules{});
    box.pane.SetFloor("/");
    box.pane.ListDriveRoot(box.Floor().string());
    QCOMPARE(RowTexts(&box.list), (QStringList{"..", ".koral-part", "lien", "Musique"}));
    QVERIFY(box.pane.OpenFolder(FindRow(&box.list, "lien")));
    QCOMPARE(RowTexts(&box.list), (QStringList{"..", "c.mp3"}));
    box.pane.SetFolder("floor");
    QVERIFY(!box.pane.OpenFolder(nullptr));
    QCOMPARE(RowTexts(&box.list), (QStringList{"..", "c.mp3"}));
    // An unset folder shows the floor.
    box.pane.SetFolder({});
    QVERIFY(box.pane.OpenFolder(nullptr));
    QCOMPARE(box.Folder(), QString("/"));
    QVERIFY(FindRow(&box.list, "..") == nullptr);
  }

  void aClearedPaneShowsNothingAndListsNothing() {
    PaneBox box(CFolderPane::Rules{.confinedToFloor = true, .hidesCopyTemporaries = true});
    box.pane.SetFloor(box.Floor().string());
    box.pane.ListDriveRoot(box.Floor().string());
    box.pane.Clear();
    QVERIFY(box.Folder().isEmpty());
    QCOMPARE(box.list.topLevelItemCount(), 0);
    QVERIFY(box.freeLabel.text().isEmpty() && box.totalLabel.text().isEmpty());
    QVERIFY(!box.pane.OpenFolder(nullptr));  // no floor: nothing of the folder gone is listed
    QCOMPARE(box.list.topLevelItemCount(), 0);
  }
};

QTEST_MAIN(FolderPaneTest)
#include "FolderPaneTest.moc"
