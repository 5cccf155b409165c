// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/Paths.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

TEST(Paths, ChildrenOfTheRootNeverStartWithTwoSlashes) {
  EXPECT_EQ(JoinPath("/", "a"), "/a");
  EXPECT_EQ(JoinPath("/media/KORAL", "a"), "/media/KORAL/a");
  EXPECT_EQ(ParentFolder("/media/KORAL"), "/media");
  EXPECT_EQ(ParentFolder("/media"), "/");
  EXPECT_EQ(SettingsImagePath("/media/KORAL"), "/media/KORAL/Settings.dat");
}

TEST(Paths, AFolderHoldsItselfAndWhatLiesBelowPartByPart) {
  EXPECT_TRUE(PathHolds("/media/KORAL", "/media/KORAL"));
  EXPECT_TRUE(PathHolds("/media/KORAL", "/media/KORAL/Rock"));
  EXPECT_FALSE(PathHolds("/media/KORAL", "/media/KORAL2"));
  EXPECT_FALSE(PathHolds("/media/KORAL", "/media"));
  EXPECT_TRUE(PathHolds("/", "/x"));
}

TEST(Paths, AFolderReachedThroughALinkOffThePlayerIsNotOnIt) {
  test::TempDir player, outside;
  fs::create_directories(player / "Musique");
  fs::create_directory_symlink(outside.Path(), player / "Lien");
  EXPECT_TRUE(IsFolderOnPlayer(player.Path().string(), player.Path().string()));
  EXPECT_TRUE(IsFolderOnPlayer((player / "Musique").string(), player.Path().string()));
  EXPECT_FALSE(IsFolderOnPlayer((player / "Lien").string(), player.Path().string()));
  EXPECT_FALSE(IsFolderOnPlayer((player / "Musique/../..").string(), player.Path().string()));
  EXPECT_FALSE(IsFolderOnPlayer(player.Path().string(), ""));
}

}  // namespace
}  // namespace koral
