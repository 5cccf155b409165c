// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/Volumes.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using koral::test::EntryNames;
using koral::test::Koralctl;
using koral::test::ReadFile;
using koral::test::TestEnvironment;
using koral::test::WriteFile;
using Result = koral::test::KoralctlResult;

constexpr const char* kTryHelp = "Essayez « koralctl --help ».\n";

// A module path that names nothing: the run plays a machine without FFmpeg.
void WithoutConverter(TestEnvironment& env) { env.Context().convertModule = env.ComputerDir() / "absent.so"; }

TEST(CopyConvertCommand, ARateThatIsNotOfferedIsAUsageErrorAndNothingIsCopied) {
  TestEnvironment env;
  WriteFile(env.ComputerDir() / "a.flac", "not really");
  const std::string source = (env.ComputerDir() / "a.flac").string();
  for (const std::string rate : {"100", "0", "1920", "192k", "+192", " 192", "abc"}) {
    const Result result = Koralctl({"copy", "--convert=" + rate, source});
    EXPECT_EQ(result.status, 2) << rate;
    EXPECT_EQ(result.out, "") << rate;
    EXPECT_EQ(result.err, "Débit de conversion inconnu : " + rate + " (128, 192, 256 ou 320 kb/s).\n" + kTryHelp);
  }
  EXPECT_EQ(EntryNames(env.PlayerDir()), std::vector<std::string>{});
}

TEST(CopyConvertCommand, TheRateIsCheckedBeforeThePlayerIsLookedFor) {
  TestEnvironment env;
  env.ForgetPlayer();
  const koral::FixedVolumeSource none({});
  koral::SetVolumeSourceForTesting(&none);
  const Result result = Koralctl({"copy", "--convert=64", "x.flac"});
  koral::SetVolumeSourceForTesting(nullptr);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind("Débit de conversion inconnu : 64", 0), 0u) << result.err;
}

TEST(CopyConvertCommand, AMissingModuleIsToldAndNothingIsCopied) {
  TestEnvironment env;
  WithoutConverter(env);
  WriteFile(env.ComputerDir() / "Album" / "a.mp3", "mp3 bytes");
  for (const std::string option : {"--convert", "--convert=320"}) {
    const Result result = Koralctl({"copy", option, (env.ComputerDir() / "Album").string()});
    EXPECT_EQ(result.status, 1) << option;
    // The module's path, or a build without FFmpeg, follows: the loader's own words.
    EXPECT_EQ(result.err.rfind("Conversion en MP3 indisponible : ", 0), 0u) << result.err;
    EXPECT_TRUE(result.err.ends_with("\nRien n'a été copié.\n")) << result.err;
  }
  EXPECT_EQ(EntryNames(env.PlayerDir()), std::vector<std::string>{});
}

TEST(CopyConvertCommand, WithoutTheOptionTheModuleIsNotNeeded) {
  TestEnvironment env;
  WithoutConverter(env);
  WriteFile(env.ComputerDir() / "a.flac", "flac bytes");
  const Result result = Koralctl({"copy", (env.ComputerDir() / "a.flac").string()});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err.find("Conversion"), std::string::npos) << result.err;
  EXPECT_EQ(ReadFile(env.PlayerDir() / "a.flac"), "flac bytes");
}

TEST(CopyConvertCommand, TheRateIsOnlyGivenAfterAnEqualsSign) {
  TestEnvironment env;
  WithoutConverter(env);
  // As GNU tools read an optional value: "192" is a source here, and the
  // missing module is told before any source is looked at.
  const Result result = Koralctl({"copy", "--convert", "192"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("Conversion en MP3 indisponible", 0), 0u) << result.err;
  const Result help = Koralctl({"copy", "--help"});
  EXPECT_NE(help.out.find("[--convert[=KBPS]]"), std::string::npos) << help.out;
  const std::size_t row = help.out.find("\n  --convert[=KBPS] ");
  ASSERT_NE(row, std::string::npos) << help.out;
  const std::string line = help.out.substr(row + 1, help.out.find('\n', row + 1) - row - 1);
  EXPECT_NE(line.find("convertit en MP3 ce que l'Koral ne lit pas"), std::string::npos) << line;
}

}  // namespace
