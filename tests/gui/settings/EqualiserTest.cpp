// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QtTest>

#include "core/config/PrivateProfile.h"
#include "core/settings/BandField.h"
#include "core/settings/EqualiserTables.h"
#include "core/settings/ImageBackup.h"
#include "gui/settings/Equaliser.h"
#include "gui/settings/Onglets.h"
#include "support/ConfigOption.h"
#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

namespace {

using koral::GainTable;
using koral::PresetGains;
using koral::test::ClickButton;
using koral::test::RequireChild;

constexpr int kOffsetEq = 64;  // the shipped Config.ini, version 119.0
constexpr int kOffsetSelEq = 240;
const char* const kSliders[] = {"slider62Hz", "slider250Hz", "slider1kHz", "slider4kHz", "slider16kHz"};
const char* const kValueLabels[] = {"value62HzLabel", "value250HzLabel", "value1kHzLabel", "value4kHzLabel",
                                    "value16kHzLabel"};

GainTable FactoryTable(const PresetGains& perso) {
  GainTable table{};
  std::copy(koral::kFactoryPresets.begin(), koral::kFactoryPresets.end(), table.begin());
  table[10] = perso;
  return table;
}

std::string ImageWith(const GainTable& gains, int selectedPreset) {
  std::string bytes(512, '\0');
  for (int preset = 0; preset < koral::kGainPresetCount; ++preset)
    for (int band = 0; band < koral::kBandCount; ++band) {
      const auto field = koral::EncodeBandField(gains[size_t(preset)][size_t(band)]);
      for (size_t i = 0; i < 3; ++i)
        bytes[size_t(kOffsetEq + koral::BandFieldDisplacement(preset, band)) + i] = char(field[i] & 0xFF);
    }
  bytes[kOffsetSelEq] = char(selectedPreset);
  return bytes;
}

std::string Option(const koral::test::TestEnvironment& env, const char* key) {
  return koral::GetPrivateProfileString("equaliser", key, "<none>", env.ConfigIni());
}

void SetOptions(const koral::test::TestEnvironment& env, int validation, int modification) {
  SetConfigOption("equaliser", "preset", validation, env.ConfigIni());
  SetConfigOption("equaliser", "perso", modification, env.ConfigIni());
}

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A settings sheet as the main window opens it; deleted if still open at the end.
class Sheet {
 public:
  Sheet() : m_sheet(new COnglets(koral::test::CurrentContext())) { m_sheet->show(); }
  ~Sheet() { delete m_sheet.data(); }
  COnglets* operator->() const { return m_sheet.data(); }
  bool IsGone() const { return m_sheet.isNull(); }

  CEqualiser* ShowEqualiser() const {
    m_sheet->Tabs()->setCurrentIndex(COnglets::kEqualiserPage);
    return qobject_cast<CEqualiser*>(m_sheet->Page(COnglets::kEqualiserPage));
  }
  void CloseWithCaptionBox() const {
    m_sheet->close();
    DeleteClosedWindows();
  }

 private:
  QPointer<COnglets> m_sheet;
};

QSlider* SliderOf(QWidget* page, int band) { return RequireChild<QSlider>(page, kSliders[band]); }

QStringList LabelTexts(QWidget* page) {
  QStringList texts;
  for (const char* name : kValueLabels) texts << RequireChild<QLabel>(page, name)->text();
  return texts;
}

// Moves a slider as the user drags it: to the position of the gain.
void DragTo(QWidget* page, int band, int gain) { SliderOf(page, band)->setValue(gain); }

std::string FieldBytes(const std::string& image, int preset, int band) {
  return image.substr(size_t(kOffsetEq + koral::BandFieldDisplacement(preset, band)), 3);
}

}  // namespace

class EqualiserTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void opensOnThePlayersPresetAndSavesAnEditInPlace();
  void persoPolicyCopiesTheShownCurveIntoPerso();
  void keepingTheOriginalPresetNeverWritesTheSelectionByte();
  void autoSelectionHidesTheSlidersUntilAPresetIsChosen();
  void unknownSelectionByteIsKeptUnlessTheUserPicksAPreset();
  void outOfRangeGainIsShownAtTheEndAndSavedUnchanged();
  void restoreFactoryLeavesPersoAndReloadBringsBackTheReading();
  void presetNamesFollowTheFirmwareVersion();
  void captionCloseWritesNothingButStoresTheOptions();
  void optionsOtherThanZeroOrOneCheckNothingAndStoreMinusOne();
  void optionsAreadOnlyConfigIniRefusesAreLeftForTheMessageAtExit();
  void twoSheetsShareThePresetTables();
  void aSheetClosedBeforeItsEqualiserTabReadsNothing();
  void saveAndQuitWritesAndClosesQuitOnlyCloses();
  void missingImageEndsTheProgramWithStatusOne();
  void failedTransfersEndTheProgramThroughRuleB();
  void missingOffsetKeysAreReportedOnceAndNothingIsWritten();
  void aSaveWithoutItsBackupIsRefusedAndWritesNothing();

 private:
  koral::test::TestEnvironment env;  // each test's own: see init()
  koral::test::PromptRecorder prompts;
};

void EqualiserTest::opensOnThePlayersPresetAndSavesAnEditInPlace() {
  SetOptions(env, 0, 0);
  env.SetSettingsImage(ImageWith(FactoryTable({1, 2, 3, 4, 5}), 3));
  Sheet sheet;
  QCOMPARE(sheet->Page(COnglets::kEqualiserPage), nullptr);
  CEqualiser* page = sheet.ShowEqualiser();
  QVERIFY(page != nullptr);
  QCOMPARE(RequireChild<QComboBox>(page, "presetCombo")->currentText(), QStringLiteral("Classique"));
  QCOMPARE(LabelTexts(page), (QStringList{"18", "-4", "-2", "14", "14"}));
  QCOMPARE(SliderOf(page, 0)->value(), 18);
  QVERIFY(RequireChild<QRadioButton>(page, "applySelectedRadio")->isChecked());
  QVERIFY(RequireChild<QRadioButton>(page, "selectCurrentRadio")->isChecked());

  DragTo(page, 0, 7);
  QTest::keyClick(SliderOf(page, 4), Qt::Key_Up);  // one step up: +1
  QCOMPARE(LabelTexts(page), (QStringList{"7", "-4", "-2", "14", "15"}));
  QCOMPARE(RequireChild<QComboBox>(page, "presetCombo")->currentIndex(), 3);
  ClickButton(page, "saveButton");

  const std::string image = env.SettingsImageBytes();
  QCOMPARE(image.size(), size_t(512));
  QCOMPARE(image[kOffsetSelEq], char(3));
  GainTable expected = FactoryTable({1, 2, 3, 4, 5});
  expected[3] = {7, -4, -2, 14, 15};
  QCOMPARE(image, ImageWith(expected, 3));  // all 165 bytes, nothing else
  QVERIFY(prompts.messages.empty());
}

void EqualiserTest::persoPolicyCopiesTheShownCurveIntoPerso() {
  SetOptions(env, 0, 1);
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 3));
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  DragTo(page, 1, 6);
  QCOMPARE(RequireChild<QComboBox>(page, "presetCombo")->currentText(), QStringLiteral("Perso"));
  ClickButton(page, "saveButton");

  const std::string image = env.SettingsImageBytes();
  QCOMPARE(image[kOffsetSelEq], char(10));
  GainTable expected = FactoryTable({18, 6, -2, 14, 14});  // Classique with one band changed
  QCOMPARE(image, ImageWith(expected, 10));
}

void EqualiserTest::keepingTheOriginalPresetNeverWritesTheSelectionByte() {
  SetOptions(env, 1, 1);
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 2));
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  RequireChild<QComboBox>(page, "presetCombo")->setCurrentIndex(5);
  DragTo(page, 2, -5);
  ClickButton(page, "saveButton");
  const std::string image = env.SettingsImageBytes();
  QCOMPARE(image[kOffsetSelEq], char(2));
  QCOMPARE(FieldBytes(image, 10, 2), std::string("\xFB\xFF\xFF", 3));
  QCOMPARE(FieldBytes(image, 10, 0), std::string("\x0C\x00\x00", 3));  // Xtrem BASS's 62 Hz
}

