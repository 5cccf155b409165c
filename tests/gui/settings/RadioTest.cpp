// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include "core/config/PrivateProfile.h"
#include "core/demo/DemoPlayer.h"
#include "core/settings/ImageBackup.h"
#include "gui/settings/Onglets.h"
#include "gui/settings/Radio.h"
#include "support/ConfigOption.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

using koral::test::ComboTexts;
using koral::test::ExitRecorder;
using koral::test::Koralctl;
using koral::test::PromptRecorder;
using koral::test::TestEnvironment;

namespace {

constexpr int kOffsetRadio = 256;  // the shipped Config.ini, firmware 119.0

// A 512-byte image with the given memories (index, kHz).
std::string ImageWith(const std::vector<std::pair<int, int>>& memories) {
  std::string image(512, '\0');
  for (const auto& [memory, kilohertz] : memories) {
    const size_t at = static_cast<size_t>(kOffsetRadio + 6 * memory);
    image[at] = static_cast<char>(kilohertz & 0xFF);
    image[at + 1] = static_cast<char>((kilohertz >> 8) & 0xFF);
    image[at + 2] = static_cast<char>((kilohertz >> 16) & 0xFF);
  }
  return image;
}

std::string RecordAt(const std::string& image, int memory) {
  return image.substr(static_cast<size_t>(kOffsetRadio + 6 * memory), 3);
}

std::string Bytes(int b0, int b1, int b2) {
  return {static_cast<char>(b0), static_cast<char>(b1), static_cast<char>(b2)};
}

void RememberCity(const TestEnvironment& env, const char* city) {
  SetConfigOption("radio", "ville", city, env.ConfigIni());
}

std::string RememberedCity(const TestEnvironment& env) {
  return koral::GetPrivateProfileString("radio", "ville", "", env.ConfigIni());
}

QLineEdit* Edit(QWidget* page, char letter) {
  return page->findChild<QLineEdit*>(QStringLiteral("frequencyEdit") + QChar(letter));
}

QString StationName(QWidget* page, char letter) {
  return page->findChild<QLabel*>(QStringLiteral("stationName") + QChar(letter))->text();
}

QTableWidget* Stations(QWidget* page) { return page->findChild<QTableWidget*>(QStringLiteral("stationList")); }
QSlider* Slider(QWidget* page) { return page->findChild<QSlider*>(QStringLiteral("memorySlider")); }
QComboBox* Cities(QWidget* page) { return page->findChild<QComboBox*>(QStringLiteral("cityCombo")); }

// The page shown in its own active window, so that focus moves send events.
std::unique_ptr<CRadio> ShownPage() {
  auto page = std::make_unique<CRadio>(koral::test::CurrentContext());
  page->Load();
  page->show();
  QApplication::setActiveWindow(page.get());
  [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(page.get());
  return page;
}

void Type(QLineEdit* edit, const QString& text, QLineEdit* next) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
  next->setFocus();  // the focus leaves the field
}

int RowNamed(QTableWidget* stations, const QString& name) {
  for (int row = 0; row < stations->rowCount(); ++row)
    if (stations->item(row, 0)->text() == name) return row;
  return -1;
}

void DoubleClickRow(QTableWidget* stations, int row) {
  const QRect rect = stations->visualRect(stations->model()->index(row, 0));
  QTest::mouseClick(stations->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(stations->viewport(), Qt::LeftButton, {}, rect.center());
}

QStringList Column(QTableWidget* stations, int column) {
  QStringList texts;
  for (int row = 0; row < stations->rowCount(); ++row) texts << stations->item(row, column)->text();
  return texts;
}

}  // namespace

class RadioTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void SheetOpensOnTheRadioPageWhichReadsTheMemories();
  void TypedFrequenciesAreTakenOrRefusedWhenTheFieldIsLeft();
  void DoubleClicksFillTheCurrentMemoryAndMoveDown();
  void AnotherCityChangesTheNamesNotTheFrequencies();
  void SavingWritesOnlyTheFirstNbradiosRecords();
  void TheCityIsStoredWhenTheTabIsLeftAndWhenTheSheetCloses();
  void ACityAReadOnlyConfigIniRefusesIsLeftForTheMessageAtExit();
  void TheRememberedCityIsMatchedWholeBeforeAsAPrefix();
  void CitiesSortAlphabeticallyAndTheRememberedCaseComesBack();
  void HeaderClicksSortAndTheMarkFollowsItsRow();
  void AMissingImageIsFatalOnOpeningAndReportedOnSaving();
  void MissingStationsFileAndMissingLayout();
  void MemoriesFilledOnTheDemoPlayerAreReadBackByKoralctl();
  void LongNamesNeitherWidenThePageNorHideTheFrequencies();
  void ASaveWithoutItsBackupIsRefusedAndWritesNothing();

