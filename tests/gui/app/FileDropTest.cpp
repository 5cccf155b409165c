// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <memory>

#include <QApplication>
#include <QMimeData>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include "core/config/PrivateProfile.h"
#include "core/platform/Volumes.h"
#include "gui/app/FileUrls.h"
#include "gui/app/MainDlg.h"
#include "support/ConfigOption.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/TreeRows.h"

namespace fs = std::filesystem;
using koral::test::ReadFile;
using koral::test::WriteFile;

namespace {

std::unique_ptr<QMimeData> UrlData(const QList<QUrl>& urls) {
  auto data = std::make_unique<QMimeData>();
  data->setUrls(urls);
  return data;
}

QUrl FileUrl(const fs::path& path) { return QUrl::fromLocalFile(QString::fromStdString(path.string())); }

QWidget* PlayerViewport(CMainDlg& window) { return window.findChild<QTreeWidget*>("playerList")->viewport(); }

// What the window system delivers on a drag over the list: whether it was taken.
bool DragEnter(CMainDlg& window, const QMimeData& data) {
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(PlayerViewport(window), &enter);
  return enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
}

// A whole drag ending on the list: Qt hands the drop to the widget that took the drag.
bool Drop(CMainDlg& window, const QMimeData& data) {
  DragEnter(window, data);
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(PlayerViewport(window), &drop);
  QCoreApplication::processEvents();  // the copy starts once the drop is answered
  return drop.isAccepted();
}

void WriteComputerFolder(const koral::test::TestEnvironment& env) {
  SetConfigOption("repertoires", "pc", env.ComputerDir().string(), env.ConfigIni().string());
}

}  // namespace

class FileDropTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void takesOnlyDragsWhoseEveryUrlIsALocalFile() {
    const auto local =
        LocalFilesOf(*UrlData({QUrl("file:///home/anna/Album"), QUrl("file://localhost/tmp/a%20b.mp3")}));
    QVERIFY(local.has_value());
    QCOMPARE(*local, (std::vector<std::string>{"/home/anna/Album", "/tmp/a b.mp3"}));
    QVERIFY(!LocalFilesOf(*UrlData({QUrl("https://example.org/a.mp3")})));
    QVERIFY(!LocalFilesOf(*UrlData({QUrl("file:///tmp/a.mp3"), QUrl("sftp://host/b.mp3")})));  // refused whole
    QVERIFY(!LocalFilesOf(*UrlData({QUrl("file://nas/music/a.mp3")})));                        // another machine
    QVERIFY(!LocalFilesOf(*UrlData({QUrl("file:///")})));                                      // no name to copy under
    QVERIFY(!LocalFilesOf(*UrlData({})));
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a.mp3"));
    QVERIFY(!LocalFilesOf(text));
    // A path spelled with "..": the folder it names, not one called "..".
    QCOMPARE(*LocalFilesOf(*UrlData({QUrl("file:///home/anna/Album/..")})), std::vector<std::string>{"/home/anna"});
  }

  void aDragOfRowsNeverCarriesTheParentRow() {
    const auto data = FileUrlsOf("/home/anna", {"..", "a.mp3", ".", "Album"});
    QVERIFY(data != nullptr);
    QCOMPARE(data->urls(), (QList<QUrl>{QUrl("file:///home/anna/a.mp3"), QUrl("file:///home/anna/Album")}));
    QVERIFY(FileUrlsOf("/home/anna", {".."}) == nullptr);
    QCOMPARE(FileUrlsOf("/", {"tmp"})->urls(), QList<QUrl>{QUrl("file:///tmp")});
  }

  void droppedFilesAndFoldersAreCopiedIntoTheShownPlayerFolder() {
    WriteComputerFolder(env);
    const fs::path elsewhere = env.ComputerDir() / "elsewhere";
    WriteFile(elsewhere / "a.mp3", "tune a");
    WriteFile(elsewhere / "Album" / "01.mp3", "track 1");
    fs::create_directories(env.PlayerDir() / "Musique");
    CMainDlg window(koral::test::CurrentContext());
    window.show();
    koral::test::DoubleClickRow(window.findChild<QTreeWidget*>("playerList"), "Musique");
    QCOMPARE(window.PlayerFolder(), QString::fromStdString((env.PlayerDir() / "Musique").string()));

    const auto data = UrlData({FileUrl(elsewhere / "a.mp3"), FileUrl(elsewhere / "Album")});
    QVERIFY(DragEnter(window, *data));
    QVERIFY(Drop(window, *data));
    QTRY_VERIFY(fs::exists(env.PlayerDir() / "Musique" / "Album" / "01.mp3"));
    QCOMPARE(ReadFile(env.PlayerDir() / "Musique" / "a.mp3"), std::string("tune a"));
    QCOMPARE(ReadFile(env.PlayerDir() / "Musique" / "Album" / "01.mp3"), std::string("track 1"));
    QVERIFY(fs::exists(elsewhere / "a.mp3"));  // copied, never moved
    QVERIFY(koral::test::FindRow(window.findChild<QTreeWidget*>("playerList"), "a.mp3") != nullptr);
    QVERIFY(prompts.messages.empty());
  }

  void remoteUrlsAndDropsWithoutAPlayerDoNothing() {
    WriteComputerFolder(env);
    WriteFile(env.ComputerDir() / "a.mp3", "tune a");
    {
      CMainDlg window(koral::test::CurrentContext());
      window.show();
      const auto remote = UrlData({FileUrl(env.ComputerDir() / "a.mp3"), QUrl("https://example.org/b.mp3")});
      QVERIFY(!DragEnter(window, *remote));
      QVERIFY(!Drop(window, *remote));
      QCoreApplication::processEvents();  // whatever a drop would have queued
      QVERIFY(!fs::exists(env.PlayerDir() / "a.mp3"));
      QVERIFY(prompts.messages.empty());
    }
    env.ForgetPlayer();
    const koral::FixedVolumeSource noPlayer{{{"/", "/dev/sda1", false}}};
    koral::SetVolumeSourceForTesting(&noPlayer);
    const auto restore = qScopeGuard([] { koral::SetVolumeSourceForTesting(nullptr); });
    CMainDlg window(koral::test::CurrentContext());
    window.show();
    const size_t told = prompts.messages.size();  // the missing player at start
    const auto local = UrlData({FileUrl(env.ComputerDir() / "a.mp3")});
    QVERIFY(!DragEnter(window, *local));
    QVERIFY(!Drop(window, *local));
    QCoreApplication::processEvents();  // whatever a drop would have queued
    QCOMPARE(prompts.messages.size(), told);
  }

  void aDropGoesThroughTheChecksOfTheCopyButton() {
    WriteComputerFolder(env);
    WriteFile(env.ComputerDir() / "Album" / "a.mp3", "tune a");
    fs::create_symlink("nowhere.m3u", env.ComputerDir() / "Album" / "list.m3u");
    SetConfigOption("copie", "suivrem3u", 1, env.ConfigIni().string());
    CMainDlg window(koral::test::CurrentContext());
    window.show();
    QVERIFY(Drop(window, *UrlData({FileUrl(env.ComputerDir() / "Album")})));
    QTRY_COMPARE(prompts.messages.size(), size_t{1});
    QCOMPARE(prompts.messages[0].text, QString("Echec de l'ouverture de la playlist"));
    QVERIFY(fs::is_empty(env.PlayerDir()));
  }

 private:
  koral::test::TestEnvironment env;  // each test's own: see init()
  koral::test::PromptRecorder prompts;
};

QTEST_MAIN(FileDropTest)
#include "FileDropTest.moc"
