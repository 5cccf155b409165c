// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QComboBox>
#include <QRadioButton>
#include <QTest>

#include "core/config/PrivateProfile.h"
#include "gui/firmware/SoftPropDlg.h"
#include "gui/settings/Equaliser.h"
#include "gui/settings/Onglets.h"
#include "gui/settings/Radio.h"
#include "gui/settings/ReglagesKoral.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"

namespace {

namespace fs = std::filesystem;
using koral::test::TestEnvironment;

// Every file of the sandbox that the program may read or write: its bytes
// and its modification time.
using Snapshot = std::map<fs::path, std::pair<std::string, fs::file_time_type>>;

std::vector<fs::path> FilesOf(const TestEnvironment& env) {
  std::vector<fs::path> files;
  for (const fs::path& folder : {env.ConfigDir(), env.PlayerDir(), env.StateDir()}) {
    if (!fs::exists(folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

// Dated a year back, so that any write shows however coarse the clock.
Snapshot AgedSnapshot(const TestEnvironment& env) {
  Snapshot snapshot;
  for (const fs::path& file : FilesOf(env)) {
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(24 * 365));
    snapshot[file] = {koral::test::ReadFile(file), fs::last_write_time(file)};
  }
  return snapshot;
}

Snapshot SnapshotOf(const TestEnvironment& env) {
  Snapshot snapshot;
  for (const fs::path& file : FilesOf(env)) snapshot[file] = {koral::test::ReadFile(file), fs::last_write_time(file)};
  return snapshot;
}

using Build = std::function<std::unique_ptr<QWidget>()>;

const std::vector<std::pair<const char*, Build>>& EveryWindowWithAPlayerToRead() {
  static const std::vector<std::pair<const char*, Build>> builds{
      {"CRadio", [] { return std::make_unique<CRadio>(koral::test::CurrentContext()); }},
      {"CEqualiser", [] { return std::make_unique<CEqualiser>(koral::test::CurrentContext()); }},
      {"CReglagesKoral", [] { return std::make_unique<CReglagesKoral>(koral::test::CurrentContext()); }},
      {"COnglets", [] { return std::make_unique<COnglets>(koral::test::CurrentContext()); }},
      {"CSoftPropDlg", [] { return std::make_unique<CSoftPropDlg>(koral::test::CurrentContext()); }},
  };
  return builds;
}

}  // namespace

class SettingsPageTest final : public QObject {
  Q_OBJECT

 private slots:
  void buildingAndDestroyingReadsNothingEndsNothingAndWritesNothing();
  void aLoadedPageWritesItsOptionsOnlyWhenAskedTo();
};

// Nothing there to read: no Settings.dat, no Radios.ini, a Config.ini
// without versions or layout. Each of these would be told, or end the
// program, had it been read.
void SettingsPageTest::buildingAndDestroyingReadsNothingEndsNothingAndWritesNothing() {
  TestEnvironment env;
  koral::test::PromptRecorder prompts;
  koral::test::ExitRecorder exits;
  env.SetConfigIni("[firmware]\nversion=119.0\n");
  fs::remove(env.RadiosIni());
  const Snapshot before = AgedSnapshot(env);
  for (const auto& [name, build] : EveryWindowWithAPlayerToRead()) {
    build().reset();
    QVERIFY2(prompts.messages.empty(), name);
    QVERIFY2(exits.statuses.empty(), name);
    QVERIFY2(SnapshotOf(env) == before, name);
  }
  // The same pages do read, and end the program, once loaded.
  CReglagesKoral page(koral::test::CurrentContext());
  page.Load();
  QCOMPARE(exits.statuses, std::vector<int>{1});
}

// Shown options changed, then the page goes without being asked to store
// them: Config.ini stays as it was. Asked, the page writes them.
void SettingsPageTest::aLoadedPageWritesItsOptionsOnlyWhenAskedTo() {
  TestEnvironment env;
  koral::test::PromptRecorder prompts;
  koral::test::ExitRecorder exits;
  env.SetSettingsImage();
  const Snapshot before = AgedSnapshot(env);
  const auto changeAndMaybeStore = [&env](bool store) {
    CEqualiser equaliser(koral::test::CurrentContext());
    equaliser.Load();
    equaliser.findChild<QRadioButton*>(QStringLiteral("applySelectedRadio"))->click();
    CRadio radio(koral::test::CurrentContext());
    radio.Load();
    auto* cities = radio.findChild<QComboBox*>(QStringLiteral("cityCombo"));
    cities->setCurrentIndex(cities->findText(QStringLiteral("Lyon")));
    CReglagesKoral reglages(koral::test::CurrentContext());
    reglages.Load();
    CSoftPropDlg firmware(koral::test::CurrentContext());
    firmware.Load();
    if (!store) return;
    equaliser.StoreOptions();
    radio.StoreOptions();
  };
  changeAndMaybeStore(false);
  QVERIFY(exits.statuses.empty());
  QVERIFY(prompts.messages.empty());
  QVERIFY(SnapshotOf(env) == before);

  changeAndMaybeStore(true);
  QCOMPARE(koral::GetPrivateProfileString("equaliser", "perso", "", env.ConfigIni()), std::string("0"));
  QCOMPARE(koral::GetPrivateProfileString("radio", "ville", "", env.ConfigIni()), std::string("Lyon"));
  QCOMPARE(env.SettingsImageBytes(), std::string(512, '\0'));
}

QTEST_MAIN(SettingsPageTest)
#include "SettingsPageTest.moc"
