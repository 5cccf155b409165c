// SPDX-License-Identifier: GPL-3.0-or-later
// Run on a 1366×768 screen at scale 1 and on a 1920×1080 screen at scale 2
// (ctest names both): every window fits the screen it opens on.
#include <QApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "core/platform/Volumes.h"
#include "gui/app/AboutDlg.h"
#include "gui/app/MainDlg.h"
#include "gui/files/FileOp.h"
#include "gui/files/NewFolderDlg.h"
#include "gui/firmware/SoftPropDlg.h"
#include "gui/settings/Onglets.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

using koral::test::RequireChild;

namespace {

// The least room the window can take, in device-independent pixels.
QSize LeastSize(QWidget& window) {
  window.show();
  window.layout()->activate();
  return window.minimumSizeHint().expandedTo(window.minimumSize());
}

QSize Available() { return QGuiApplication::primaryScreen()->availableGeometry().size(); }

bool Fits(const QSize& size) { return size.width() <= Available().width() && size.height() <= Available().height(); }

}  // namespace

class WindowSizesTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
    koral::SetVolumeSourceForTesting(&m_volumes);
  }
  void cleanup() { koral::SetVolumeSourceForTesting(nullptr); }

  void theScreenIsTheOneAsked() {
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    QCOMPARE(Available(), scale == QLatin1String("2") ? QSize(960, 540) : QSize(1366, 768));
  }

  void theMainWindowFitsAndItsListsKeepFourRows() {
    env.SetSettingsImage();
    CMainDlg window(koral::test::CurrentContext());
    const QSize least = LeastSize(window);
    QVERIFY2(Fits(least), qPrintable(QStringLiteral("%1×%2").arg(least.width()).arg(least.height())));
    QVERIFY(Fits(window.size()));
    window.resize(least);
    QTRY_COMPARE(window.size(), least);
    for (const char* name : {"computerList", "playerList"}) {
      auto* list = RequireChild<QTreeWidget>(&window, name);
      QVERIFY(list->topLevelItemCount() > 0);
      QVERIFY2(list->viewport()->height() >= 4 * list->sizeHintForRow(0), name);
    }
  }

  void theSheetFitsAndEachPageScrollsIntoView() {
    env.SetSettingsImage();
    COnglets sheet(koral::test::CurrentContext());
    const QSize least = LeastSize(sheet);
    QVERIFY2(Fits(least), qPrintable(QStringLiteral("%1×%2").arg(least.width()).arg(least.height())));
    QVERIFY(Fits(sheet.size()));
    sheet.resize(least);
    for (int index = 0; index < COnglets::kPageCount; ++index) {
      sheet.Tabs()->setCurrentIndex(index);
      auto* scrollArea = sheet.Tabs()->widget(index)->findChild<QScrollArea*>();
      QVERIFY(scrollArea != nullptr && sheet.Page(index) != nullptr);
      QTRY_VERIFY(scrollArea->isVisible());
      // What the page does not show is reached by its scroll bars.
      const QSize hidden = scrollArea->widget()->size() - scrollArea->viewport()->size();
      QCOMPARE(scrollArea->verticalScrollBar()->maximum(), std::max(0, hidden.height()));
      QCOMPARE(scrollArea->horizontalScrollBar()->maximum(), std::max(0, hidden.width()));
    }
  }

  void theDialogsFit() {
    env.SetSettingsImage();
    CSoftPropDlg firmware(koral::test::CurrentContext());
    firmware.Load();
    CAboutDlg about;
    CFileOp copy;
    CNewFolderDlg newFolder;
    for (QWidget* dialog : std::initializer_list<QWidget*>{&firmware, &about, &copy, &newFolder}) {
      const QSize least = LeastSize(*dialog);
      QVERIFY2(Fits(least), qPrintable(dialog->metaObject()->className()));
      QVERIFY2(Fits(dialog->size()), qPrintable(dialog->metaObject()->className()));
    }
  }

 private:
  koral::test::TestEnvironment env;  // each test's own: see init()
  koral::test::PromptRecorder prompts;
  koral::FixedVolumeSource m_volumes{{{"/", "/dev/sda1", false}}};
};

QTEST_MAIN(WindowSizesTest)
#include "WindowSizesTest.moc"