void EqualiserTest::autoSelectionHidesTheSlidersUntilAPresetIsChosen() {
  SetOptions(env, 0, 0);
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 11));
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  QCOMPARE(RequireChild<QComboBox>(page, "presetCombo")->currentText(), QStringLiteral("Auto"));
  for (int band = 0; band < 5; ++band) QVERIFY(SliderOf(page, band)->isHidden());
  QCOMPARE(LabelTexts(page), (QStringList{"", "", "", "", ""}));

  RequireChild<QComboBox>(page, "presetCombo")->setCurrentIndex(1);  // Rock
  for (int band = 0; band < 5; ++band) QVERIFY(SliderOf(page, band)->isVisible());
  QCOMPARE(LabelTexts(page), (QStringList{"12", "-2", "-4", "0", "8"}));
  DragTo(page, 3, 2);
  ClickButton(page, "saveButton");
  const std::string image = env.SettingsImageBytes();
  QCOMPARE(image[kOffsetSelEq], char(1));
  QCOMPARE(FieldBytes(image, 1, 3), std::string("\x02\x00\x00", 3));
}

void EqualiserTest::unknownSelectionByteIsKeptUnlessTheUserPicksAPreset() {
  SetOptions(env, 0, 0);
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 14));
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  QCOMPARE(RequireChild<QComboBox>(page, "presetCombo")->currentIndex(), -1);
  QVERIFY(SliderOf(page, 0)->isHidden());
  ClickButton(page, "saveButton");
  QCOMPARE(env.SettingsImageBytes()[kOffsetSelEq], char(14));

  RequireChild<QComboBox>(page, "presetCombo")->setCurrentIndex(4);
  ClickButton(page, "saveButton");
  QCOMPARE(env.SettingsImageBytes()[kOffsetSelEq], char(4));
}

void EqualiserTest::outOfRangeGainIsShownAtTheEndAndSavedUnchanged() {
  SetOptions(env, 0, 0);
  GainTable gains = FactoryTable({0, 0, 0, 0, 0});
  gains[0] = {-235, 20, 0, 0, 0};  // first bytes 21 and 20
  env.SetSettingsImage(ImageWith(gains, 0));
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  QCOMPARE(LabelTexts(page), (QStringList{"-12", "20", "0", "0", "0"}));
  QCOMPARE(SliderOf(page, 0)->value(), -12);  // the bottom end
  ClickButton(page, "saveButton");
  QCOMPARE(FieldBytes(env.SettingsImageBytes(), 0, 0), std::string("\x15\xFF\xFF", 3));
}

void EqualiserTest::restoreFactoryLeavesPersoAndReloadBringsBackTheReading() {
  SetOptions(env, 0, 0);
  GainTable read = FactoryTable({1, 2, 3, 4, 5});
  read[1] = {-1, -1, -1, -1, -1};  // a Rock the user changed on the player
  env.SetSettingsImage(ImageWith(read, 1));
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  RequireChild<QComboBox>(page, "presetCombo")->setCurrentIndex(10);
  DragTo(page, 0, 9);
  RequireChild<QComboBox>(page, "presetCombo")->setCurrentIndex(1);

  RequireChild<QRadioButton>(page, "keepOriginalRadio")->click();
  ClickButton(page, "restoreFactoryButton");
  QCOMPARE(LabelTexts(page), (QStringList{"12", "-2", "-4", "0", "8"}));
  QVERIFY(RequireChild<QRadioButton>(page, "keepOriginalRadio")->isChecked());
  RequireChild<QRadioButton>(page, "selectCurrentRadio")->click();
  ClickButton(page, "saveButton");
  GainTable saved = FactoryTable({9, 2, 3, 4, 5});
  QCOMPARE(env.SettingsImageBytes(), ImageWith(saved, 1));

  ClickButton(page, "reloadPlayerButton");  // what was read when the page opened, not the save
  QCOMPARE(LabelTexts(page), (QStringList{"-1", "-1", "-1", "-1", "-1"}));
  QCOMPARE(RequireChild<QComboBox>(page, "presetCombo")->currentIndex(), 1);
  ClickButton(page, "saveButton");
  QCOMPARE(env.SettingsImageBytes(), ImageWith(read, 1));
}

