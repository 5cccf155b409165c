// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/config/PrivateProfile.h"
#include "core/settings/BandField.h"
#include "core/settings/ImageBackup.h"
#include "gui/firmware/SoftPropDlg.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"
#include "support/Undeletable.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

using koral::test::ComboTexts;
using koral::test::ExitRecorder;
using koral::test::PromptRecorder;
using koral::test::TestEnvironment;

namespace {

constexpr int kRadioOffset = 256;
constexpr int kPersoOffset = 64 + 150;

// A Config.ini with the two layouts the tests use; the current version,
// the list of versions and 119.0's radio count are the test's to choose.
std::string Config(const std::string& current, const std::string& available, const std::string& radioCount = "3",
                   const std::string& equaliserKey = "offseteq=64\r\n") {
  return "[repertoires]\r\nprofil=/initial/folder\r\n[firmware]\r\nversion=" + current +
         "\r\nversionsdispo=" + available + "\r\n[119.0]\r\n" + equaliserKey + "nbradios=" + radioCount +
         "\r\noffsetradio=256\r\n[118.2]\r\noffseteq=48\r\nnbradios=2\r\noffsetradio=232\r\n";
}

void Put(std::string& image, int offset, std::initializer_list<int> bytes) {
  for (int byte : bytes) image[static_cast<size_t>(offset++)] = static_cast<char>(byte);
}

// 105.5 MHz in A, 96.0 MHz in B, C empty; Perso gains 3, -2, 0, 5, -12.
std::string SampleImage() {
  std::string image(512, '\0');
  Put(image, kRadioOffset, {0x1C, 0x9C, 0x01});
  Put(image, kRadioOffset + 6, {0x00, 0x77, 0x01});
  int band = 0;
  for (int gain : {3, -2, 0, 5, -12}) {
    const auto field = koral::EncodeBandField(gain);
    Put(image, kPersoOffset + 3 * band++, {field[0], field[1], field[2]});
  }
  return image;
}

std::string ProfileText(const std::string& a, const std::string& b, const std::string& c, const std::string& perso) {
  std::string text = "[radios]\r\na=" + a + "\r\nb=" + b + "\r\nc=" + c + "\r\n";
  for (char key = 'd'; key <= 't'; ++key) text += std::string(1, key) + "=\r\n";
  return text + "\r\n[equaliser]\r\nperso=" + perso + "\r\n";
}

const std::string kSamplePerso = "3 0 0 254 255 255 0 0 0 5 0 0 244 255 255";
const std::string kSampleProfile = ProfileText("28 156", "0 119", "0 0", kSamplePerso);

QString Path(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

void Click(CSoftPropDlg& dialog, const char* button) {
  auto* widget = dialog.findChild<QPushButton*>(QLatin1String(button));
  QVERIFY(widget);
  QTest::mouseClick(widget, Qt::LeftButton);
}

QComboBox* VersionCombo(CSoftPropDlg& dialog) { return dialog.findChild<QComboBox*>(QStringLiteral("versionCombo")); }

std::string Bytes(const std::string& image, int offset, int count) {
  return image.substr(static_cast<size_t>(offset), static_cast<size_t>(count));
}

}  // namespace

class SoftPropDlgTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void versionListSelectsAnExactMatchBeforeThePrefixSearch();
  void versionListIsCutAtEverySingleSpaceAndSorted();
  void emptyVersionListIsReportedAndRefusesEveryOperation();
  void versionSaveWritesTheSelectedEntryOnly();
  void enterTakesATypedVersionAndClosingAsksToSaveIt();
  void saveWritesTheProfileByteForByte();
  void saveTakesTheVersionSectionOfTheSelectedEntry();
  void saveHoldsTheRadioCountToTwenty();
  void loadWritesTheSavedBytesBack();
  void loadSkipsEmptyEntriesAndAMissingPerso();
  void loadRefusesDamagedValuesAndWritesTheRest();
  void missingEqualiserOffsetIsNeitherSavedNorLoaded();
  void missingRadioCountIsReportedNotTakenAsNoMemory();
  void cancelledFileDialogsChangeNothing();
  void profileThatCannotBeCreatedIsReported();
  void missingImageIsFatal();
  void loadWithoutItsBackupIsRefusedAndSaveStillWorks();
  void filesThatAreNoProfileAreRefusedAndLoadNothing();
  void loadOntoAReadOnlyPlayerSaysSoAndGoesOn();
  void koralctlSavesTheSameFileAsTheDialog();

