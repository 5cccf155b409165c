// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/AudioConverterLoader.h"

#include <gtest/gtest.h>

#include "support/AudioFixtures.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

TEST(AudioConverterLoader, AMissingModuleGivesAFrenchReasonAndNoConverter) {
  RunContext context;
  context.convertModule = "/nonexistent/koral-convert.so";
  const LoadedAudioConverter loaded = LoadAudioConverter(context);
  EXPECT_EQ(loaded.converter, nullptr);
  EXPECT_EQ(loaded.failure,
            "Conversion en MP3 indisponible : le module /nonexistent/koral-convert.so est introuvable.");
  // Asked again, the same answer.
  EXPECT_EQ(LoadAudioConverter(context).failure, loaded.failure);
}

TEST(AudioConverterLoader, AFileThatIsNoModuleGivesAFrenchReason) {
  test::TempDir dir;
  test::WriteFile(dir / "koral-convert.so", "pas une bibliothèque");
  RunContext context;
  context.convertModule = dir / "koral-convert.so";
  const LoadedAudioConverter loaded = LoadAudioConverter(context);
  EXPECT_EQ(loaded.converter, nullptr);
  EXPECT_TRUE(loaded.failure.starts_with("Conversion en MP3 indisponible : le module ")) << loaded.failure;
}

TEST(AudioConverterLoader, TheBuiltModuleConvertsAndIsLoadedOnce) {
  RunContext context;
  context.convertModule = KORAL_CONVERT_MODULE_PATH;
  const LoadedAudioConverter loaded = LoadAudioConverter(context);
  ASSERT_NE(loaded.converter, nullptr) << loaded.failure;
  EXPECT_EQ(loaded.failure, "");
  EXPECT_EQ(LoadAudioConverter(context).converter, loaded.converter);

  test::TempDir dir;
  test::MakeTone({test::FixtureFormat::Ogg, 1, 1, 0, {}}, dir / "a.ogg");
  EXPECT_EQ(loaded.converter->Probe((dir / "a.ogg").string()).kind, AudioKind::Convertible);
  EXPECT_FALSE(loaded.converter->Convert((dir / "a.ogg").string(), 128, {}).bytes.empty());
}

}  // namespace
}  // namespace koral
