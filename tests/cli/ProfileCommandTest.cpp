// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <sstream>

#include "cli/Koralctl.h"
#include "core/demo/DemoPlayer.h"
#include "core/platform/Volumes.h"
#include "support/KoralctlRun.h"
#include "support/PipeWriterAfter.h"
#include "support/TestEnvironment.h"

namespace {

using KoralctlRun = koral::test::KoralctlResult;
using koral::test::Koralctl;

using koral::test::TestEnvironment;

// Where the shipped Config.ini puts the fields of firmware 119.0.
constexpr size_t kRadioOffset = 256;
constexpr size_t kPersoOffset = 64 + 150;

// Other frequencies in every memory and other Perso gains, the rest as it was.
std::string AnotherPlayer(std::string image) {
  for (size_t memory = 0; memory < 20; ++memory) {
    image[kRadioOffset + 6 * memory] = '\x33';
    image[kRadioOffset + 6 * memory + 1] = '\x66';
  }
  for (size_t i = 0; i < 15; ++i) image[kPersoOffset + i] = '\x07';
  return image;
}

TEST(ProfileCommand, SaveThenLoadOnAnotherPlayerGivesTheSameBytesBack) {
  TestEnvironment env;
  koral::CreateDemoPlayer(env.PlayerDir(), env.ConfigIni(), env.RadiosIni());
  const std::string demo = env.SettingsImageBytes();
  const auto file = env.ComputerDir() / "demo.pro";

  ASSERT_EQ(Koralctl({"profile", "save", file.string()}).status, 0);
  const std::string profile = koral::test::ReadFile(file);
  EXPECT_EQ(profile.rfind("[radios]\r\na=", 0), 0u);
  EXPECT_NE(profile.find("\r\n\r\n[equaliser]\r\nperso="), std::string::npos);

  env.SetSettingsImage(AnotherPlayer(demo));
  ASSERT_NE(env.SettingsImageBytes(), demo);
  const KoralctlRun load = Koralctl({"profile", "load", file.string()});
  EXPECT_EQ(load.status, 0) << load.err;
  EXPECT_EQ(env.SettingsImageBytes(), demo);
}

TEST(ProfileCommand, LoadReportsADamagedPersoAndWritesTheRadios) {
  TestEnvironment env;
  const std::string image(512, '\x11');
  env.SetSettingsImage(image);
  const auto file = env.ComputerDir() / "damaged.pro";
  koral::test::WriteFile(file, "[radios]\r\na=0 119\r\n\r\n[equaliser]\r\nperso=3 0 0\r\n");

  const KoralctlRun run = Koralctl({"profile", "load", file.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("\"perso\""), std::string::npos);
  std::string expected = image;
  expected.replace(kRadioOffset, 3, std::string("\x00\x77\x01", 3));
  EXPECT_EQ(env.SettingsImageBytes(), expected);
}

TEST(ProfileCommand, FailsWithoutAPlayerOrAnImage) {
  TestEnvironment env;
  const auto file = env.ComputerDir() / "p.pro";
  EXPECT_EQ(Koralctl({"profile", "save", file.string()}).status, 1);  // no Settings.dat
  EXPECT_FALSE(std::filesystem::exists(file));

  const koral::FixedVolumeSource noVolumes({});
  koral::SetVolumeSourceForTesting(&noVolumes);
  env.ForgetPlayer();
  const KoralctlRun run = Koralctl({"profile", "load", file.string()});
  koral::SetVolumeSourceForTesting(nullptr);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("L'Koral n'a pas été détecté."), std::string::npos);
}

TEST(ProfileCommand, RefusesAVersionTheFirmwareDialogWouldNotSelect) {
  TestEnvironment env;
  env.SetSettingsImage();
  const std::string image = env.SettingsImageBytes();
  const auto file = env.ComputerDir() / "p.pro";
  for (const std::string version : {"120", "19.0"}) {
    // Not listed in Config.ini: refused as a bad option, before anything is read or written.
    EXPECT_EQ(Koralctl({"--firmware", version, "profile", "save", file.string()}).status, 2);
    const KoralctlRun load = Koralctl({"--firmware", version, "profile", "load", file.string()});
    EXPECT_EQ(load.status, 2);
    EXPECT_NE(load.err.find("Version de firmware inconnue : " + version), std::string::npos) << load.err;
  }
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(env.SettingsImageBytes(), image);
}

TEST(ProfileCommand, LoadOfAFileThatCannotBeReadFailsAndWritesNothing) {
  TestEnvironment env;
  env.SetSettingsImage();
  const std::string image = env.SettingsImageBytes();
  for (const auto& file : {env.ComputerDir() / "missing.pro", env.ComputerDir()}) {
    const KoralctlRun load = Koralctl({"profile", "load", file.string()});
    EXPECT_EQ(load.status, 1) << file;
    EXPECT_EQ(load.err, "Le fichier de profil ne peut pas être lu : rien n'a été chargé.\n");
  }
  EXPECT_EQ(env.SettingsImageBytes(), image);
}

TEST(ProfileCommand, LoadOfAPipeIsRefusedWithoutWaitingForAWriter) {
  TestEnvironment env;
  env.SetSettingsImage();
  const std::string image = env.SettingsImageBytes();
  const std::filesystem::path pipe = env.ComputerDir() / "profil.pro";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const koral::test::PipeWriterAfter release(pipe, std::chrono::seconds(3));

  const auto start = std::chrono::steady_clock::now();
  const KoralctlRun load = Koralctl({"profile", "load", pipe.string()});

  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(load.status, 1);
  EXPECT_EQ(load.err, "Le profil n'est pas un fichier ordinaire : rien n'a été chargé.\n");
  EXPECT_EQ(env.SettingsImageBytes(), image);
}

TEST(ProfileCommand, RefusesBadUsage) {
  TestEnvironment env;
  EXPECT_EQ(Koralctl({"profile", "save"}).status, 2);
  EXPECT_EQ(Koralctl({"profile", "copy", "x.pro"}).status, 2);
}

}  // namespace