 private:
  TestEnvironment env;  // each test's own: see init()
  PromptRecorder prompts;
};

void SoftPropDlgTest::versionListSelectsAnExactMatchBeforeThePrefixSearch() {
  env.SetConfigIni(Config("119.0", "119.0 119.01"));
  {
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    QCOMPARE(VersionCombo(dialog)->currentText(), QStringLiteral("119.0"));
  }
  env.SetConfigIni(Config("119", "119.0 119.01"));
  {
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    QCOMPARE(VersionCombo(dialog)->currentText(), QStringLiteral("119.01"));
  }
  env.SetConfigIni(Config("120", "119.0 119.01"));
  {
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    QCOMPARE(VersionCombo(dialog)->currentIndex(), -1);
  }
  QVERIFY(prompts.messages.empty());
}

void SoftPropDlgTest::versionListIsCutAtEverySingleSpaceAndSorted() {
  env.SetConfigIni(Config("119.0", "119.0  118.2"));
  {
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    QCOMPARE(ComboTexts(VersionCombo(dialog)), (QStringList{QString(), "118.2", "119.0"}));
  }
  env.SetConfigIni(Config("119.0", "119.0 "));
  {
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    QCOMPARE(ComboTexts(VersionCombo(dialog)), QStringList{"119.0"});
  }
  env.SetConfigIni(Config("beta", "Gamma 119.0-firmware-beta alpha Beta"));
  {
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    QCOMPARE(ComboTexts(VersionCombo(dialog)), (QStringList{"119.0-firmware-beta", "alpha", "Beta", "Gamma"}));
    QCOMPARE(VersionCombo(dialog)->currentText(), QStringLiteral("Beta"));
  }
}

void SoftPropDlgTest::emptyVersionListIsReportedAndRefusesEveryOperation() {
  env.SetConfigIni(Config("119.0", ""));
  env.SetSettingsImage(SampleImage());
  const std::string configBefore = koral::test::ReadFile(env.ConfigIni());
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  QCOMPARE(VersionCombo(dialog)->count(), 0);
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text,
           QStringLiteral("Aucun firmware n'est disponible.\n Il ne fallait pas trafiquer le fichier Config.ini"));
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Erreur de firmware"));

  prompts.fileAnswers = {Path(env.ComputerDir() / "p.pro"), Path(env.ComputerDir() / "p.pro")};
  Click(dialog, "saveVersionButton");
  Click(dialog, "saveProfileButton");
  Click(dialog, "loadProfileButton");
  QCOMPARE(prompts.messages.size(), size_t{4});
  for (size_t i = 1; i < 4; ++i) QVERIFY(prompts.messages[i].text.startsWith("Aucune version de firmware"));
  QVERIFY(prompts.fileDialogCaptions.empty());
  QCOMPARE(koral::test::ReadFile(env.ConfigIni()), configBefore);
  QVERIFY(!std::filesystem::exists(env.ComputerDir() / "p.pro"));
}

void SoftPropDlgTest::versionSaveWritesTheSelectedEntryOnly() {
  env.SetConfigIni(Config("119.0", "119.0 118.2 119.0-firmware-beta"));
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  dialog.show();
  QVERIFY(!dialog.findChild<QWidget*>(QStringLiteral("languageGroup"))->isVisible());
  QComboBox* combo = VersionCombo(dialog);
  combo->setCurrentIndex(combo->findText("118.2"));
  Click(dialog, "saveVersionButton");
  QCOMPARE(koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni()), std::string("118.2"));
  QVERIFY(prompts.messages.empty());

  combo->lineEdit()->clear();
  QTest::keyClicks(combo->lineEdit(), "118");
  Click(dialog, "saveVersionAndQuitButton");
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni()), std::string("118.2"));
  QCOMPARE(combo->count(), 3);  // typed text is never added to the list
  QVERIFY(dialog.isVisible());

  combo->setCurrentIndex(combo->findText("119.0-firmware-beta"));
  Click(dialog, "saveVersionAndQuitButton");
  QCOMPARE(koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni()),
           std::string("119.0-firmware-beta"));
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QVERIFY(!dialog.isVisible());
}

