// SPDX-License-Identifier: GPL-3.0-or-later
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <map>
#include <string>

#include "core/config/PrivateProfile.h"
#include "core/settings/ImageBackup.h"
#include "gui/settings/Onglets.h"
#include "gui/settings/ReglagesKoral.h"
#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"
#include "support/Undeletable.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/WidgetLookup.h"

namespace {

using koral::test::ClickButton;
using koral::test::ComboTexts;
using koral::test::TestEnvironment;

// Offsets of the shipped "119.0" section.
const std::map<std::string, int> kOffsets = {{"repeat", 16},
                                             {"contrast", 17},
                                             {"usb", 18},
                                             {"power", 19},
                                             {"eclairage", 20},
                                             {"vitessedefil", 21},
                                             {"srswowfocus", 22},
                                             {"srswowtrubass", 24},
                                             {"srswowsrs", 28},
                                             {"srswowecouteurs", 32},
                                             {"srswowmodeactif", 33},
                                             {"recordquality", 34},
                                             {"ab", 35}};

// A Config.ini whose [firmware] version names a section with the offsets above.
std::string ConfigFor(const std::string& version, const std::string& leftOut = {}) {
  std::string text = "[firmware]\nversion=" + version + "\n[" + version + "]\n";
  for (const auto& [name, offset] : kOffsets)
    if (name != leftOut) text += "offset" + name + "=" + std::to_string(offset) + "\n";
  return text;
}

// An image where each setting holds a distinct byte, chosen to reveal any
// rewrite of a setting the user did not touch.
std::string KnownImage() {
  std::string image(512, '\0');
  image[0] = '\xAB';
  const std::map<std::string, int> bytes = {
      {"repeat", 4},          {"contrast", 55},     {"usb", 1},         {"power", 0},
      {"eclairage", 3},       {"vitessedefil", 4},  {"srswowfocus", 2}, {"srswowecouteurs", 5},
      {"srswowmodeactif", 9}, {"recordquality", 6}, {"ab", 4}};
  for (const auto& [name, byte] : bytes) image[static_cast<size_t>(kOffsets.at(name))] = static_cast<char>(byte);
  image[24 + 2] = 127;  // TruBass level 10, first two bytes left 0
  image[28 + 2] = 60;   // SRS level 5
  return image;
}

QRadioButton* Choice(QWidget* page, const QString& name, int index) {
  return page->findChild<QRadioButton*>(name + QStringLiteral("Choice%1").arg(index));
}

// The caption of the checked visible choice of a group, or "" when none is.
QString Checked(QWidget* page, const QString& name) {
  for (int i = 0; QRadioButton* button = Choice(page, name, i); ++i)
    if (button->isChecked()) return button->isVisibleTo(page) ? button->text() : QStringLiteral("<hidden>");
  return {};
}

QSpinBox* Spin(QWidget* page, const QString& name) { return page->findChild<QSpinBox*>(name + QStringLiteral("Spin")); }

// The captions of a group's choices, "" for a hidden one.
QStringList Captions(QWidget* page, const QString& name) {
  QStringList captions;
  for (int i = 0; QRadioButton* button = Choice(page, name, i); ++i)
    captions << (button->isVisibleTo(page) ? button->text() : QString());
  return captions;
}

QStringList Entries(QWidget* page) { return ComboTexts(page->findChild<QComboBox*>("srswowmodeactifCombo")); }

QString Text(QWidget* page, const char* name) {
  if (const auto* frame = page->findChild<QGroupBox*>(QString::fromUtf8(name))) return frame->title();
  if (const auto* button = page->findChild<QAbstractButton*>(QString::fromUtf8(name))) return button->text();
  return page->findChild<QLabel*>(QString::fromUtf8(name))->text();
}

// The image bytes with some of them replaced.
std::string With(std::string image, const std::map<size_t, int>& changes) {
  for (const auto& [at, byte] : changes) image[at] = static_cast<char>(byte);
  return image;
}

}  // namespace

class ReglagesKoralTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void showsTheCaptionsOfEachLayout() {
    env.SetSettingsImage(KnownImage());
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(Captions(&page, "repeat"),
             QStringList({"normal", "répéter 1x", "répéter tout", "shuffle", "shuffle répété", ""}));
    QCOMPARE(Captions(&page, "eclairage"),
             QStringList({"3 secondes", "5 secondes", "10 secondes", "20 secondes", "toujours"}));
    QCOMPARE(Captions(&page, "vitessedefil"), QStringList({"normale", "x 2", "x 3", "x 4", "x 5", ""}));
    QCOMPARE(Captions(&page, "power"),
             QStringList({"1 minute", "2 minutes", "5 minutes", "10 minutes", "toujours allumé"}));
    QCOMPARE(Captions(&page, "srswowfocus"), QStringList({"graves", "medium", "aigus"}));
    QCOMPARE(Captions(&page, "srswowecouteurs"),
             QStringList({"mini-écouteurs", "écouteurs", "casque", "baffles", "enceintes", "grandes-enceintes"}));
    QCOMPARE(Captions(&page, "recordquality"),
             QStringList({"8 kHz", "11 kHz", "16 kHz", "22 kHz", "32 kHz", "44 kHz", "48 kHz"}));
    QCOMPARE(Captions(&page, "usb"), QStringList({"clé USB + charge", "Koral + charge"}));
    QCOMPARE(Captions(&page, "ab"),
             QStringList({"SRS~WOW", "enregistrement", "remonter de 6 sec", "avancer de 6 sec", "A <-> B", ""}));
    QCOMPARE(Entries(&page), QStringList({"désactivé", "SRS", "TruBass", "WOW"}));
    const std::map<const char*, const char*> fixed = {{"repeatFrame", "Mode répétition"},
                                                      {"eclairageFrame", "Rétro-éclairage"},
                                                      {"vitessedefilFrame", "Vitesse défilement"},
                                                      {"powerFrame", "Arrêt automatique"},
                                                      {"srswowFrame", "SRS~WOW"},
                                                      {"srswowfocusFrame", "Focus sur"},
                                                      {"srswowecouteursFrame", "Type d'écouteurs"},
                                                      {"srswowmodeactifFrame", "Mode actuel"},
                                                      {"srswowtrubassFrame", "Niveau TruBass"},
                                                      {"srswowsrsFrame", "Niveau SRS"},
                                                      {"contrastFrame", "Réglage du contraste"},
                                                      {"recordqualityFrame", "Enregistrement"},
                                                      {"usbFrame", "Paramètres USB"},
                                                      {"abFrame", "Touche A<->B / Rec"},
                                                      {"contrastNote", "(0 à 10)"},
                                                      {"srswowtrubassNote", "(0 à 10)"},
                                                      {"srswowsrsNote", "(0 à 10)"},
                                                      {"reloadButton", "&Recharger les réglages"},
                                                      {"saveButton", "&Enregistrer les réglages"},
                                                      {"saveAndQuitButton", "E&nregistrer et quitter"},
                                                      {"quitButton", "&Quitter (sans enregistrer)"}};
    for (const auto& [name, caption] : fixed) QCOMPARE(Text(&page, name), QString::fromUtf8(caption));
    QVERIFY(!page.findChild<QPushButton*>("quitButton")->isDefault());

