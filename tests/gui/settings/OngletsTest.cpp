// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QtTest>

#include <QRadioButton>

#include "core/config/PrivateProfile.h"
#include "gui/app/ConfigApp.h"
#include "gui/app/MainDlg.h"
#include "gui/firmware/SoftPropDlg.h"
#include "gui/settings/Onglets.h"
#include "support/ConfigOption.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

namespace {

QList<COnglets*> OpenSheets() {
  QList<COnglets*> sheets;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* sheet = qobject_cast<COnglets*>(widget); sheet != nullptr && sheet->isVisible()) sheets << sheet;
  return sheets;
}

using Prompt::SaveChoice;

const QString kQuestion = QStringLiteral("Enregistrer les modifications sur l'Koral ?");
constexpr size_t kMemoryC = 256 + 12;  // the shipped Config.ini, firmware 119.0

QLineEdit* MemoryEdit(QWidget* sheet, char letter) {
  return sheet->findChild<QLineEdit*>(QStringLiteral("frequencyEdit") + QLatin1Char(letter));
}

// Typed, then Enter, as the user commits a field.
void TypeAndEnter(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

COnglets* ShownSheet() {
  auto* sheet = new COnglets(koral::test::CurrentContext());
  sheet->show();
  [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(sheet);
  return sheet;
}

}  // namespace

class OngletsTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void eachPressOpensAnIndependentSheetOnItsRadioTab();
  void sheetsLeftOpenStoreTheirOptionsWhenTheProgramEnds();
  void theSheetKeepsItsSizeWhenALargerPageIsFirstShown();
  void enterTakesAFieldAndClosingAsksForWhatIsNotWritten();
  void valuesPutBackAskNothingAndQuitDiscardsWithoutAsking();
  void closingTheMainWindowAsksForEachEditedSheet();
  void closeWithoutQuestionsDropsEditsAndKeepsOptions();

 private:
  koral::test::TestEnvironment env;  // each test's own: see init()
  koral::test::PromptRecorder prompts;
};

void OngletsTest::eachPressOpensAnIndependentSheetOnItsRadioTab() {
  env.SetSettingsImage();
  CMainDlg window(koral::test::CurrentContext());
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
  env.SetSettingsImage();
  CMainDlg window(koral::test::CurrentContext());
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
  env.SetSettingsImage();
  COnglets sheet(koral::test::CurrentContext());
  sheet.show();
  QVERIFY(QTest::qWaitForWindowExposed(&sheet));
  const QSize opened = sheet.size();
  for (int tab : {COnglets::kEqualiserPage, COnglets::kReglagesPage}) {
    sheet.Tabs()->setCurrentIndex(tab);
    // A new page asks for its layout through posted events: all are handled before the size is read.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(sheet.size(), opened);
  }
}

void OngletsTest::enterTakesAFieldAndClosingAsksForWhatIsNotWritten() {
  env.SetSettingsImage();
  QPointer<COnglets> sheet = ShownSheet();
  TypeAndEnter(MemoryEdit(sheet, 'C'), QStringLiteral("103,5"));
  QVERIFY(sheet->isVisible());
  QCOMPARE(MemoryEdit(sheet, 'C')->text(), QStringLiteral("103.5"));
  QVERIFY(prompts.saveQuestions.empty());

  prompts.saveAnswers = {SaveChoice::kCancel, SaveChoice::kSave};
  QTest::keyClick(sheet, Qt::Key_Escape);
  QVERIFY(sheet->isVisible());
  QCOMPARE(env.SettingsImageBytes(), std::string(512, '\0'));
  QCOMPARE(prompts.saveQuestions.size(), size_t{1});
  QCOMPARE(prompts.saveQuestions[0].text, kQuestion);
  QCOMPARE(prompts.saveQuestions[0].title, QStringLiteral("Propriétés"));
  sheet->close();  // the close box
  QTRY_VERIFY(sheet.isNull());
  QCOMPARE(env.SettingsImageBytes().substr(kMemoryC, 3), std::string("\x4C\x94\x01", 3));  // 103500 kHz
}