void SoftPropDlgTest::enterTakesATypedVersionAndClosingAsksToSaveIt() {
  env.SetConfigIni(Config("119.0", "119.0 118.2 119.0-firmware-beta"));
  const auto version = [this] { return koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni()); };
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QComboBox* combo = VersionCombo(dialog);
  combo->setFocus();
  const auto typeAndEnter = [combo](const char* text) {
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), text);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  };

  // A listed version, whatever its case, is taken as listed; nothing is written yet.
  typeAndEnter("119.0-FIRMWARE-BETA");
  QVERIFY(dialog.isVisible());
  QCOMPARE(combo->currentText(), QStringLiteral("119.0-firmware-beta"));
  QCOMPARE(version(), std::string("119.0"));
  // Text naming no version puts the taken one back.
  typeAndEnter("999");
  QCOMPARE(combo->currentText(), QStringLiteral("119.0-firmware-beta"));
  QVERIFY(dialog.isVisible());

  // Escape: "Annuler" keeps the dialog, "Enregistrer" saves and closes.
  prompts.saveAnswers = {Prompt::SaveChoice::kCancel, Prompt::SaveChoice::kSave};
  QTest::keyClick(&dialog, Qt::Key_Escape);
  QVERIFY(dialog.isVisible());
  QCOMPARE(prompts.saveQuestions.size(), size_t{1});
  QCOMPARE(prompts.saveQuestions[0].text, QStringLiteral("Enregistrer les modifications sur l'Koral ?"));
  QCOMPARE(prompts.saveQuestions[0].title, QStringLiteral("Firmware et profils"));
  dialog.close();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(version(), std::string("119.0-firmware-beta"));

  // Once saved, nothing is left to ask about; "Quitter (sans enregistrer)" never asks.
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  QCOMPARE(prompts.saveQuestions.size(), size_t{2});
  dialog.show();
  combo->setCurrentIndex(combo->findText("118.2"));
  Click(dialog, "quitButton");
  QVERIFY(!dialog.isVisible());
  QCOMPARE(prompts.saveQuestions.size(), size_t{2});
  QCOMPARE(version(), std::string("119.0-firmware-beta"));
}

