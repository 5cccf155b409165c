// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "gui/app/MainDlg.h"
#include "gui/common/ElidedLabel.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

using koral::test::RequireChild;
using koral::test::WriteFile;

namespace {

constexpr const char* kPlayerControls[] = {"playerList",   "settingsButton", "firmwareButton", "copyButton",
                                           "deleteButton", "emptyButton",    "ejectButton"};

// A mount table and its sysfs that the test rewrites as a user plugs the player in and out.
class FakeMountTable {
 public:
  explicit FakeMountTable(koral::test::TestEnvironment& env) : m_env(env) {
    WriteFile(Folder() / "block" / "sdz1" / "removable", "1\n");
    Unplug();
    env.Context().mountTable = (Folder() / "mountinfo").string();
    env.Context().sysBlock = (Folder() / "block").string();
    env.ForgetPlayer();
  }
  void PlugIn() const {
    WriteFile(Folder() / "mountinfo",
              kRoot + "36 25 8:17 / " + m_env.PlayerDir().string() + " rw - vfat /dev/sdz1 rw\n");
  }
  void Unplug() const { WriteFile(Folder() / "mountinfo", kRoot); }

 private:
  std::filesystem::path Folder() const { return m_env.StateDir() / "fake-mounts"; }
  inline static const std::string kRoot = "25 1 8:1 / / rw - ext4 /dev/sda1 rw\n";
  const koral::test::TestEnvironment& m_env;
};

bool PlayerControlsEnabled(const CMainDlg& window, bool enabled) {
  for (const char* name : kPlayerControls)
    if (RequireChild<QWidget>(&window, name)->isEnabled() != enabled) return false;
  return true;
}

}  // namespace

class PlayerWatchTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void aPlayerPluggedInLaterIsFoundAndItsRemovalTold();
  void aNamedPlayerIsNotWatched();

 private:
  koral::test::TestEnvironment env;  // each test's own: see init()
  koral::test::PromptRecorder prompts;
};

void PlayerWatchTest::aPlayerPluggedInLaterIsFoundAndItsRemovalTold() {
  env.SetSettingsImage();
  WriteFile(env.PlayerDir() / "Musique" / "a.mp3", "x");
  FakeMountTable mounts(env);
  CMainDlg window(env.Context());
  QCOMPARE(prompts.messages.size(), size_t(1));
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Koral manquant"));
  QVERIFY(PlayerControlsEnabled(window, false));

  mounts.PlugIn();
  QTRY_VERIFY(PlayerControlsEnabled(window, true));
  const QString root = QString::fromStdString(env.PlayerDir().string());
  QCOMPARE(RequireChild<CElidedLabel>(&window, "playerDriveLabel")->FullText(), root);
  QCOMPARE(window.PlayerFolder(), root);
  auto* list = RequireChild<QTreeWidget>(&window, "playerList");
  QCOMPARE(list->findItems("Musique", Qt::MatchExactly).size(), 1);
  QVERIFY(!RequireChild<QLabel>(&window, "playerFreeLabel")->text().isEmpty());
  QCOMPARE(prompts.messages.size(), size_t(1));  // arriving is shown, not told

  mounts.Unplug();
  QTRY_VERIFY(PlayerControlsEnabled(window, false));
  QCOMPARE(list->topLevelItemCount(), 0);
  QVERIFY(RequireChild<CElidedLabel>(&window, "playerDriveLabel")->FullText().isEmpty());
  QCOMPARE(prompts.messages.size(), size_t(2));
  QVERIFY(prompts.messages[1].text.startsWith(QStringLiteral("L'Koral a été débranché.")));
}

void PlayerWatchTest::aNamedPlayerIsNotWatched() {
  // The sandbox names its player, as --player does.
  env.SetSettingsImage();
  env.Context().mountTable = (env.StateDir() / "none").string();
  CMainDlg window(env.Context());
  QVERIFY(!window.WatchesMountTable());
  WriteFile(env.StateDir() / "none", "25 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
  QCoreApplication::processEvents();
  QVERIFY(PlayerControlsEnabled(window, true));
  QVERIFY(prompts.messages.empty());
}

QTEST_MAIN(PlayerWatchTest)
#include "PlayerWatchTest.moc"
