// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

TEST(CopyRenameReportTest, OneLinePerRenameWithNamesShownAsTheListsShowThem) {
  EXPECT_EQ(koral::FormatRenameReport({}), "");
  const std::vector<koral::CopyRename> renames = {{"/c/a:b?.mp3", "a:b?.mp3", "a_b_.mp3"},
                                                  {"/c/\xE9t\xE9?", "\xE9t\xE9?", "\xE9t\xE9_"}};
  EXPECT_EQ(koral::FormatRenameReport(renames),
            "renommé : a:b?.mp3 → a_b_.mp3\nrenommé : été? → été_");  // Windows-1252 bytes, as the rows show them

  std::vector<koral::CopyRename> many(koral::kEntriesListedInABox + 2, renames[0]);
  const std::string boxed = koral::FormatRenameReport(many, koral::kEntriesListedInABox);
  EXPECT_EQ(std::count(boxed.begin(), boxed.end(), '\n'), static_cast<long>(koral::kEntriesListedInABox));
  EXPECT_TRUE(boxed.ends_with("\n... et 2 autres.")) << boxed;
  many.pop_back();
  EXPECT_TRUE(koral::FormatRenameReport(many, koral::kEntriesListedInABox).ends_with("\n... et 1 autre."));
  EXPECT_EQ(koral::FormatRenameReport(many).find("autre"), std::string::npos);
}

TEST(CopySummaryTest, CountsAreFrenchAndTheTimeIsToTheSecond) {
  using std::chrono::milliseconds;
  EXPECT_EQ(koral::FormatCopySummary(12, 36176691, milliseconds(3400), 1),
            "Copié : 12 fichiers, 34.5 Mo en 0:03 ; 1 échec");
  EXPECT_EQ(koral::FormatCopySummary(1, 500, milliseconds(0), 0), "Copié : 1 fichier, 500 o en 0:00 ; aucun échec");
  EXPECT_EQ(koral::FormatCopySummary(0, 0, milliseconds(62600), 3), "Copié : 0 fichier, 0 o en 1:03 ; 3 échecs");
  EXPECT_EQ(koral::FormatDuration(std::chrono::seconds(42)), "0:42");
  EXPECT_EQ(koral::FormatDuration(std::chrono::seconds(3723)), "1:02:03");
  EXPECT_EQ(koral::FormatDuration(std::chrono::seconds(-5)), "0:00");
  // A stopped copy: the participles agree with their counts.
  EXPECT_EQ(koral::FormatCancelledCopy(2, 3), "Copie annulée : 2 fichiers copiés, 3 non copiés.");
  EXPECT_EQ(koral::FormatCancelledCopy(1, 1), "Copie annulée : 1 fichier copié, 1 non copié.");
  EXPECT_EQ(koral::FormatCancelledCopy(0, 0), "Copie annulée : 0 fichier copié, 0 non copié.");
  EXPECT_EQ(koral::FormatInterruption(4), "copie interrompue, 4 non copiés");
}
