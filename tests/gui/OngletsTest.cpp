#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "TestEnvironment.h"
#include "app/MainDlg.h"
#include "gui/PromptRecorder.h"
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

QTEST_MAIN(OngletsTest)
#include "OngletsTest.moc"