void OngletsTest::valuesPutBackAskNothingAndQuitDiscardsWithoutAsking() {
  SetConfigOption("equaliser", "perso", "0", env.ConfigIni());  // a slider edits the shown preset
  std::string image(512, '\0');
  image.replace(256, 3, "\xCC\x55\x01");  // 87.5 MHz in memory A
  env.SetSettingsImage(image);
  QPointer<COnglets> sheet = ShownSheet();
  TypeAndEnter(MemoryEdit(sheet, 'A'), QStringLiteral("99"));
  QVERIFY(sheet->HoldsUnwrittenChanges());
  TypeAndEnter(MemoryEdit(sheet, 'A'), QStringLiteral("87,50"));
  QCOMPARE(MemoryEdit(sheet, 'A')->text(), QStringLiteral("87.5"));
  QVERIFY(!sheet->HoldsUnwrittenChanges());
  sheet->Tabs()->setCurrentIndex(COnglets::kEqualiserPage);
  auto* slider = sheet->Page(COnglets::kEqualiserPage)->findChild<QSlider*>(QStringLiteral("slider62Hz"));
  slider->setValue(slider->value() + 3);
  slider->setValue(slider->value() - 3);
  sheet->Tabs()->setCurrentIndex(COnglets::kReglagesPage);
  QWidget* reglages = sheet->Page(COnglets::kReglagesPage);
  reglages->findChild<QAbstractButton*>(QStringLiteral("repeatChoice2"))->click();
  reglages->findChild<QAbstractButton*>(QStringLiteral("repeatChoice0"))->click();
  QVERIFY(!sheet->Page(COnglets::kEqualiserPage)->HoldsUnwrittenChanges());
  QVERIFY(!sheet->Page(COnglets::kReglagesPage)->HoldsUnwrittenChanges());
  reglages->findChild<QAbstractButton*>(QStringLiteral("repeatChoice3"))->click();
  QVERIFY(sheet->Page(COnglets::kReglagesPage)->HoldsUnwrittenChanges());
  koral::test::ClickButton(reglages, "reloadButton");  // a save would write nothing
  QVERIFY(!sheet->Page(COnglets::kReglagesPage)->HoldsUnwrittenChanges());

  QVERIFY(!sheet->HoldsUnwrittenChanges());
  sheet->close();  // nothing to ask about
  QVERIFY(prompts.saveQuestions.empty());
  QTRY_VERIFY(sheet.isNull());

  // Changes on two pages; the explicit quit drops them without a question.
  sheet = ShownSheet();
  TypeAndEnter(MemoryEdit(sheet, 'A'), QStringLiteral("99"));
  sheet->Tabs()->setCurrentIndex(COnglets::kReglagesPage);
  reglages = sheet->Page(COnglets::kReglagesPage);
  reglages->findChild<QAbstractButton*>(QStringLiteral("repeatChoice3"))->click();
  koral::test::ClickButton(reglages, "quitButton");
  QTRY_VERIFY(sheet.isNull());
  QVERIFY(prompts.saveQuestions.empty());
  QCOMPARE(env.SettingsImageBytes(), image);
}

void OngletsTest::closingTheMainWindowAsksForEachEditedSheet() {
  env.SetSettingsImage();
  CMainDlg window(koral::test::CurrentContext());
  window.show();
  QSignalSpy finished(&window, &QDialog::finished);
  koral::test::ClickButton(&window, "settingsButton");
  koral::test::ClickButton(&window, "settingsButton");
  QList<COnglets*> sheets = OpenSheets();
  QCOMPARE(sheets.size(), 2);
  TypeAndEnter(MemoryEdit(sheets[0], 'C'), QStringLiteral("88,5"));
  TypeAndEnter(MemoryEdit(sheets[1], 'C'), QStringLiteral("103.5"));

  prompts.saveAnswers = {SaveChoice::kDiscard, SaveChoice::kCancel};
  window.close();
  QCOMPARE(prompts.saveQuestions.size(), size_t{2});
  QVERIFY(window.isVisible());
  QCOMPARE(finished.count(), 0);
  QTRY_COMPARE(OpenSheets().size(), 1);  // the one answered "Ne pas enregistrer" is closed

  prompts.saveAnswers = {SaveChoice::kSave};
  koral::test::ClickButton(&window, "quitButton");
  QCOMPARE(prompts.saveQuestions.size(), size_t{3});
  QCOMPARE(finished.count(), 1);
  QTRY_VERIFY(OpenSheets().isEmpty());
  QCOMPARE(env.SettingsImageBytes().substr(kMemoryC, 3), std::string("\x4C\x94\x01", 3));  // the second sheet's
}

void OngletsTest::closeWithoutQuestionsDropsEditsAndKeepsOptions() {
  env.SetSettingsImage();
  const std::string version = koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni());
  auto* window = new CMainDlg(koral::test::CurrentContext());
  window->show();
  QSignalSpy finished(window, &QDialog::finished);
  koral::test::ClickButton(window, "settingsButton");
  COnglets* sheet = OpenSheets().value(0);
  TypeAndEnter(MemoryEdit(sheet, 'C'), QStringLiteral("103.5"));
  sheet->Tabs()->setCurrentIndex(COnglets::kEqualiserPage);
  sheet->Page(COnglets::kEqualiserPage)->findChild<QRadioButton*>(QStringLiteral("applySelectedRadio"))->click();
  auto* firmware = new CSoftPropDlg(koral::test::CurrentContext(), window);
  firmware->Load();
  firmware->show();
  auto* versions = firmware->findChild<QComboBox*>(QStringLiteral("versionCombo"));
  versions->setCurrentIndex(versions->currentIndex() == 0 ? 1 : 0);

  window->CloseWithoutQuestions();
  QCOMPARE(finished.count(), 1);
  QVERIFY(!firmware->isVisible());
  QVERIFY(prompts.saveQuestions.empty());
  QTRY_VERIFY(OpenSheets().isEmpty());
  CConfigApp::CloseOpenSheets();
  delete window;  // the main window saves its options as it goes
  QCOMPARE(env.SettingsImageBytes(), std::string(512, '\0'));
  QCOMPARE(koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni()), version);
  QCOMPARE(koral::GetPrivateProfileString("equaliser", "perso", "", env.ConfigIni()), std::string("0"));
}

QTEST_MAIN(OngletsTest)
#include "OngletsTest.moc"