void SoftPropDlgTest::saveWritesTheProfileByteForByte() {
  env.SetConfigIni(Config("119.0", "119.0 118.2"));
  env.SetSettingsImage(SampleImage());
  const auto file = env.ComputerDir() / "mine.pro";
  prompts.fileAnswers = {Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");
  QCOMPARE(prompts.fileDialogCaptions, std::vector<QString>{"Sauver le profil courant (lu sur l'Koral)"});
  QCOMPARE(prompts.lastFilter, QStringLiteral("Profils (*.pro)"));
  QCOMPARE(prompts.lastSuffix, QStringLiteral("pro"));
  QCOMPARE(prompts.lastFolder, QStringLiteral("/initial/folder"));
  QCOMPARE(koral::test::ReadFile(file), kSampleProfile);
  QCOMPARE(koral::GetPrivateProfileString("repertoires", "profil", "", env.ConfigIni()), env.ComputerDir().string());
  QCOMPARE(env.SettingsImageBytes(), SampleImage());
  QVERIFY(prompts.messages.empty());

  // The initial folder stays the one read when the dialog opened.
  prompts.fileAnswers = {Path(env.ComputerDir() / "again.pro")};
  Click(dialog, "saveProfileButton");
  QCOMPARE(prompts.lastFolder, QStringLiteral("/initial/folder"));
}

void SoftPropDlgTest::saveTakesTheVersionSectionOfTheSelectedEntry() {
  env.SetConfigIni(Config("119.0", "119.0 118.2"));
  std::string image(512, '\0');
  Put(image, 232, {0xCC, 0x55, 0x01});
  Put(image, 238, {0x1C, 0x9C, 0x01});
  Put(image, 48 + 150, {0x02, 0x00, 0x00});
  env.SetSettingsImage(image);
  const auto file = env.ComputerDir() / "old.pro";
  prompts.fileAnswers = {Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  VersionCombo(dialog)->setCurrentIndex(VersionCombo(dialog)->findText("118.2"));
  Click(dialog, "saveProfileButton");
  QCOMPARE(koral::test::ReadFile(file), ProfileText("204 85", "28 156", "", "2 0 0 0 0 0 0 0 0 0 0 0 0 0 0"));
  QCOMPARE(koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni()), std::string("119.0"));
}

void SoftPropDlgTest::saveHoldsTheRadioCountToTwenty() {
  env.SetConfigIni(Config("119.0", "119.0", "25"));
  std::string image(512, '\0');
  Put(image, kRadioOffset + 6 * 19, {0x1C, 0x9C, 0x01});
  Put(image, kRadioOffset + 6 * 20, {0xCC, 0x55, 0x01});
  env.SetSettingsImage(image);
  const auto file = env.ComputerDir() / "all.pro";
  prompts.fileAnswers = {Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");
  const std::string text = koral::test::ReadFile(file);
  QVERIFY(text.find("s=0 0\r\nt=28 156\r\n\r\n[equaliser]") != std::string::npos);
  QVERIFY(text.find("u=") == std::string::npos);
}

void SoftPropDlgTest::loadWritesTheSavedBytesBack() {
  env.SetConfigIni(Config("119.0", "119.0 118.2"));
  env.SetSettingsImage(SampleImage());
  const auto file = env.ComputerDir() / "round.pro";
  prompts.fileAnswers = {Path(file), Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");

  // Another player: its memories and Perso preset differ.
  std::string other(512, '\x11');
  env.SetSettingsImage(other);
  Click(dialog, "loadProfileButton");
  QCOMPARE(prompts.fileDialogCaptions.back(),
           QStringLiteral("Ouvrir un profil existant (sauvé directement dans l'Koral)"));
  const std::string loaded = env.SettingsImageBytes();
  QCOMPARE(Bytes(loaded, kRadioOffset, 18), Bytes(SampleImage(), kRadioOffset, 3) + "\x11\x11\x11" +
                                                Bytes(SampleImage(), kRadioOffset + 6, 3) + "\x11\x11\x11" +
                                                std::string(3, '\0') + "\x11\x11\x11");
  QCOMPARE(Bytes(loaded, kPersoOffset, 15), Bytes(SampleImage(), kPersoOffset, 15));
  Put(other, kRadioOffset, {0x1C, 0x9C, 0x01, 0x11, 0x11, 0x11, 0x00, 0x77, 0x01, 0x11, 0x11, 0x11, 0, 0, 0});
  Put(other, kPersoOffset, {3, 0, 0, 254, 255, 255, 0, 0, 0, 5, 0, 0, 244, 255, 255});
  QCOMPARE(loaded, other);  // nothing else touched
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text,
           QStringLiteral("Profil chargé dans l'Koral : 3 mémoires radio et la courbe de l'égaliseur \"Perso\"."));
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Charger le profil"));
}

void SoftPropDlgTest::loadSkipsEmptyEntriesAndAMissingPerso() {
  env.SetConfigIni(Config("119.0", "119.0", "20"));
  const std::string image(512, '\x11');
  env.SetSettingsImage(image);
  const auto file = env.ComputerDir() / "radios.pro";
  koral::test::WriteFile(file, "[radios]\r\na=\r\nb=0 119\r\nd=28 156\r\n");
  prompts.fileAnswers = {Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "loadProfileButton");
  std::string expected = image;
  Put(expected, kRadioOffset + 6, {0x00, 0x77, 0x01});
  Put(expected, kRadioOffset + 18, {0x1C, 0x9C, 0x01});
  QCOMPARE(env.SettingsImageBytes(), expected);
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text, QStringLiteral("Profil chargé dans l'Koral : 2 mémoires radio."));
  QCOMPARE(koral::GetPrivateProfileString("repertoires", "profil", "", env.ConfigIni()), env.ComputerDir().string());
}

void SoftPropDlgTest::loadRefusesDamagedValuesAndWritesTheRest() {
  env.SetConfigIni(Config("119.0", "119.0"));
  const std::string image(512, '\x11');
  env.SetSettingsImage(image);
  const auto file = env.ComputerDir() / "damaged.pro";
  for (const std::string perso :
       {"3 0 0 254 255 255 0 0 0 5 0 0 244 255", "3 0 0 254 255 255 0 0 0 5 0 0 244 255 256",
        "3 0 0 254 255 255 0 0 0 5 0 0 244  255", "3 0 0 254 255 255 0 0 0 5 0 0 244 255 -1"}) {
    koral::test::WriteFile(file, ProfileText("300 1", "28 156", "12", perso));
    prompts.messages.clear();
    prompts.fileAnswers = {Path(file)};
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    Click(dialog, "loadProfileButton");
    std::string expected = image;
    Put(expected, kRadioOffset + 6, {0x1C, 0x9C, 0x01});
    QCOMPARE(env.SettingsImageBytes(), expected);
    QCOMPARE(prompts.messages.size(), size_t{1});
    const QString text = prompts.messages[0].text;
    QVERIFY2(text.contains("\"a\"") && text.contains("\"c\"") && text.contains("\"perso\"") && !text.contains("\"b\""),
             qPrintable(text));
  }
}

void SoftPropDlgTest::missingEqualiserOffsetIsNeitherSavedNorLoaded() {
  env.SetConfigIni(Config("119.0", "119.0", "3", ""));
  env.SetSettingsImage(SampleImage());
  const auto file = env.ComputerDir() / "noeq.pro";
  prompts.fileAnswers = {Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");
  QCOMPARE(koral::test::ReadFile(file), ProfileText("28 156", "0 119", "0 0", ""));
  QCOMPARE(prompts.messages.size(), size_t{1});
  QVERIFY(prompts.messages[0].text.contains("offseteq"));

  koral::test::WriteFile(file, kSampleProfile);
  const std::string image(512, '\x11');
  env.SetSettingsImage(image);
  prompts.fileAnswers = {Path(file)};
  Click(dialog, "loadProfileButton");
  std::string expected = image;
  Put(expected, kRadioOffset, {0x1C, 0x9C, 0x01});
  Put(expected, kRadioOffset + 6, {0x00, 0x77, 0x01});
  Put(expected, kRadioOffset + 12, {0, 0, 0});
  QCOMPARE(env.SettingsImageBytes(), expected);
  QCOMPARE(prompts.messages.size(), size_t{2});
}

void SoftPropDlgTest::missingRadioCountIsReportedNotTakenAsNoMemory() {
  std::string config = Config("119.0", "119.0");
  config.erase(config.find("nbradios=3\r\n"), 12);
  env.SetConfigIni(config);
  env.SetSettingsImage(SampleImage());
  const auto file = env.ComputerDir() / "nocount.pro";
  prompts.fileAnswers = {Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");
  QCOMPARE(koral::test::ReadFile(file), ProfileText("", "", "", kSamplePerso));
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text,
           QStringLiteral("La clé nbradios manque dans la section [119.0] de Config.ini : les mémoires radio sont "
                          "laissées de côté."));

  koral::test::WriteFile(file, kSampleProfile);
  const std::string image(512, '\x11');
  env.SetSettingsImage(image);
  prompts.fileAnswers = {Path(file)};
  Click(dialog, "loadProfileButton");
  std::string expected = image;
  Put(expected, kPersoOffset, {3, 0, 0, 254, 255, 255, 0, 0, 0, 5, 0, 0, 244, 255, 255});
  QCOMPARE(env.SettingsImageBytes(), expected);
  QCOMPARE(prompts.messages.size(), size_t{2});
  QVERIFY(prompts.messages[1].text.contains("nbradios"));
}

void SoftPropDlgTest::cancelledFileDialogsChangeNothing() {
  env.SetConfigIni(Config("119.0", "119.0"));
  env.SetSettingsImage(SampleImage());
  const std::string configBefore = koral::test::ReadFile(env.ConfigIni());
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");
  Click(dialog, "loadProfileButton");
  QCOMPARE(prompts.fileDialogCaptions.size(), size_t{2});
  QCOMPARE(koral::test::ReadFile(env.ConfigIni()), configBefore);
  QCOMPARE(env.SettingsImageBytes(), SampleImage());
  QVERIFY(prompts.messages.empty());
}

void SoftPropDlgTest::profileThatCannotBeCreatedIsReported() {
  ExitRecorder exits;
  env.SetConfigIni(Config("119.0", "119.0"));
  env.SetSettingsImage(SampleImage());
  const auto file = env.ComputerDir() / "missing-folder" / "p.pro";
  prompts.fileAnswers = {Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");
  QCOMPARE(prompts.messages.size(), size_t{1});
  QVERIFY(prompts.messages[0].text.startsWith("Le fichier de profil ne peut pas être créé"));
  QVERIFY(exits.statuses.empty());
  QVERIFY(!std::filesystem::exists(file));
  QCOMPARE(env.SettingsImageBytes(), SampleImage());
}

void SoftPropDlgTest::missingImageIsFatal() {
  ExitRecorder exits;
  env.SetConfigIni(Config("119.0", "119.0"));
  const auto file = env.ComputerDir() / "p.pro";
  const std::string kept = "[radios]\r\na=28 156\r\n";  // a profile: it gets as far as the image
  koral::test::WriteFile(file, kept);
  prompts.fileAnswers = {Path(file), Path(file)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "saveProfileButton");
  Click(dialog, "loadProfileButton");
  QCOMPARE(exits.statuses, (std::vector<int>{1, 1}));
  QCOMPARE(prompts.messages.size(), size_t{2});
  QCOMPARE(prompts.messages[0].text,
           QStringLiteral("'CSoftPropDlg::OnButtonsauverprofil()'... fichier de configuration "
                          "absent.\r L'application va se terminer"));
  QCOMPARE(prompts.messages[1].text, QStringLiteral("'CSoftPropDlg::OnButtonchargerprofil()'... fichier de "
                                                    "configuration absent.\r L'application va se terminer"));
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Erreur"));
  QCOMPARE(koral::test::ReadFile(file), kept);
  QVERIFY(!std::filesystem::exists(env.SettingsImage()));
}

void SoftPropDlgTest::koralctlSavesTheSameFileAsTheDialog() {
  // "1" is no entry: the dialog selects 119.0 by the prefix search, and so must koralctl.
  for (const std::string current : {"119.0", "1"}) {
    env.Renew();
    prompts.Clear();
    env.SetConfigIni(Config(current, "119.0 118.2", "20"));
    std::string image = SampleImage();
    for (int i = 2; i < 20; ++i) Put(image, kRadioOffset + 6 * i, {0x40 + i, 0x56, 0x01});
    env.SetSettingsImage(image);
    const auto fromDialog = env.ComputerDir() / "dialog.pro";
    const auto fromKoralctl = env.ComputerDir() / "koralctl.pro";
    prompts.fileAnswers = {Path(fromDialog)};
    CSoftPropDlg dialog(koral::test::CurrentContext());
    dialog.Load();
    Click(dialog, "saveProfileButton");
    const std::string configAfterDialog = koral::test::ReadFile(env.ConfigIni());

    const koral::test::KoralctlResult saved = koral::test::Koralctl({"profile", "save", fromKoralctl.string()});
    QCOMPARE(saved.status, 0);
    QCOMPARE(saved.err, std::string());
    QCOMPARE(koral::test::ReadFile(fromKoralctl), koral::test::ReadFile(fromDialog));
    QCOMPARE(koral::test::ReadFile(env.ConfigIni()), configAfterDialog);
  }
}

void SoftPropDlgTest::loadWithoutItsBackupIsRefusedAndSaveStillWorks() {
  ExitRecorder exits;
  env.SetConfigIni(Config("119.0", "119.0"));
  env.SetSettingsImage(SampleImage());
  env.BlockBackupFolder();
  const auto file = env.ComputerDir() / "p.pro";
  koral::test::WriteFile(file, ProfileText("1 2", "3 4", "", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"));
  const auto saved = env.ComputerDir() / "saved.pro";
  prompts.fileAnswers = {Path(file), Path(saved)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "loadProfileButton");
  QVERIFY(exits.statuses.empty());
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Sauvegarde impossible"));
  QVERIFY(prompts.messages[0].text.contains(Path(koral::ImageBackupFolder())));
  QCOMPARE(env.SettingsImageBytes(), SampleImage());

  // Saving a profile only reads the image: it needs no backup.
  Click(dialog, "saveProfileButton");
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(koral::test::ReadFile(saved), kSampleProfile);
}

void SoftPropDlgTest::filesThatAreNoProfileAreRefusedAndLoadNothing() {
  ExitRecorder exits;
  env.SetConfigIni(Config("119.0", "119.0"));
  env.SetSettingsImage(SampleImage());
  std::string noise;
  for (int i = 0; i < 1000; ++i) noise += static_cast<char>((i * 37 + 11) % 256);
  const auto huge = env.ComputerDir() / "huge.pro";
  koral::test::WriteFile(huge, kSampleProfile);
  std::filesystem::resize_file(huge, 1024ull * 1024 * 1024);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"empty.pro", ""}, {"foreign.pro", "[Desktop Entry]\nName=x\n"}, {"noise.pro", noise}};
  for (const auto& [name, bytes] : cases) koral::test::WriteFile(env.ComputerDir() / name, bytes);
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  for (const auto& [name, bytes] : cases) {
    prompts.messages.clear();
    prompts.fileAnswers = {Path(env.ComputerDir() / name)};
    Click(dialog, "loadProfileButton");
    QCOMPARE(prompts.messages.size(), size_t{1});
    QCOMPARE(prompts.messages[0].text,
             "'" + Path(env.ComputerDir() / name) + QStringLiteral("' n'est pas un profil : rien n'a été chargé."));
  }
  prompts.messages.clear();
  prompts.fileAnswers = {Path(huge)};
  Click(dialog, "loadProfileButton");
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text,
           "'" + Path(huge) + QStringLiteral("' est trop gros pour un profil (plus de 64 Ko) : rien n'a été chargé."));
  QCOMPARE(env.SettingsImageBytes(), SampleImage());
  QVERIFY(exits.statuses.empty());
}

void SoftPropDlgTest::loadOntoAReadOnlyPlayerSaysSoAndGoesOn() {
  ExitRecorder exits;
  env.SetConfigIni(Config("119.0", "119.0"));
  env.SetSettingsImage(SampleImage());
  const koral::test::Undeletable immutable(env.SettingsImage());
  if (!immutable.Held()) QSKIP("the immutable flag cannot be set on this file system");
  const auto file = env.ComputerDir() / "p.pro";
  const auto saved = env.ComputerDir() / "saved.pro";
  koral::test::WriteFile(file, ProfileText("1 2", "3 4", "", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"));
  prompts.fileAnswers = {Path(file), Path(saved)};
  CSoftPropDlg dialog(koral::test::CurrentContext());
  dialog.Load();
  Click(dialog, "loadProfileButton");
  QVERIFY(exits.statuses.empty());
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text,
           QStringLiteral("Les réglages n'ont pas été enregistrés : l'Koral est en lecture seule."));
  QCOMPARE(env.SettingsImageBytes(), SampleImage());
  Click(dialog, "saveProfileButton");  // reading the image still works
  QCOMPARE(koral::test::ReadFile(saved), kSampleProfile);
}

QTEST_MAIN(SoftPropDlgTest)
#include "SoftPropDlgTest.moc"
