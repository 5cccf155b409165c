// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/RemovalText.h"

#include <gtest/gtest.h>

#include <system_error>

#include "core/copy/CopyReport.h"

using koral::RemovalFailure;
using koral::RemovalTally;

TEST(DeleteQuestionText, CountsInFrenchAndNamesUpToFiveEntries) {
  EXPECT_EQ(koral::DeleteQuestionText({"Album", "a.mp3"}, RemovalTally{2, 14, 52u << 20}),
            "Supprimer 2 éléments de l'Koral (14 fichiers, 52.0 Mo) ?\n\nAlbum\na.mp3");
  EXPECT_EQ(koral::DeleteQuestionText({"Vide"}, RemovalTally{1, 0, 0}),
            "Supprimer 1 élément de l'Koral (0 fichier, 0 o) ?\n\nVide");
  // A name that is not UTF-8 shows as the list shows it.
  EXPECT_EQ(koral::DeleteQuestionText({"Caf\xe9.mp3"}, RemovalTally{1, 1, 2048}),
            "Supprimer 1 élément de l'Koral (1 fichier, 2 Ko) ?\n\nCafé.mp3");
  const std::vector<std::string> six{"1", "2", "3", "4", "5", "6"};
  EXPECT_EQ(koral::DeleteQuestionText(six, RemovalTally{6, 6, 6}),
            "Supprimer 6 éléments de l'Koral (6 fichiers, 6 o) ?");
}

TEST(EmptyQuestionText, SaysWhatGoesAndWhatStays) {
  EXPECT_EQ(
      koral::EmptyQuestionText(RemovalTally{3, 23000, std::uint64_t{3} << 30}),
      "Vider l'Koral : 23000 fichiers (3.00 Go) seront supprimés ; les fichiers DAT et INI de sa racine sont gardés.");
  EXPECT_EQ(koral::EmptyQuestionText(RemovalTally{1, 1, 10}),
            "Vider l'Koral : 1 fichier (10 o) sera supprimé ; les fichiers DAT et INI de sa racine sont gardés.");
}

TEST(FileRemovalReport, OneMessageForTheFilesFoldersLeftToTheirOwn) {
  const auto failure = [](const char* path, bool folder) {
    return RemovalFailure{path, std::make_error_code(std::errc::permission_denied), folder, false};
  };
  EXPECT_EQ(koral::FileRemovalReport({failure("/k/Album", true)}), "");
  EXPECT_EQ(koral::FileRemovalReport({failure("/k/a.mp3", false), failure("/k/Album", true)}),
            "Impossible de supprimer le fichier '/k/a.mp3' : accès refusé.");
  EXPECT_EQ(
      koral::FileRemovalReport({failure("/k/a.mp3", false), failure("/k/Album", true), failure("/k/b.mp3", false)}),
      "Impossible de supprimer 2 fichiers :\n'/k/a.mp3' : accès refusé\n'/k/b.mp3' : accès refusé");
  std::vector<RemovalFailure> many(koral::kEntriesListedInABox + 2, failure("/k/x.mp3", false));
  const std::string text = koral::FileRemovalReport(many);
  EXPECT_TRUE(text.starts_with("Impossible de supprimer " + std::to_string(many.size()) + " fichiers :\n")) << text;
  EXPECT_TRUE(text.ends_with("'/k/x.mp3' : accès refusé\n... et 2 autres.")) << text;
}
