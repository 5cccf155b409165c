// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/config/PrivateProfile.h"
#include "core/demo/DemoPlayer.h"
#include "support/KoralctlProcess.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"
#include "support/Undeletable.h"

namespace {

namespace fs = std::filesystem;
using koral::test::Koralctl;
using koral::test::KoralctlResult;
using koral::test::ReadFile;
using koral::test::TestEnvironment;
using koral::test::WriteFile;

TEST(ReadOnlyConfigIniCommand, FirmwareSetFailsAndSaysTheFileIsReadOnly) {
  TestEnvironment env;
  const std::string before = ReadFile(env.ConfigIni());
  chmod(env.ConfigIni().c_str(), 0444);
  const KoralctlResult run = Koralctl({"firmware", "set", "118.2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "Les options n'ont pas pu être enregistrées : '" + env.ConfigIni().string() + "' est en lecture seule.\n");
  EXPECT_EQ(ReadFile(env.ConfigIni()), before);

  chmod(env.ConfigIni().c_str(), 0644);
  const koral::test::Undeletable immutable(env.ConfigIni());
  if (!immutable.Held()) GTEST_SKIP() << "the immutable flag cannot be set on this file system";
  EXPECT_EQ(Koralctl({"firmware", "set", "118.2"}).status, 1);
  EXPECT_EQ(ReadFile(env.ConfigIni()), before);
}

TEST(ReadOnlyConfigIniCommand, ProfileCommandsTellTheFolderWasNotKeptAndStillTransfer) {
  TestEnvironment env;
  koral::CreateDemoPlayer(env.PlayerDir(), env.ConfigIni(), env.RadiosIni());
  const std::string image = env.SettingsImageBytes();
  const std::string before = ReadFile(env.ConfigIni());
  chmod(env.ConfigIni().c_str(), 0444);
  const std::string told =
      "Les options n'ont pas pu être enregistrées : '" + env.ConfigIni().string() + "' est en lecture seule.\n";
  const fs::path profile = env.ComputerDir() / "demo.pro";

  const KoralctlResult save = Koralctl({"profile", "save", profile.string()});
  EXPECT_EQ(save.status, 0);
  EXPECT_EQ(save.err, told);
  EXPECT_TRUE(fs::is_regular_file(profile));
  const KoralctlResult load = Koralctl({"profile", "load", profile.string()});
  EXPECT_EQ(load.status, 0);
  EXPECT_EQ(load.err, told);
  EXPECT_EQ(env.SettingsImageBytes(), image);
  EXPECT_EQ(ReadFile(env.ConfigIni()), before);
}

TEST(ReadOnlyImageCommand, AnImmutableImageIsShownAndItsWritesRefused) {
  TestEnvironment env;
  koral::CreateDemoPlayer(env.PlayerDir(), env.ConfigIni(), env.RadiosIni());
  const std::string image = env.SettingsImageBytes();
  const koral::test::Undeletable immutable(env.SettingsImage());
  if (!immutable.Held()) GTEST_SKIP() << "the immutable flag cannot be set on this file system";

  EXPECT_EQ(Koralctl({"radio", "show"}).status, 0);
  EXPECT_EQ(Koralctl({"settings", "show"}).status, 0);
  EXPECT_EQ(Koralctl({"eq", "show"}).status, 0);
  const std::string readOnly = "Les réglages n'ont pas été enregistrés : l'Koral est en lecture seule.\n";
  for (const std::vector<std::string>& write : {std::vector<std::string>{"radio", "set", "A", "100"},
                                                {"settings", "set", "contrast", "3"},
                                                {"eq", "set", "0", "1", "2", "3", "4", "5"},
                                                {"eq", "select", "2"}}) {
    const KoralctlResult run = Koralctl(write);
    EXPECT_EQ(run.status, 1) << write[0];
    EXPECT_EQ(run.err, readOnly) << write[0];
  }
  EXPECT_EQ(env.SettingsImageBytes(), image);
}

TEST(ProfileLoadCommand, FilesThatAreNoProfileAreRefusedWithExit1) {
  TestEnvironment env;
  env.SetSettingsImage(std::string(512, '\x11'));
  std::string randomBytes;
  for (int i = 0; i < 2048; ++i) randomBytes += static_cast<char>((i * 131 + 7) % 256);
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"vide.pro", ""}, {"autre.pro", "[General]\nlang=fr\n"}, {"bruit.pro", randomBytes}}) {
    const fs::path file = env.ComputerDir() / name;
    WriteFile(file, bytes);
    const KoralctlResult run = Koralctl({"profile", "load", file.string()});
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_EQ(run.err, "'" + file.string() + "' n'est pas un profil : rien n'a été chargé.\n") << name;
  }
  EXPECT_EQ(env.SettingsImageBytes(), std::string(512, '\x11'));
}

TEST(ProfileLoadCommand, AGibibyteFileIsRefusedAtOnceInLittleMemory) {
  TestEnvironment env;
  env.SetSettingsImage(std::string(512, '\x11'));
  const fs::path file = env.ComputerDir() / "enorme.pro";
  WriteFile(file, "[radios]\r\na=28 156\r\n");
  fs::resize_file(file, 1024ull * 1024 * 1024);  // sparse: no room taken

  const koral::test::ProcessOutcome outcome = koral::test::RunKoralctlProcess({"profile", "load", file.string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "'" + file.string() + "' est trop gros pour un profil (plus de 64 Ko) : rien n'a été chargé.\n");
  // CPU time rather than the wall clock: a loaded machine slows the one, not the other.
  const double cpuSeconds = static_cast<double>(outcome.usage.ru_utime.tv_sec + outcome.usage.ru_stime.tv_sec) +
                            static_cast<double>(outcome.usage.ru_utime.tv_usec + outcome.usage.ru_stime.tv_usec) / 1e6;
  EXPECT_LT(cpuSeconds, 1.0);
  EXPECT_LT(outcome.usage.ru_maxrss, 50 * 1024);  // KiB
  EXPECT_EQ(env.SettingsImageBytes(), std::string(512, '\x11'));
}

}  // namespace