 private:
  TestEnvironment env;  // each test's own: see init()
  PromptRecorder prompts;
};

void RadioTest::SheetOpensOnTheRadioPageWhichReadsTheMemories() {
  env.SetSettingsImage(ImageWith({{0, 87500}, {1, 87600}, {19, 105500}}));
  RememberCity(env, "Paris");
  COnglets sheet(koral::test::CurrentContext());
  sheet.show();
  auto* page = qobject_cast<CRadio*>(sheet.Page(COnglets::kRadioPage));
  QVERIFY(page != nullptr);
  QCOMPARE(sheet.Page(COnglets::kEqualiserPage), nullptr);
  QCOMPARE(Edit(page, 'A')->text(), QStringLiteral("87.5"));
  QCOMPARE(Edit(page, 'B')->text(), QStringLiteral("87.6"));
  QCOMPARE(Edit(page, 'C')->text(), QStringLiteral("0.0"));
  QCOMPARE(Edit(page, 'T')->text(), QStringLiteral("105.5"));
  QCOMPARE(StationName(page, 'T'), QStringLiteral("France Info"));
  QCOMPARE(StationName(page, 'A'), QString());
  QCOMPARE(Cities(page)->currentText(), QStringLiteral("Paris"));
  QCOMPARE(Cities(page)->itemText(0), QStringLiteral("Bordeaux"));
  QCOMPARE(Stations(page)->rowCount(), 35);
  QCOMPARE(Slider(page)->value(), 0);
  QVERIFY(prompts.messages.empty());
  // Opening and closing at once writes nothing to the player.
  sheet.close();
  QCOMPARE(env.SettingsImageBytes(), ImageWith({{0, 87500}, {1, 87600}, {19, 105500}}));
}