void EqualiserTest::presetNamesFollowTheFirmwareVersion() {
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 1));
  {
    Sheet sheet;
    QComboBox* combo = RequireChild<QComboBox>(sheet.ShowEqualiser(), "presetCombo");
    QCOMPARE(combo->currentText(), QStringLiteral("Rock"));
    QCOMPARE(koral::test::ComboTexts(combo), (QStringList{"Normal", "Rock", "Jazz", "Classique", "Pop", "Xtrem BASS",
                                                          "Techno", "Dance", "Live", "Reggae", "Perso", "Auto"}));
  }
  SetConfigOption("firmware", "version", "118.2", env.ConfigIni());
  std::string image(512, '\0');
  image[224] = 1;  // 118.2's offsetseleq
  env.SetSettingsImage(image);
  Sheet sheet;
  QComboBox* combo = RequireChild<QComboBox>(sheet.ShowEqualiser(), "presetCombo");
  QCOMPARE(combo->currentText(), QStringLiteral("Jazz"));
  // The index, not the name, is what the player stores: Rock is 3 and Classique 4 here.
  QCOMPARE(koral::test::ComboTexts(combo), (QStringList{"Normal", "Jazz", "Pop", "Rock", "Classique", "Extra bass",
                                                        "Techno", "Dance", "Live", "Reggae", "Perso", "Auto"}));
}

void EqualiserTest::captionCloseWritesNothingButStoresTheOptions() {
  SetOptions(env, 1, 1);
  const std::string image = ImageWith(FactoryTable({0, 0, 0, 0, 0}), 0);
  env.SetSettingsImage(image);
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  DragTo(page, 0, 5);
  RequireChild<QRadioButton>(page, "applySelectedRadio")->click();
  RequireChild<QRadioButton>(page, "selectCurrentRadio")->click();
  // The moved slider is asked about; "Ne pas enregistrer" drops it.
  prompts.saveAnswers = {Prompt::SaveChoice::kDiscard};
  sheet.CloseWithCaptionBox();
  QVERIFY(sheet.IsGone());
  QCOMPARE(prompts.saveQuestions.size(), size_t{1});
  QCOMPARE(env.SettingsImageBytes(), image);
  QVERIFY(!std::filesystem::exists(koral::ImageBackupFolder()));
  QCOMPARE(Option(env, "preset"), std::string("0"));
  QCOMPARE(Option(env, "perso"), std::string("0"));
}

void EqualiserTest::optionsAreadOnlyConfigIniRefusesAreLeftForTheMessageAtExit() {
  SetOptions(env, 1, 1);
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 0));
  const std::string before = koral::test::ReadFile(env.ConfigIni());
  chmod(env.ConfigIni().c_str(), 0444);
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  RequireChild<QRadioButton>(page, "applySelectedRadio")->click();
  sheet.CloseWithCaptionBox();
  QVERIFY(sheet.IsGone());
  QVERIFY(prompts.messages.empty());  // said once, by the program at its end
  QCOMPARE(koral::test::ReadFile(env.ConfigIni()), before);
  QVERIFY(HeldAsReadOnlyAtExit(env.ConfigIni()));
}

void EqualiserTest::optionsOtherThanZeroOrOneCheckNothingAndStoreMinusOne() {
  SetOptions(env, 7, 5);
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 2));
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  for (const char* radio : {"selectCurrentRadio", "keepOriginalRadio", "applySelectedRadio", "applyPersoRadio"})
    QVERIFY(!RequireChild<QRadioButton>(page, radio)->isChecked());
  RequireChild<QComboBox>(page, "presetCombo")->setCurrentIndex(6);
  DragTo(page, 0, -1);  // only choice 1 edits Perso: the shown preset is edited
  QCOMPARE(RequireChild<QComboBox>(page, "presetCombo")->currentIndex(), 6);
  ClickButton(page, "saveButton");
  const std::string image = env.SettingsImageBytes();
  QCOMPARE(image[kOffsetSelEq], char(2));  // only choice 0 selects
  QCOMPARE(FieldBytes(image, 6, 0), std::string("\xFF\xFF\xFF", 3));
  QCOMPARE(FieldBytes(image, 10, 0), std::string(3, '\0'));

  sheet->Tabs()->setCurrentIndex(COnglets::kReglagesPage);  // leaving the tab stores the options
  QCOMPARE(Option(env, "preset"), std::string("-1"));
  QCOMPARE(Option(env, "perso"), std::string("-1"));
}

