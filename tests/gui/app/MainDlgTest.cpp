// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "core/config/PrivateProfile.h"
#include "core/platform/Volumes.h"
#include "gui/app/MainDlg.h"
#include "gui/common/ElidedLabel.h"
#include "support/ConfigOption.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

using koral::test::PromptRecorder;
using koral::test::RequireChild;
using koral::test::TestEnvironment;

namespace {

const QString kMissingPlayerText =
    QStringLiteral("L'Koral n'a pas été détecté.\n Des fonctionnalités du logiciel vont être désactivées");

std::string Option(const TestEnvironment& env, const char* section, const char* key) {
  return koral::GetPrivateProfileString(section, key, "<missing>", env.ConfigIni());
}

}  // namespace

class MainDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
    koral::SetVolumeSourceForTesting(&m_volumes);
  }
  void cleanup() { koral::SetVolumeSourceForTesting(nullptr); }

  void missingConfigSelectsTheFirstModeAndIsWrittenOnClose() {
    env.SetConfigIni("");
    {
      CMainDlg window(koral::test::CurrentContext());
      QVERIFY(RequireChild<QRadioButton>(&window, "addNumberRadio")->isChecked());
      QVERIFY(!RequireChild<QRadioButton>(&window, "numberOnlyRadio")->isChecked());
      QVERIFY(!RequireChild<QCheckBox>(&window, "followPlaylistCheck")->isChecked());
      QVERIFY(!RequireChild<QCheckBox>(&window, "win98Check")->isChecked());
      RequireChild<QPushButton>(&window, "quitButton")->click();
      QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QCOMPARE(Option(env, "repertoires", "pc"), QDir::homePath().toStdString());
    QCOMPARE(Option(env, "copie", "suivrem3u"), std::string("0"));
    QCOMPARE(Option(env, "copie", "win98"), std::string("0"));
    QCOMPARE(Option(env, "copie", "trackonly"), std::string("0"));
    QVERIFY(prompts.messages.empty());
  }

  void followPlaylistOffDisablesBothModesWhichKeepTheirSelection() {
    env.SetConfigIni("[copie]\nsuivrem3u=0\ntrackonly=1\nwin98=1\n");
    CMainDlg window(koral::test::CurrentContext());
    auto* first = RequireChild<QRadioButton>(&window, "addNumberRadio");
    auto* second = RequireChild<QRadioButton>(&window, "numberOnlyRadio");
    QVERIFY(!first->isEnabled() && !second->isEnabled());
    QVERIFY(second->isChecked());
    QVERIFY(RequireChild<QCheckBox>(&window, "win98Check")->isChecked());
    RequireChild<QCheckBox>(&window, "followPlaylistCheck")->click();
    QVERIFY(first->isEnabled() && second->isEnabled());
    QVERIFY(second->isChecked());
  }

  void anOutOfRangeFollowPlaylistValueShowsAsClearedWithTheModesDisabled() {
    env.SetConfigIni("[copie]\nsuivrem3u=2\ntrackonly=0\n");
    {
      CMainDlg window(koral::test::CurrentContext());
      QVERIFY(!RequireChild<QCheckBox>(&window, "followPlaylistCheck")->isChecked());
      QVERIFY(!RequireChild<QRadioButton>(&window, "addNumberRadio")->isEnabled());
      QVERIFY(!RequireChild<QRadioButton>(&window, "numberOnlyRadio")->isEnabled());
    }
    QCOMPARE(Option(env, "copie", "suivrem3u"), std::string("0"));
  }

  void optionsAreSavedHoweverTheWindowCloses() {
    env.SetConfigIni("[copie]\nsuivrem3u=1\ntrackonly= 1 \n");
    {
      CMainDlg window(koral::test::CurrentContext());
      window.show();
      QVERIFY(RequireChild<QRadioButton>(&window, "numberOnlyRadio")->isChecked());
      RequireChild<QCheckBox>(&window, "win98Check")->click();
      RequireChild<QRadioButton>(&window, "addNumberRadio")->click();
      QTest::keyClick(&window, Qt::Key_Escape);
      QCOMPARE(window.result(), int(QDialog::Rejected));
    }
    QCOMPARE(Option(env, "copie", "win98"), std::string("1"));
    QCOMPARE(Option(env, "copie", "trackonly"), std::string("0"));
    QCOMPARE(Option(env, "copie", "suivrem3u"), std::string("1"));
  }

  void noSelectedModeIsWrittenAsMinusOne() {
    env.SetConfigIni("[copie]\nsuivrem3u=1\ntrackonly=5\n");
    {
      CMainDlg window(koral::test::CurrentContext());
      QVERIFY(!RequireChild<QRadioButton>(&window, "addNumberRadio")->isChecked());
      QVERIFY(!RequireChild<QRadioButton>(&window, "numberOnlyRadio")->isChecked());
    }
    QCOMPARE(Option(env, "copie", "trackonly"), std::string("-1"));
  }

  void noPlayerWarnsOnceAndDisablesTheSixControls() {
    env.ForgetPlayer();
    CMainDlg window(koral::test::CurrentContext());
    QCOMPARE(prompts.messages.size(), size_t(1));
    QCOMPARE(prompts.messages[0].text, kMissingPlayerText);
    QCOMPARE(prompts.messages[0].title, QStringLiteral("Koral manquant"));
    for (const char* name :
         {"playerList", "settingsButton", "firmwareButton", "copyButton", "deleteButton", "emptyButton"})
      QVERIFY2(!window.findChild<QWidget*>(name)->isEnabled(), name);
    QVERIFY(RequireChild<QPushButton>(&window, "quitButton")->isEnabled());
    QVERIFY(RequireChild<QTreeWidget>(&window, "computerList")->isEnabled());
  }

  void aNamedPlayerIsFoundAndItsRootListedWithoutParentRow() {
    koral::test::WriteFile(env.PlayerDir() / "Musique" / "a.mp3", "x");
    CMainDlg window(koral::test::CurrentContext());
    QVERIFY(prompts.messages.empty());
    QVERIFY(window.PlayerFound());
    const QString root = QString::fromStdString(env.PlayerDir().string());
    auto* rootLabel = RequireChild<CElidedLabel>(&window, "playerDriveLabel");
    QCOMPARE(rootLabel->FullText(), root);
    QCOMPARE(rootLabel->toolTip(), root);
    // Shown whole when there is room, cut in the middle when there is not.
    CElidedLabel label;
    label.SetFullText(root);
    label.show();
    label.resize(label.fontMetrics().horizontalAdvance(root) + 10, label.height());
    QCOMPARE(label.text(), root);
    label.resize(label.fontMetrics().horizontalAdvance(root) / 2, label.height());
    QVERIFY(label.text().contains(QChar(0x2026)));
    QVERIFY(label.text().startsWith(root.left(3)) && label.text().endsWith(root.right(3)));
    auto* list = RequireChild<QTreeWidget>(&window, "playerList");
    QVERIFY(list->findItems("..", Qt::MatchExactly).isEmpty());
    QCOMPARE(list->findItems("Musique", Qt::MatchExactly).size(), 1);
    QVERIFY(RequireChild<QPushButton>(&window, "copyButton")->isEnabled());
  }

  void theAboutBoxShowsTheVersionAndClosesWithOk() {
    TestEnvironment env;
    CMainDlg window(koral::test::CurrentContext());
    QString title, text;
    QTimer::singleShot(0, [&] {
      QWidget* about = QApplication::activeModalWidget();
      QVERIFY(about != nullptr);
      title = about->windowTitle();
      text = about->findChild<QLabel*>("versionLabel")->text();
      about->findChild<QPushButton*>("okButton")->click();
    });
    RequireChild<QToolButton>(&window, "aboutButton")->click();
    QCOMPARE(title, QStringLiteral("A propos de Koral Config"));
    QCOMPARE(text, QStringLiteral("Koral Config version 1.7"));
    QCOMPARE(RequireChild<QToolButton>(&window, "aboutButton")->text(), QStringLiteral("&A propos de Koral Config..."));
  }

  void theStoredComputerFolderIsListedAndItsDriveSelected() {
    koral::test::WriteFile(env.ComputerDir() / "Album" / "01.mp3", "x");
    SetConfigOption("repertoires", "pc", env.ComputerDir().string(), env.ConfigIni());
    {
      CMainDlg window(koral::test::CurrentContext());
      QCOMPARE(RequireChild<QComboBox>(&window, "driveCombo")->currentText(), QStringLiteral("/"));
      QCOMPARE(window.ComputerFolder(), QString::fromStdString(env.ComputerDir().string()));
      auto* list = RequireChild<QTreeWidget>(&window, "computerList");
      QCOMPARE(list->findItems("Album", Qt::MatchExactly).size(), 1);
      QCOMPARE(list->findItems("..", Qt::MatchExactly).size(), 1);
    }
    QCOMPARE(Option(env, "repertoires", "pc"), env.ComputerDir().string());
  }

  // Ten rows show at the default size, and a larger window gives its room to the lists.
  void theListsShowTenRowsAndTakeTheExtraRoom() {
    for (int i = 0; i < 10; ++i) koral::test::WriteFile(env.PlayerDir() / ("t" + std::to_string(i) + ".mp3"), "x");
    CMainDlg window(koral::test::CurrentContext());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = RequireChild<QTreeWidget>(&window, "playerList");
    QCOMPARE(list->topLevelItemCount(), 10);
    QVERIFY(list->viewport()->height() >= 10 * list->sizeHintForRow(0));
    QVERIFY(!list->verticalScrollBar()->isVisible());

    const int listHeight = list->height();
    window.resize(window.width() + 300, window.height() + 200);
    QTRY_VERIFY(list->height() >= listHeight + 80);
    QCOMPARE(list->columnWidth(0), (2 * list->width()) / 3 - 3);
  }

 private:
  TestEnvironment env;  // each test's own: see init()
  PromptRecorder prompts;
  koral::FixedVolumeSource m_volumes{{{"/", "/dev/sda1", false}}};
};

QTEST_MAIN(MainDlgTest)
#include "MainDlgTest.moc"