void RadioTest::TypedFrequenciesAreTakenOrRefusedWhenTheFieldIsLeft() {
  env.SetSettingsImage(ImageWith({{0, 87500}, {1, 87600}}));
  RememberCity(env, "Paris");
  auto page = ShownPage();
  Edit(page.get(), 'C')->setFocus();
  QCOMPARE(Slider(page.get())->value(), 2);  // the focus moves the slider

  // A decimal comma is a point, and the field shows what a save writes.
  Type(Edit(page.get(), 'A'), QStringLiteral("88,5"), Edit(page.get(), 'B'));
  QCOMPARE(Edit(page.get(), 'A')->text(), QStringLiteral("88.5"));
  for (const char* refused : {"1e2", "88.5x", ""}) {
    Type(Edit(page.get(), 'C'), QString::fromLatin1(refused), Edit(page.get(), 'B'));
    QCOMPARE(Edit(page.get(), 'C')->text(), QStringLiteral("0.0"));
  }
  Type(Edit(page.get(), 'B'), QStringLiteral("120"), Edit(page.get(), 'D'));
  QCOMPARE(Edit(page.get(), 'B')->text(), QStringLiteral("87.6"));
  Type(Edit(page.get(), 'D'), QStringLiteral("FM"), Edit(page.get(), 'A'));
  QCOMPARE(Edit(page.get(), 'D')->text(), QStringLiteral("0.0"));
  Type(Edit(page.get(), 'E'), QStringLiteral("87.8"), Edit(page.get(), 'A'));
  QCOMPARE(StationName(page.get(), 'E'), QStringLiteral("France Inter"));
  // Typed and saved at once: the field is checked before the memories are written.
  Edit(page.get(), 'F')->setFocus();
  Edit(page.get(), 'F')->selectAll();
  QTest::keyClicks(Edit(page.get(), 'F'), QStringLiteral("108"));
  page->findChild<QPushButton*>(QStringLiteral("saveButton"))->click();

  const std::string image = env.SettingsImageBytes();
  QCOMPARE(RecordAt(image, 0), Bytes(0xB4, 0x59, 0x01));  // 88500 kHz
  QCOMPARE(RecordAt(image, 2), Bytes(0, 0, 0));
  QCOMPARE(RecordAt(image, 1), Bytes(48, 86, 1));
  QCOMPARE(RecordAt(image, 3), Bytes(0, 0, 0));
  QCOMPARE(RecordAt(image, 4), Bytes(0xF8, 0x56, 0x01));  // 87800 kHz
  QCOMPARE(RecordAt(image, 5), Bytes(0xE0, 0xA5, 0x01));  // 108000 kHz
}

void RadioTest::DoubleClicksFillTheCurrentMemoryAndMoveDown() {
  env.SetSettingsImage();
  RememberCity(env, "Paris");
  auto page = ShownPage();
  QTableWidget* stations = Stations(page.get());
  // Nothing selected yet: a double click on the empty part does nothing.
  QTest::mouseDClick(stations->viewport(), Qt::LeftButton, {}, QPoint(5, stations->viewport()->height() - 3));
  QCOMPARE(Slider(page.get())->value(), 0);

  DoubleClickRow(stations, RowNamed(stations, QStringLiteral("FIP")));
  QCOMPARE(Edit(page.get(), 'A')->text(), QStringLiteral("105.1"));
  QCOMPARE(StationName(page.get(), 'A'), QStringLiteral("FIP"));
  QCOMPARE(Slider(page.get())->value(), 1);

  Slider(page.get())->setValue(19);
  DoubleClickRow(stations, RowNamed(stations, QStringLiteral("RTL")));
  QCOMPARE(Edit(page.get(), 'T')->text(), QStringLiteral("104.3"));
  QCOMPARE(Slider(page.get())->value(), 19);
  page->findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
  QCOMPARE(RecordAt(env.SettingsImageBytes(), 0), Bytes(0x8C, 0x9A, 0x01));   // 105100 kHz
  QCOMPARE(RecordAt(env.SettingsImageBytes(), 19), Bytes(0x6C, 0x97, 0x01));  // 104300 kHz
}

void RadioTest::AnotherCityChangesTheNamesNotTheFrequencies() {
  env.SetSettingsImage(ImageWith({{0, 105500}, {1, 87800}, {2, 100900}}));
  RememberCity(env, "Paris");
  CRadio page(koral::test::CurrentContext());
  page.Load();
  QCOMPARE(StationName(&page, 'A'), QStringLiteral("France Info"));
  QCOMPARE(StationName(&page, 'B'), QStringLiteral("France Inter"));
  QCOMPARE(StationName(&page, 'C'), QString());
  Cities(&page)->setCurrentIndex(Cities(&page)->findText(QStringLiteral("Lyon")));
  QCOMPARE(Stations(&page)->rowCount(), 13);
  QCOMPARE(StationName(&page, 'A'), QString());
  QCOMPARE(StationName(&page, 'B'), QString());
  QCOMPARE(StationName(&page, 'C'), QStringLiteral("NRJ"));
  QCOMPARE(Edit(&page, 'A')->text(), QStringLiteral("105.5"));
  QCOMPARE(Edit(&page, 'C')->text(), QStringLiteral("100.9"));
}