void EqualiserTest::twoSheetsShareThePresetTables() {
  SetOptions(env, 1, 0);
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 0));
  Sheet first;
  CEqualiser* firstPage = first.ShowEqualiser();
  Sheet second;
  CEqualiser* secondPage = second.ShowEqualiser();
  DragTo(firstPage, 4, -7);  // edits Normal, in the tables both pages use
  ClickButton(secondPage, "saveButton");
  QCOMPARE(FieldBytes(env.SettingsImageBytes(), 0, 4), std::string("\xF9\xFF\xFF", 3));
  emit RequireChild<QComboBox>(secondPage, "presetCombo")->activated(0);  // the user picks Normal again
  QCOMPARE(LabelTexts(secondPage)[4], QStringLiteral("-7"));
  QVERIFY(prompts.messages.empty());
}

void EqualiserTest::aSheetClosedBeforeItsEqualiserTabReadsNothing() {
  koral::test::ExitRecorder exits;
  SetOptions(env, 1, 1);
  const std::string image = ImageWith(FactoryTable({5, 5, 5, 5, 5}), 4);
  env.SetSettingsImage(image);
  GainTable sentinel{};
  sentinel[0] = {-9, -9, -9, -9, -9};
  koral::EqualiserTables::Shared().TakePlayerGains(sentinel);
  Sheet sheet;
  sheet.CloseWithCaptionBox();
  QVERIFY(sheet.IsGone());
  QCOMPARE(koral::EqualiserTables::Shared().PlayerTable(), sentinel);
  QCOMPARE(koral::EqualiserTables::Shared().WorkingTable(), sentinel);
  QCOMPARE(env.SettingsImageBytes(), image);
  QCOMPARE(Option(env, "preset"), std::string("1"));
  QVERIFY(exits.statuses.empty());
}

void EqualiserTest::saveAndQuitWritesAndClosesQuitOnlyCloses() {
  SetOptions(env, 0, 0);
  const std::string image = ImageWith(FactoryTable({0, 0, 0, 0, 0}), 0);
  env.SetSettingsImage(image);
  {
    Sheet sheet;
    CEqualiser* page = sheet.ShowEqualiser();
    QVERIFY(!RequireChild<QPushButton>(page, "quitButton")->isDefault());
    DragTo(page, 0, 3);
    ClickButton(page, "quitButton");
    DeleteClosedWindows();
    QVERIFY(sheet.IsGone());
    QCOMPARE(env.SettingsImageBytes(), image);
  }
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  DragTo(page, 0, 4);
  ClickButton(page, "saveAndQuitButton");
  DeleteClosedWindows();
  QVERIFY(sheet.IsGone());
  QCOMPARE(FieldBytes(env.SettingsImageBytes(), 0, 0), std::string("\x04\x00\x00", 3));
}

void EqualiserTest::missingImageEndsTheProgramWithStatusOne() {
  koral::test::ExitRecorder exits;
  // The Radio tab reads the image first; it goes away before the Equaliser tab is shown.
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 0));
  Sheet sheet;
  std::filesystem::remove(env.SettingsImage());
  CEqualiser* page = sheet.ShowEqualiser();
  QCOMPARE(exits.statuses, std::vector<int>{1});
  QCOMPARE(prompts.messages.size(), size_t(1));
  QCOMPARE(
      prompts.messages[0].text,
      QStringLiteral("'CEqualiser::OnInitDialog'... fichier de configuration absent.\r L'application va se terminer"));
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Erreur"));
  QVERIFY(!RequireChild<QPushButton>(page, "saveButton")->isEnabled());
  QVERIFY(!std::filesystem::exists(env.SettingsImage()));

  // The image goes away between the reading and the save.
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 0));
  Sheet other;
  CEqualiser* otherPage = other.ShowEqualiser();
  std::filesystem::remove(env.SettingsImage());
  ClickButton(otherPage, "saveButton");
  QCOMPARE(exits.statuses, (std::vector<int>{1, 1}));
  QCOMPARE(
      prompts.messages.back().text,
      QStringLiteral("'CEqualiser::OnEqvalid'... fichier de configuration absent.\r L'application va se terminer"));
  QVERIFY(!std::filesystem::exists(env.SettingsImage()));
}

