// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <memory>
#include <string>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "core/config/PrivateProfile.h"
#include "gui/app/MainDlg.h"
#include "support/ConfigOption.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/TreeRows.h"
#include "support/gui/WidgetLookup.h"

namespace fs = std::filesystem;
using koral::test::ReadFile;
using koral::test::RequireChild;
using koral::test::SelectRows;
using koral::test::WriteFile;

namespace {

// The module and the fixture tool as built; empty when the build has no FFmpeg.
const std::string kBuiltModule = KORAL_CONVERT_MODULE_PATH;
const std::string kFixtureTool = KORAL_AUDIO_FIXTURE_PATH;

std::string Option(const koral::test::TestEnvironment& env, const char* key) {
  return koral::GetPrivateProfileString("copie", key, "<missing>", env.ConfigIni());
}

QCheckBox* ConvertCheck(CMainDlg& window) { return RequireChild<QCheckBox>(&window, "convertCheck"); }
QComboBox* RateCombo(CMainDlg& window) { return RequireChild<QComboBox>(&window, "convertRateCombo"); }

QString InfoEntry(CMainDlg& window) {
  const std::unique_ptr<QMenu> menu = window.CreateListMenu(RequireChild<QTreeWidget>(&window, "computerList"));
  if (!menu || menu->actions().size() != 1) return QStringLiteral("<no menu>");
  return menu->actions().front()->text();
}

// Seconds of a tone, as the fixture tool makes it with FFmpeg's libraries.
bool MakeAudio(const char* format, int seconds, const fs::path& out, const QStringList& tags = {}) {
  QProcess tool;
  tool.start(QString::fromStdString(kFixtureTool),
             QStringList{"make", format, QString::number(seconds), QString::fromStdString(out.string())} + tags);
  return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

}  // namespace

class ConvertOptionTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
    SetConfigOption("repertoires", "pc", env.ComputerDir().string(), env.ConfigIni().string());
  }

  void offByDefaultAt192AndWrittenOnClose() {
    {
      CMainDlg window(koral::test::CurrentContext());
      QVERIFY(!ConvertCheck(window)->isChecked());
      QVERIFY(ConvertCheck(window)->isEnabled());
      QCOMPARE(ConvertCheck(window)->text(), QStringLiteral("Convertir en MP3 ce que l'Koral ne lit pas"));
      QCOMPARE(koral::test::ComboTexts(RateCombo(window)),
               (QStringList{"128 kb/s", "192 kb/s", "256 kb/s", "320 kb/s"}));
      QCOMPARE(RateCombo(window)->currentText(), QStringLiteral("192 kb/s"));
      QVERIFY(!RateCombo(window)->isEnabled());  // only with the box ticked
      QVERIFY(!ConvertCheck(window)->accessibleName().isEmpty());
      QCOMPARE(RateCombo(window)->accessibleName(), QStringLiteral("Débit des MP3 convertis"));
    }
    QCOMPARE(Option(env, "convertir"), std::string("0"));
    QCOMPARE(Option(env, "debitmp3"), std::string("192"));
    QVERIFY(prompts.messages.empty());
  }

  void aStoredRateIsShownAndAnUnknownOneFallsBackTo192() {
    SetConfigOption("copie", "debitmp3", 320, env.ConfigIni().string());
    {
      CMainDlg window(koral::test::CurrentContext());
      QCOMPARE(RateCombo(window)->currentText(), QStringLiteral("320 kb/s"));
    }
    for (const char* stored : {"200", "abc", "-128", ""}) {
      SetConfigOption("copie", "debitmp3", stored, env.ConfigIni().string());
      {
        CMainDlg window(koral::test::CurrentContext());
        QCOMPARE(RateCombo(window)->currentText(), QStringLiteral("192 kb/s"));
      }
      QCOMPARE(Option(env, "debitmp3"), std::string("192"));
    }
  }

  void aMissingModuleIsToldOnceAndDisablesTheOption() {
    env.Context().convertModule = env.ComputerDir() / "absent.so";
    const std::string config = env.ConfigIni().string();
    SetConfigOption("copie", "convertir", 1, config);
    SetConfigOption("copie", "debitmp3", 256, config);
    {
      CMainDlg window(koral::test::CurrentContext());
      QCOMPARE(prompts.messages.size(), size_t{1});
      const QString reason = prompts.messages[0].text;
      QVERIFY2(reason.startsWith("Conversion en MP3 indisponible : "), qPrintable(reason));
      QCOMPARE(prompts.messages[0].title, QStringLiteral("Conversion impossible"));
      QVERIFY(!ConvertCheck(window)->isChecked());
      QVERIFY(!ConvertCheck(window)->isEnabled());
      QCOMPARE(ConvertCheck(window)->toolTip(), reason);
      QVERIFY(!RateCombo(window)->isEnabled());
      QCOMPARE(RateCombo(window)->currentText(), QStringLiteral("256 kb/s"));
      ConvertCheck(window)->click();
      QVERIFY(!ConvertCheck(window)->isChecked());
      QCOMPARE(prompts.messages.size(), size_t{1});
    }
    // What the window showed is what it keeps: the copies did not convert.
    QCOMPARE(Option(env, "convertir"), std::string("0"));
    QCOMPARE(Option(env, "debitmp3"), std::string("256"));
  }

  void theModuleIsLoadedOnlyWhenTheBoxIsTicked() {
    env.Context().convertModule = env.ComputerDir() / "absent-too.so";
    CMainDlg window(koral::test::CurrentContext());
    QVERIFY(prompts.messages.empty());
    QVERIFY(ConvertCheck(window)->isEnabled());
    ConvertCheck(window)->click();
    QCOMPARE(prompts.messages.size(), size_t{1});
    QVERIFY(!ConvertCheck(window)->isChecked());
    QVERIFY(!ConvertCheck(window)->isEnabled());
    QVERIFY(!RateCombo(window)->isEnabled());
  }

  void copiesWithoutConvertingWhenTheModuleIsMissing() {
    env.Context().convertModule = env.ComputerDir() / "absent.so";
    WriteFile(env.ComputerDir() / "a.flac", "flac bytes");
    CMainDlg window(koral::test::CurrentContext());
    ConvertCheck(window)->click();
    prompts.Clear();
    SelectRows(RequireChild<QTreeWidget>(&window, "computerList"), {"a.flac"});
    RequireChild<QPushButton>(&window, "copyButton")->click();
    QVERIFY(prompts.messages.empty());
    QCOMPARE(ReadFile(env.PlayerDir() / "a.flac"), std::string("flac bytes"));
  }

  void tickedTheCopyConvertsAndTheSizeCountsTheMp3() {
    if (kBuiltModule.empty() || kFixtureTool.empty()) QSKIP("built without FFmpeg");
    env.Context().convertModule = kBuiltModule;
    QVERIFY(MakeAudio("flac", 30, env.ComputerDir() / "x.flac", {"--title", "Été"}));
    QVERIFY(MakeAudio("mp3", 2, env.ComputerDir() / "y.mp3"));
    const std::string mp3 = ReadFile(env.ComputerDir() / "y.mp3");
    CMainDlg window(koral::test::CurrentContext());
    window.show();
    SelectRows(RequireChild<QTreeWidget>(&window, "computerList"), {"x.flac"});
    const QString flacSize = InfoEntry(window);
    ConvertCheck(window)->click();
    QVERIFY(RateCombo(window)->isEnabled());
    RateCombo(window)->setCurrentIndex(RateCombo(window)->findText("320 kb/s"));
    // 30 s at 320 kb/s: 1.2 MB of MP3, whatever the FLAC of a tone weighs.
    QCOMPARE(InfoEntry(window), QStringLiteral("1.1 Mo"));
    QVERIFY(flacSize != QStringLiteral("1.1 Mo"));

    SelectRows(RequireChild<QTreeWidget>(&window, "computerList"), {"x.flac", "y.mp3"});
    RequireChild<QPushButton>(&window, "copyButton")->click();
    QVERIFY2(prompts.messages.empty(), prompts.messages.empty() ? "" : qPrintable(prompts.messages[0].text));
    QVERIFY(!fs::exists(env.PlayerDir() / "x.flac"));
    const std::string converted = ReadFile(env.PlayerDir() / "x.mp3");
    QCOMPARE(converted.substr(0, 4), std::string("ID3\x03", 4));
    QCOMPARE(converted.substr(converted.size() - 128, 3), std::string("TAG"));
    // 320 kb/s for 30 s, give or take the tags and the last frame.
    QVERIFY(converted.size() > 1190000 && converted.size() < 1215000);
    QVERIFY(ReadFile(env.PlayerDir() / "y.mp3") == mp3);
  }

 private:
  koral::test::TestEnvironment env;
  koral::test::PromptRecorder prompts;
};

QTEST_MAIN(ConvertOptionTest)
#include "ConvertOptionTest.moc"