void RadioTest::SavingWritesOnlyTheFirstNbradiosRecords() {
  env.SetConfigIni("[firmware]\nversion=7.0\n[7.0]\nnbradios=3\noffsetradio=256\n");
  const std::string before = ImageWith({{0, 87500}, {3, 99000}});
  env.SetSettingsImage(before);
  auto page = ShownPage();
  QCOMPARE(Edit(page.get(), 'C')->text(), QStringLiteral("0.0"));
  QCOMPARE(Edit(page.get(), 'D')->text(), QString());  // not read: empty
  Type(Edit(page.get(), 'B'), QStringLiteral("90.1"), Edit(page.get(), 'A'));
  Type(Edit(page.get(), 'D'), QStringLiteral("91.0"), Edit(page.get(), 'A'));
  Type(Edit(page.get(), 'E'), QStringLiteral("200"), Edit(page.get(), 'A'));
  QCOMPARE(Edit(page.get(), 'D')->text(), QStringLiteral("91.0"));
  QCOMPARE(Edit(page.get(), 'E')->text(), QString());  // refused: back to empty
  QSignalSpy closing(page.get(), &SettingsPage::closeSheetRequested);
  page->findChild<QPushButton*>(QStringLiteral("saveAndQuitButton"))->click();
  QCOMPARE(closing.count(), 1);

  std::string expected = before;
  expected.replace(static_cast<size_t>(kOffsetRadio + 6), 3, Bytes(0xF4, 0x5F, 0x01));  // 90100 kHz
  QCOMPARE(env.SettingsImageBytes(), expected);
}

void RadioTest::TheCityIsStoredWhenTheTabIsLeftAndWhenTheSheetCloses() {
  env.SetSettingsImage();
  auto* sheet = new COnglets(koral::test::CurrentContext());
  sheet->show();
  QWidget* page = sheet->Page(COnglets::kRadioPage);
  QCOMPARE(Cities(page)->currentIndex(), -1);
  QCOMPARE(Stations(page)->rowCount(), 0);
  sheet->Tabs()->setCurrentIndex(COnglets::kEqualiserPage);
  QCOMPARE(RememberedCity(env), std::string());  // no city chosen: nothing written

  sheet->Tabs()->setCurrentIndex(COnglets::kRadioPage);
  Cities(page)->setCurrentIndex(Cities(page)->findText(QStringLiteral("Lyon")));
  sheet->Tabs()->setCurrentIndex(COnglets::kEqualiserPage);
  QCOMPARE(RememberedCity(env), std::string("Lyon"));

  Cities(page)->setCurrentIndex(Cities(page)->findText(QStringLiteral("Nice")));
  QPointer<COnglets> alive(sheet);
  page->findChild<QPushButton*>(QStringLiteral("quitButton"))->click();
  QTRY_VERIFY(alive.isNull());
  QCOMPARE(RememberedCity(env), std::string("Nice"));
  QCOMPARE(env.SettingsImageBytes(), std::string(512, '\0'));
}