void EqualiserTest::failedTransfersEndTheProgramThroughRuleB() {
  koral::test::ExitRecorder exits;
  // A pipe opens but cannot be positioned: the reading fails.
  QCOMPARE(mkfifo(env.SettingsImage().c_str(), 0600), 0);
  {
    CEqualiser page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(exits.statuses, std::vector<int>{1});
    QCOMPARE(prompts.messages.size(), size_t(1));
    QCOMPARE(
        prompts.messages[0].text,
        QStringLiteral("'CEqualiser::OnInitDialog'... lecture impossible sur l'Koral.\r L'application va se terminer"));
    QCOMPARE(prompts.messages[0].title, QStringLiteral("Erreur"));
    QCOMPARE(LabelTexts(&page), (QStringList{"?", "?", "?", "?", "?"}));
  }
  std::filesystem::remove(env.SettingsImage());

  // A player that takes the bytes but cannot keep them past 150 bytes: the
  // save fails. The backup of the 100-byte image still fits.
  env.SetSettingsImage(ImageWith(FactoryTable({0, 0, 0, 0, 0}), 0).substr(0, 100));
  CEqualiser page(koral::test::CurrentContext());
  page.Load();
  QCOMPARE(prompts.messages.size(), size_t(1));
  DragTo(&page, 0, 3);
  {
    const koral::test::FileSizeLimit limit(150);
    ClickButton(&page, "saveAndQuitButton");
  }
  QCOMPARE(exits.statuses, (std::vector<int>{1, 1}));
  QCOMPARE(prompts.messages.size(), size_t(2));
  QCOMPARE(
      prompts.messages[1].text,
      QStringLiteral("'CEqualiser::OnEqvalid'... écriture impossible sur l'Koral.\r L'application va se terminer"));
  QCOMPARE(prompts.messages[1].title, QStringLiteral("Erreur"));
}

void EqualiserTest::missingOffsetKeysAreReportedOnceAndNothingIsWritten() {
  koral::test::ExitRecorder exits;
  env.SetConfigIni("[equaliser]\npreset=0\nperso=0\n[firmware]\nversion=119.0\n[119.0]\noffsetseleq=240\n");
  const std::string image(512, '\x07');
  env.SetSettingsImage(image);
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  QCOMPARE(prompts.messages.size(), size_t(1));
  QVERIFY(prompts.messages[0].text.contains(QStringLiteral("\"119.0\"")));
  QVERIFY(prompts.messages[0].text.contains(QStringLiteral("offseteq")));
  QVERIFY(!prompts.messages[0].text.contains(QStringLiteral("offsetseleq")));
  QCOMPARE(LabelTexts(page), (QStringList{"?", "?", "?", "?", "?"}));
  QVERIFY(!RequireChild<QPushButton>(page, "saveButton")->isEnabled());
  QVERIFY(!RequireChild<QPushButton>(page, "saveAndQuitButton")->isEnabled());
  sheet->Tabs()->setCurrentIndex(COnglets::kRadioPage);
  sheet->Tabs()->setCurrentIndex(COnglets::kEqualiserPage);
  sheet.CloseWithCaptionBox();
  QCOMPARE(prompts.messages.size(), size_t(1));
  QCOMPARE(env.SettingsImageBytes(), image);
  QVERIFY(exits.statuses.empty());
}

void EqualiserTest::aSaveWithoutItsBackupIsRefusedAndWritesNothing() {
  koral::test::ExitRecorder exits;
  SetOptions(env, 0, 0);
  const std::string image = ImageWith(FactoryTable({0, 0, 0, 0, 0}), 2);
  env.SetSettingsImage(image);
  env.BlockBackupFolder();
  Sheet sheet;
  CEqualiser* page = sheet.ShowEqualiser();
  DragTo(page, 1, 7);
  ClickButton(page, "saveAndQuitButton");
  QVERIFY(exits.statuses.empty());
  QCOMPARE(prompts.messages.size(), size_t(1));
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Sauvegarde impossible"));
  QVERIFY(prompts.messages[0].text.contains(QString::fromStdString(koral::ImageBackupFolder().string())));
  QCOMPARE(env.SettingsImageBytes(), image);
  QVERIFY(!sheet.IsGone());  // the sheet stays open with the user's curve
  QCOMPARE(LabelTexts(page)[1], QStringLiteral("7"));
}

QTEST_MAIN(EqualiserTest)
#include "EqualiserTest.moc"