    env.SetConfigIni(ConfigFor("119"));
    CReglagesKoral other(koral::test::CurrentContext());
    other.Load();
    QCOMPARE(Captions(&other, "repeat"),
             QStringList({"normal", "répéter 1x", "répéter tout", "shuffle", "shuffle répété", "aléatoire répété"}));
    QCOMPARE(Captions(&other, "vitessedefil"), QStringList({"normale", "x 2", "x 3", "x 4", "x 6", "x 8"}));
    QCOMPARE(Captions(&other, "power"),
             QStringList({"toujours allumé", "1 minute", "2 minutes", "5 minutes", "10 minutes"}));
    QCOMPARE(Captions(&other, "srswowfocus"), QStringList({"graves", "aigus", ""}));
    QCOMPARE(Captions(&other, "usb"), QStringList({"Koral + charge", "clé USB + charge"}));
    QCOMPARE(Captions(&other, "ab"), QStringList({"SRS~WOW", "enregistrement", "dossier suivant", "saut de 10 titres",
                                                  "remonter de 6 secs", "avancer de 6 secs"}));
    QCOMPARE(Entries(&other), QStringList({"SRS", "TruBass", "WOW", "désactivé"}));
    QCOMPARE(Text(&other, "abFrame"), QStringLiteral("Touche A<->B / Rec"));
    QVERIFY(prompts.messages.empty());
  }

  void readsEverySettingWithLayout119() {
    env.SetSettingsImage(KnownImage());
    COnglets sheet(koral::test::CurrentContext());
    sheet.Tabs()->setCurrentIndex(COnglets::kReglagesPage);
    QWidget* page = sheet.Page(COnglets::kReglagesPage);
    QVERIFY(page != nullptr);
    QCOMPARE(Checked(page, "repeat"), QStringLiteral("shuffle répété"));
    QCOMPARE(Checked(page, "power"), QStringLiteral("1 minute"));
    QCOMPARE(Checked(page, "usb"), QStringLiteral("Koral + charge"));
    QCOMPARE(Checked(page, "eclairage"), QStringLiteral("20 secondes"));
    QCOMPARE(Checked(page, "vitessedefil"), QStringLiteral("x 5"));
    QCOMPARE(Checked(page, "srswowfocus"), QStringLiteral("aigus"));
    QCOMPARE(Checked(page, "srswowecouteurs"), QStringLiteral("grandes-enceintes"));
    QCOMPARE(Checked(page, "recordquality"), QStringLiteral("48 kHz"));
    QCOMPARE(Checked(page, "ab"), QStringLiteral("A <-> B"));
    QCOMPARE(Spin(page, "contrast")->value(), 5);
    QCOMPARE(Spin(page, "srswowtrubass")->value(), 10);
    QCOMPARE(Spin(page, "srswowsrs")->value(), 5);
    const auto* mode = page->findChild<QComboBox*>("srswowmodeactifCombo");
    QCOMPARE(mode->count(), 4);
    QCOMPARE(mode->itemText(0), QStringLiteral("désactivé"));
    QCOMPARE(mode->currentText(), QStringLiteral("WOW"));
    QVERIFY(!Choice(page, "repeat", 5)->isVisibleTo(page));
    QVERIFY(!Choice(page, "vitessedefil", 5)->isVisibleTo(page));
    QVERIFY(!Choice(page, "ab", 5)->isVisibleTo(page));
    QVERIFY(!page->findChild<QRadioButton*>("eclairageNoneChoice")->isVisibleTo(page));
    QVERIFY(prompts.messages.empty());
  }

  void readsEverySettingWithAnotherVersion() {
    env.SetConfigIni(ConfigFor("119.00"));  // not exactly "119.0": the other layout
    env.SetSettingsImage(KnownImage());
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(Checked(&page, "repeat"), QStringLiteral("shuffle répété"));
    QCOMPARE(Checked(&page, "power"), QStringLiteral("toujours allumé"));
    QCOMPARE(Checked(&page, "usb"), QStringLiteral("clé USB + charge"));
    QCOMPARE(Checked(&page, "vitessedefil"), QStringLiteral("x 6"));
    QCOMPARE(Checked(&page, "srswowfocus"), QString());  // byte 2 names a hidden choice
    QCOMPARE(Checked(&page, "ab"), QStringLiteral("remonter de 6 secs"));
    QCOMPARE(page.findChild<QComboBox*>("srswowmodeactifCombo")->currentText(), QStringLiteral("désactivé"));
    QCOMPARE(Choice(&page, "srswowfocus", 1)->text(), QStringLiteral("aigus"));
    QVERIFY(Choice(&page, "repeat", 5)->isVisibleTo(&page));
  }

  void savingWithoutChangeWritesNothing() {
    env.SetSettingsImage(KnownImage());
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes(), KnownImage());
    // Changes followed by "Recharger les réglages" are not written either,
    // though the page still shows them.
    Choice(&page, "repeat", 0)->click();
    Spin(&page, "contrast")->stepUp();
    ClickButton(&page, "reloadButton");
    QVERIFY(Choice(&page, "repeat", 0)->isChecked());
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes(), KnownImage());
    QVERIFY(prompts.messages.empty());
  }

  void levelsAreWrittenFromTheirTables() {
    env.SetSettingsImage(KnownImage());
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    QTest::keyClick(Spin(&page, "contrast"), Qt::Key_Up);
    Spin(&page, "srswowsrs")->setValue(10);
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes(), With(KnownImage(), {{17, 60}, {28, 254}, {29, 255}, {30, 127}}));
    // TruBass read as 10 and stepped up at its top: the level stays 10 but
    // counts as changed, and its whole 3-byte record is written.
    QTest::keyClick(Spin(&page, "srswowtrubass"), Qt::Key_Up);
    QCOMPARE(Spin(&page, "srswowtrubass")->value(), 10);
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes().substr(24, 3), std::string("\xFE\xFF\x7F", 3));
  }

  void oneGroupChangeWritesExactlyThatByte() {
    env.SetSettingsImage(KnownImage());
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    Choice(&page, "power", 4)->click();  // "toujours allumé" with 119.0
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes(), With(KnownImage(), {{19, 4}}));

    TestEnvironment other;
    other.SetConfigIni(ConfigFor("118.2"));
    other.SetSettingsImage(With(KnownImage(), {{19, 3}}));
    CReglagesKoral otherPage(koral::test::CurrentContext());
    otherPage.Load();
    QCOMPARE(Checked(&otherPage, "power"), QStringLiteral("5 minutes"));
    Choice(&otherPage, "power", 0)->click();  // "toujours allumé" elsewhere
    ClickButton(&otherPage, "saveButton");
    QCOMPARE(other.SettingsImageBytes(), With(KnownImage(), {{19, 0}}));
  }

  void unnamedBytesAreKeptUntilTheUserPicks() {
    const std::string image = With(KnownImage(), {{21, 5}});  // "x 8" is hidden with 119.0
    env.SetSettingsImage(image);
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    QCOMPARE(Checked(&page, "vitessedefil"), QString());
    Choice(&page, "repeat", 1)->click();
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes(), With(image, {{16, 1}}));  // speed 5 and mode 9 kept
    Choice(&page, "vitessedefil", 2)->click();
    auto* mode = page.findChild<QComboBox*>("srswowmodeactifCombo");
    QTest::keyClick(mode, Qt::Key_Up);  // from "WOW" to "TruBass"
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes(), With(image, {{16, 1}, {21, 2}, {33, 2}}));
  }

  void settingWithoutOffsetIsDisabledAndNeverWritten() {
    env.SetConfigIni(ConfigFor("119.0", "contrast"));
    env.SetSettingsImage(KnownImage());
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    QVERIFY(!page.findChild<QGroupBox*>("contrastFrame")->isEnabled());
    QVERIFY(page.findChild<QGroupBox*>("repeatFrame")->isEnabled());
    Spin(&page, "contrast")->setValue(7);
    Choice(&page, "repeat", 2)->click();
    ClickButton(&page, "saveButton");
    QCOMPARE(env.SettingsImageBytes(), With(KnownImage(), {{16, 2}}));  // byte 0 untouched
  }

  void saveAndQuitWritesAndClosesTheSheet() {
    env.SetSettingsImage(KnownImage());
    QPointer<COnglets> sheet = new COnglets(koral::test::CurrentContext());
    sheet->show();
    sheet->Tabs()->setCurrentIndex(COnglets::kReglagesPage);
    QWidget* page = sheet->Page(COnglets::kReglagesPage);
    Choice(page, "recordquality", 5)->click();
    ClickButton(page, "saveAndQuitButton");
    QTRY_VERIFY(sheet.isNull());
    QCOMPARE(env.SettingsImageBytes(), With(KnownImage(), {{34, 5}}));

    QPointer<COnglets> second = new COnglets(koral::test::CurrentContext());
    second->show();
    second->Tabs()->setCurrentIndex(COnglets::kReglagesPage);
    page = second->Page(COnglets::kReglagesPage);
    Choice(page, "recordquality", 0)->click();
    ClickButton(page, "quitButton");
    QTRY_VERIFY(second.isNull());
    QCOMPARE(env.SettingsImageBytes(), With(KnownImage(), {{34, 5}}));
  }

  void missingImageIsFatal() {
    koral::test::ExitRecorder exits;
    {
      CReglagesKoral page(koral::test::CurrentContext());  // no Settings.dat
      page.Load();
      QCOMPARE(exits.statuses, std::vector<int>{1});
      QCOMPARE(prompts.messages.at(0).title, QStringLiteral("Erreur"));
      QCOMPARE(prompts.messages.at(0).text,
               QStringLiteral("'CReglagesKoral::ReadKORALValues()'... fichier de configuration absent.\r"
                              " L'application va se terminer"));
    }
    env.SetSettingsImage(KnownImage());
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    std::filesystem::remove(env.SettingsImage());  // the player went away
    Choice(&page, "repeat", 0)->click();
    ClickButton(&page, "saveButton");
    QCOMPARE(exits.statuses, (std::vector<int>{1, 1}));
    QCOMPARE(prompts.messages.at(1).text,
             QStringLiteral("'CReglagesKoral::EnregistreReglages()'... fichier de configuration absent.\r"
                            " L'application va se terminer"));
    QVERIFY(!std::filesystem::exists(env.SettingsImage()));
  }

  // The player refuses the last byte: what was written before it stays.
  void refusedWriteIsFatal() {
    std::string config = ConfigFor("119.0", "ab");
    config += "offsetab=1000\n";
    env.SetConfigIni(config);
    env.SetSettingsImage(KnownImage());
    koral::test::ExitRecorder exits;
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    Choice(&page, "repeat", 1)->click();
    Choice(&page, "ab", 1)->click();
    {
      const koral::test::FileSizeLimit limit(600);
      ClickButton(&page, "saveButton");
    }
    QCOMPARE(exits.statuses, std::vector<int>{1});
    QCOMPARE(prompts.messages.size(), size_t{1});
    QCOMPARE(prompts.messages.at(0).title, QStringLiteral("Erreur"));
    QCOMPARE(prompts.messages.at(0).text,
             QStringLiteral("'CReglagesKoral::EnregistreReglages'... lecture impossible sur l'Koral.\r"
                            " L'application va se terminer"));
    QCOMPARE(env.SettingsImageBytes(), With(KnownImage(), {{16, 1}}));
  }

  // No complete backup, no write: the folder cannot be made, then the disk
  // takes only 300 of the image's 512 bytes. The page stays, with its choice.
  void aSaveWithoutItsBackupIsRefusedAndWritesNothing() {
    env.SetSettingsImage(KnownImage());
    koral::test::ExitRecorder exits;
    CReglagesKoral page(koral::test::CurrentContext());
    page.Load();
    Choice(&page, "repeat", 1)->click();
    env.BlockBackupFolder();
    ClickButton(&page, "saveButton");
    std::filesystem::remove(env.StateDir() / "koral-config");
    {
      const koral::test::FileSizeLimit limit(300);
      ClickButton(&page, "saveButton");
    }
    QVERIFY(exits.statuses.empty());
    QCOMPARE(prompts.messages.size(), size_t{2});
    for (const auto& message : prompts.messages) {
      QCOMPARE(message.title, QStringLiteral("Sauvegarde impossible"));
      QVERIFY(message.text.contains(QString::fromStdString(koral::ImageBackupFolder().string())));
    }
    QCOMPARE(env.SettingsImageBytes(), KnownImage());
    QVERIFY(koral::test::EntryNames(koral::ImageBackupFolder()).empty());
    ClickButton(&page, "saveButton");  // the change is still marked and goes once a backup can be kept
    QCOMPARE(env.SettingsImageBytes(), With(KnownImage(), {{16, 1}}));
  }

  // A write-protected image is shown; a save says why nothing was written,
  // and the program goes on.
  void aWriteProtectedImageIsShownAndItsSaveRefused() {
    env.SetSettingsImage(KnownImage());
    const koral::test::Undeletable immutable(env.SettingsImage());
    if (!immutable.Held()) QSKIP("the immutable flag cannot be set on this file system");
    koral::test::ExitRecorder exits;
    COnglets sheet(koral::test::CurrentContext());
    sheet.Tabs()->setCurrentIndex(COnglets::kReglagesPage);
    QWidget* page = sheet.Page(COnglets::kReglagesPage);
    QCOMPARE(Checked(page, "repeat"), QStringLiteral("shuffle répété"));
    QCOMPARE(Spin(page, "contrast")->value(), 5);
    QVERIFY(prompts.messages.empty());
    Choice(page, "repeat", 1)->click();
    ClickButton(page, "saveButton");
    QVERIFY(exits.statuses.empty());
    QCOMPARE(prompts.messages.size(), size_t{1});
    QCOMPARE(prompts.messages.at(0).text,
             QStringLiteral("Les réglages n'ont pas été enregistrés : l'Koral est en lecture seule."));
    QCOMPARE(env.SettingsImageBytes(), KnownImage());
  }

 private:
  TestEnvironment env;  // each test's own: see init()
  koral::test::PromptRecorder prompts;
};

QTEST_MAIN(ReglagesKoralTest)
#include "ReglagesKoralTest.moc"
