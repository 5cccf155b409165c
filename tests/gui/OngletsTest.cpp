#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <QRadioButton>

#include "TestEnvironment.h"
#include "app/ConfigApp.h"
#include "app/MainDlg.h"
#include "config/PrivateProfile.h"
#include "gui/PromptRecorder.h"
#include "gui/WidgetLookup.h"
#include "settings/Onglets.h"

namespace {

QList<COnglets*> OpenSheets() {
  QList<COnglets*> sheets;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* sheet = qobject_cast<COnglets*>(widget); sheet != nullptr && sheet->isVisible()) sheets << sheet;
  return sheets;
}

}  // namespace

class OngletsTest final : public QObject {
  Q_OBJECT

 private slots:
  void eachPressOpensAnIndependentSheetOnItsRadioTab();
  void sheetsLeftOpenStoreTheirOptionsWhenTheProgramEnds();
  void theSheetKeepsItsSizeWhenALargerPageIsFirstShown();
};

void OngletsTest::eachPressOpensAnIndependentSheetOnItsRadioTab() {
  koral::test::TestEnvironment env;
  koral::test::PromptRecorder prompts;
  env.SetSettingsImage();
  CMainDlg window;
  QPushButton* button = window.findChild<QPushButton*>(QStringLiteral("settingsButton"));
  QVERIFY(button != nullptr);
  button->click();
  button->click();

  const QList<COnglets*> sheets = OpenSheets();
  QCOMPARE(sheets.size(), 2);
  for (COnglets* sheet : sheets) {
    QCOMPARE(sheet->windowTitle(), QStringLiteral("Propriétés"));
    QCOMPARE(sheet->parentWidget(), nullptr);
    QVERIFY(!sheet->isModal());
    QCOMPARE(sheet->Tabs()->count(), 3);
    QCOMPARE(sheet->Tabs()->tabText(0), QStringLiteral("Radio"));
    QCOMPARE(sheet->Tabs()->tabText(1), QStringLiteral("Equaliser"));
    QCOMPARE(sheet->Tabs()->tabText(2), QStringLiteral("Réglages de l'Koral"));
    QCOMPARE(sheet->Tabs()->currentIndex(), 0);
    QVERIFY(sheet->Page(COnglets::kRadioPage) != nullptr);
    QCOMPARE(sheet->Page(COnglets::kEqualiserPage), nullptr);
    QCOMPARE(sheet->Page(COnglets::kReglagesPage), nullptr);
  }

  // Closing one leaves the other open; each is freed with its window.
  QPointer<COnglets> first = sheets[0];
  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(first.isNull());
  QCOMPARE(OpenSheets().size(), 1);
  delete OpenSheets().value(0);
}

void OngletsTest::sheetsLeftOpenStoreTheirOptionsWhenTheProgramEnds() {
  koral::test::TestEnvironment env;
  koral::test::PromptRecorder prompts;
  env.SetSettingsImage();
  CMainDlg window;
  koral::test::ClickButton(&window, "settingsButton");
  koral::test::ClickButton(&window, "settingsButton");
  const QList<COnglets*> sheets = OpenSheets();
  QCOMPARE(sheets.size(), 2);
  // Shown pages bring their own pop-ups (combo lists) among the top-level widgets.
  sheets[0]->Tabs()->setCurrentIndex(COnglets::kEqualiserPage);
  sheets[1]->Tabs()->setCurrentIndex(COnglets::kReglagesPage);
  sheets[0]->Page(COnglets::kEqualiserPage)->findChild<QRadioButton*>(QStringLiteral("applySelectedRadio"))->click();

  CConfigApp::CloseOpenSheets();
  QVERIFY(OpenSheets().isEmpty());
  QCOMPARE(koral::GetPrivateProfileString("equaliser", "perso", "", env.ConfigIni()), std::string("0"));
}

void OngletsTest::theSheetKeepsItsSizeWhenALargerPageIsFirstShown() {
  koral::test::TestEnvironment env;
  koral::test::PromptRecorder prompts;
  env.SetSettingsImage();
  COnglets sheet;
  sheet.show();
  QVERIFY(QTest::qWaitForWindowExposed(&sheet));
  const QSize opened = sheet.size();
  for (int tab : {COnglets::kEqualiserPage, COnglets::kReglagesPage}) {
    sheet.Tabs()->setCurrentIndex(tab);
    QTest::qWait(50);
    QCOMPARE(sheet.size(), opened);
  }
}

QTEST_MAIN(OngletsTest)
#include "OngletsTest.moc"