void RadioTest::ACityAReadOnlyConfigIniRefusesIsLeftForTheMessageAtExit() {
  env.SetSettingsImage();
  const std::string before = koral::test::ReadFile(env.ConfigIni());
  std::filesystem::permissions(env.ConfigIni(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
  QPointer<COnglets> sheet(new COnglets(koral::test::CurrentContext()));
  sheet->show();
  QWidget* page = sheet->Page(COnglets::kRadioPage);
  Cities(page)->setCurrentIndex(Cities(page)->findText(QStringLiteral("Lyon")));
  page->findChild<QPushButton*>(QStringLiteral("quitButton"))->click();
  QTRY_VERIFY(sheet.isNull());
  QVERIFY(prompts.messages.empty());  // said once, by the program at its end
  QCOMPARE(koral::test::ReadFile(env.ConfigIni()), before);
  QVERIFY(HeldAsReadOnlyAtExit(env.ConfigIni()));
}

void RadioTest::TheRememberedCityIsMatchedWholeBeforeAsAPrefix() {
  env.SetSettingsImage();
  koral::test::WriteFile(env.RadiosIni(),
                         "\\Paris 15e\n90.0 Quinze\n-1\n\\paris\n91.0 Centre\n-1\n\\Parme\n-1\n"
                         "\\Paris 15e\n92.0 Encore\n-1\n");
  RememberCity(env, "PARIS");
  {
    CRadio page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(Cities(&page)->count(), 3);
    QCOMPARE(Cities(&page)->currentText(), QStringLiteral("paris"));
    QCOMPARE(Column(Stations(&page), 0), QStringList{QStringLiteral("Centre")});
  }
  RememberCity(env, "par");  // entries: paris, Paris 15e, Parme; the search starts at the second
  {
    CRadio page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(Cities(&page)->currentText(), QStringLiteral("Paris 15e"));
    QCOMPARE(Column(Stations(&page), 0), (QStringList{QStringLiteral("Quinze"), QStringLiteral("Encore")}));
  }
  RememberCity(env, "Lyon");
  CRadio page(koral::test::CurrentContext());
  page.Load();
  QCOMPARE(Cities(&page)->currentIndex(), -1);
}

void RadioTest::CitiesSortAlphabeticallyAndTheRememberedCaseComesBack() {
  env.SetSettingsImage();
  koral::test::WriteFile(env.RadiosIni(),
                         "\\Zurich\n-1\n\\paris\n91.0 Minuscule\n-1\n\\Évreux\n-1\n\\Paris\n90.0 Majuscule\n-1\n"
                         "\\eve\n-1\n\\Lyon\n-1\n");
  RememberCity(env, "paris");
  {
    CRadio page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(ComboTexts(Cities(&page)), (QStringList{"eve", "Évreux", "Lyon", "Paris", "paris", "Zurich"}));
    QCOMPARE(Cities(&page)->currentText(), QStringLiteral("paris"));
    QCOMPARE(Column(Stations(&page), 0), QStringList{QStringLiteral("Minuscule")});
  }
  RememberCity(env, "PARIS");  // no entry of that case: the first equal without regard to case
  CRadio page(koral::test::CurrentContext());
  page.Load();
  QCOMPARE(Cities(&page)->currentText(), QStringLiteral("Paris"));
}

void RadioTest::HeaderClicksSortAndTheMarkFollowsItsRow() {
  env.SetSettingsImage();
  koral::test::WriteFile(env.RadiosIni(), "\\Ville\n95.0 bravo\n88.0 Alpha\n101.0 charlie\n88.04 Zoulou\n-1\n");
  RememberCity(env, "Ville");
  auto page = ShownPage();
  QTableWidget* stations = Stations(page.get());
  const auto clickHeader = [stations](int column) {
    const int x = stations->horizontalHeader()->sectionViewportPosition(column) + 5;
    QTest::mouseClick(stations->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
  };
  QCOMPARE(Column(stations, 1), (QStringList{"95.0", "88.0", "101.0", "88.0"}));
  QCOMPARE(Column(stations, 0), (QStringList{"bravo", "Alpha", "charlie", "Zoulou"}));
  // Reaching the list by the keyboard selects no row: a double click on its empty part does nothing.
  stations->setFocus(Qt::TabFocusReason);
  QTest::mouseDClick(stations->viewport(), Qt::LeftButton, {}, QPoint(5, stations->viewport()->height() - 3));
  QCOMPARE(Edit(page.get(), 'A')->text(), QStringLiteral("0.0"));
  QCOMPARE(Slider(page.get())->value(), 0);
  QTest::mouseClick(stations->viewport(), Qt::LeftButton, {},
                    stations->visualRect(stations->model()->index(0, 0)).center());  // marks "bravo"
  clickHeader(1);
  QCOMPARE(Column(stations, 1), (QStringList{"101.0", "95.0", "88.0", "88.0"}));
  clickHeader(1);
  QCOMPARE(Column(stations, 1), (QStringList{"88.0", "88.0", "95.0", "101.0"}));
  clickHeader(0);
  QCOMPARE(Column(stations, 0), (QStringList{"Alpha", "Zoulou", "bravo", "charlie"}));
  clickHeader(0);
  QCOMPARE(Column(stations, 0), (QStringList{"charlie", "bravo", "Zoulou", "Alpha"}));
  // The mark followed "bravo": a double click on the empty part takes it.
  QTest::mouseDClick(stations->viewport(), Qt::LeftButton, {}, QPoint(5, stations->viewport()->height() - 3));
  QCOMPARE(Edit(page.get(), 'A')->text(), QStringLiteral("95.0"));
  // The first row of the current order names a shared tenth of a MHz.
  Type(Edit(page.get(), 'B'), QStringLiteral("88"), Edit(page.get(), 'C'));
  QCOMPARE(StationName(page.get(), 'B'), QStringLiteral("Zoulou"));
}

void RadioTest::AMissingImageIsFatalOnOpeningAndReportedOnSaving() {
  {
    ExitRecorder exits;
    CRadio page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(exits.statuses, std::vector<int>{1});
    QCOMPARE(prompts.messages.size(), size_t{1});
    QCOMPARE(prompts.messages[0].text, QStringLiteral("'CRadio::ReadRadiosKORAL'... fichier de configuration absent.\r "
                                                      "L'application va se terminer"));
    QCOMPARE(prompts.messages[0].title, QStringLiteral("Erreur"));
  }
  env.SetSettingsImage(ImageWith({{0, 87500}}));
  prompts.Clear();
  auto page = ShownPage();
  std::filesystem::remove(env.SettingsImage());
  Type(Edit(page.get(), 'A'), QStringLiteral("99.0"), Edit(page.get(), 'B'));
  QSignalSpy closing(page.get(), &SettingsPage::closeSheetRequested);
  page->findChild<QPushButton*>(QStringLiteral("saveAndQuitButton"))->click();
  QCOMPARE(closing.count(), 0);  // the edits are not lost
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Erreur"));
  QVERIFY(!std::filesystem::exists(env.SettingsImage()));
}

void RadioTest::MissingStationsFileAndMissingLayout() {
  env.SetSettingsImage(ImageWith({{0, 87500}}));
  std::filesystem::remove(env.RadiosIni());
  env.SetConfigIni("[firmware]\nversion=7.0\n[7.0]\nnbradios=20\n[radio]\nville=Paris\n");
  CRadio page(koral::test::CurrentContext());
  page.Load();
  QCOMPARE(prompts.messages.size(), size_t{2});
  for (const auto& message : prompts.messages) {
    QCOMPARE(message.text, QStringLiteral("Le fichier des fréquences radio n'a pas été trouvé"));
    QCOMPARE(message.title, QStringLiteral("Fichier manquant"));
  }
  QCOMPARE(Cities(&page)->count(), 0);
  // No offsetradio: the memories are shown empty and disabled, nothing is written.
  QCOMPARE(Edit(&page, 'A')->text(), QString());
  QVERIFY(!Edit(&page, 'A')->isEnabled());
  QVERIFY(!page.findChild<QPushButton*>(QStringLiteral("saveButton"))->isEnabled());
  QVERIFY(!page.findChild<QPushButton*>(QStringLiteral("saveAndQuitButton"))->isEnabled());
  QVERIFY(page.findChild<QPushButton*>(QStringLiteral("quitButton"))->isEnabled());
  QCOMPARE(env.SettingsImageBytes(), ImageWith({{0, 87500}}));
}

void RadioTest::MemoriesFilledOnTheDemoPlayerAreReadBackByKoralctl() {
  QCOMPARE(Koralctl({"firmware", "set", "118.2"}).status, 0);  // its memories lie elsewhere than 119.0's
  koral::CreateDemoPlayer(env.PlayerDir(), env.ConfigIni(), env.RadiosIni());
  auto page = ShownPage();
  QCOMPARE(Edit(page.get(), 'A')->text(), QStringLiteral("87.8"));  // the demo's first station of Paris
  Cities(page.get())->setCurrentIndex(Cities(page.get())->findText(QStringLiteral("Paris")));
  QCOMPARE(StationName(page.get(), 'A'), QStringLiteral("France Inter"));
  QTableWidget* stations = Stations(page.get());
  for (const char* name : {"FIP", "RTL", "Radio Nova"}) DoubleClickRow(stations, RowNamed(stations, name));
  page->findChild<QPushButton*>(QStringLiteral("saveButton"))->click();

  const koral::test::KoralctlResult shown = Koralctl({"radio", "show"});
  QCOMPARE(shown.status, 0);
  QVERIFY2(shown.out.starts_with("A 105.1\nB 104.3\nC 101.5\nD 89.9\n"), shown.out.c_str());
  QCOMPARE(std::count(shown.out.begin(), shown.out.end(), '\n'), 20);
}

void RadioTest::LongNamesNeitherWidenThePageNorHideTheFrequencies() {
  env.SetSettingsImage(ImageWith({{0, 100300}, {19, 108000}}));
  const int usualWidth = [] {
    CRadio usual(koral::test::CurrentContext());
    usual.Load();
    return usual.minimumSizeHint().width();
  }();
  const std::string longCity = "Une ville au nom vraiment très long pour voir comment la liste la montre";
  koral::test::WriteFile(env.RadiosIni(),
                         koral::test::ReadFile(env.RadiosIni()) + "\\" + longCity +
                             "\n100.3 Une radio au nom bien trop long pour tenir dans son étiquette\n-1\n");
  RememberCity(env, longCity.c_str());
  CRadio page(koral::test::CurrentContext());
  page.Load();
  QCOMPARE(StationName(&page, 'A'), QStringLiteral("Une radio au nom bien trop long pour tenir dans son étiquette"));
  QCOMPARE(page.findChild<QLabel*>(QStringLiteral("stationNameA"))->toolTip(), StationName(&page, 'A'));
  QCOMPARE(page.minimumSizeHint().width(), usualWidth);
  // At its smallest the page still shows every frequency whole.
  page.resize(page.minimumSizeHint());
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  for (const char letter : {'A', 'T'}) {
    QLineEdit* edit = Edit(&page, letter);
    QCOMPARE(edit->text().size(), 5);
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit);
    // The room the line edit leaves its text: inside the frame, less two pixels each side and the cursor.
    const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit).width() - 2 * 2 - 1;
    QVERIFY2(edit->fontMetrics().horizontalAdvance(edit->text()) <= room, qPrintable(edit->text()));
  }
}

void RadioTest::ASaveWithoutItsBackupIsRefusedAndWritesNothing() {
  ExitRecorder exits;
  const std::string image = ImageWith({{0, 105500}});
  env.SetSettingsImage(image);
  env.BlockBackupFolder();
  auto page = ShownPage();
  Type(Edit(page.get(), 'A'), QStringLiteral("90.1"), Edit(page.get(), 'B'));
  page->findChild<QPushButton*>(QStringLiteral("saveAndQuitButton"))->click();
  QVERIFY(exits.statuses.empty());
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Sauvegarde impossible"));
  QVERIFY(prompts.messages[0].text.contains(QString::fromStdString(koral::ImageBackupFolder().string())));
  QCOMPARE(env.SettingsImageBytes(), image);
  QVERIFY(page->isVisible());  // the page stays, with what the user typed
  QCOMPARE(Edit(page.get(), 'A')->text(), QStringLiteral("90.1"));
}

QTEST_MAIN(RadioTest)
#include "RadioTest.moc"
