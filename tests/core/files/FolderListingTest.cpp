// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/files/FolderListing.h"
#include "support/TestEnvironment.h"

using koral::ListingRow;
using koral::MakeFileRow;
using koral::MakeFolderRow;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::vector<ListingRow>& rows, const std::vector<size_t>& order) {
  std::vector<std::string> names;
  for (size_t index : order) names.push_back(rows[index].name);
  return names;
}

// A folder as the lists see it: ".." among files and folders of mixed case.
std::vector<ListingRow> SampleRows() {
  return {MakeFileRow("b.mp3", 3000), MakeFolderRow("Zeta"),  MakeFolderRow(".."),           MakeFileRow("a.txt", 10),
          MakeFileRow("C.MP3", 1500), MakeFolderRow("alpha"), MakeFileRow("README", 2000000)};
}

}  // namespace

TEST(ListFolder, GivesEveryEntryWithTypeAndSizeAndTheParentFirst) {
  koral::test::TempDir folder;
  koral::test::WriteFile(folder / "song.mp3", std::string(2048, 'x'));
  koral::test::WriteFile(folder / ".hidden", "abc");
  fs::create_directory(folder / "Album.v2");

  const auto rows = koral::ListFolder(folder.Path().string(), true);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 4u);
  EXPECT_EQ((*rows)[0].name, "..");
  EXPECT_TRUE((*rows)[0].isFolder);
  auto find = [&](const std::string& name) {
    return *std::find_if(rows->begin(), rows->end(), [&](const ListingRow& row) { return row.name == name; });
  };
  EXPECT_EQ(find("song.mp3").type, "mp3");
  EXPECT_EQ(find("song.mp3").sizeText, "2 Ko");
  EXPECT_EQ(find(".hidden").sizeText, "3 o");
  EXPECT_TRUE(find("Album.v2").isFolder);
  EXPECT_EQ(find("Album.v2").type, "dossier");
  EXPECT_EQ(find("Album.v2").sizeText, "");

  const auto root = koral::ListFolder(folder.Path().string(), false);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->size(), 3u);
}

TEST(ListFolder, CannotSearchAFileAVanishedFolderOrNothing) {
  koral::test::TempDir folder;
  koral::test::WriteFile(folder / "file.txt", "x");
  EXPECT_FALSE(koral::ListFolder((folder / "file.txt").string(), true));
  EXPECT_FALSE(koral::ListFolder((folder / "gone").string(), true));
  EXPECT_FALSE(koral::ListFolder("", true));
  fs::create_directory(folder / "empty");
  const auto empty = koral::ListFolder((folder / "empty").string(), true);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->size(), 1u);  // only ".."
}

TEST(ListFolder, AFileOfFourGibibytesOrMoreShowsItsWholeSize) {
  koral::test::TempDir folder;
  koral::test::WriteFile(folder / "big.iso", "");
  fs::resize_file(folder / "big.iso", std::uintmax_t{5} << 30);  // sparse
  const auto rows = koral::ListFolder(folder.Path().string(), false);
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->front().sizeText, "5.00 Go");
}

TEST(DefaultOrder, ParentThenFilesByTypeBytesThenFolders) {
  const auto rows = SampleRows();
  const auto names = Names(rows, koral::DefaultOrder(rows));
  // Types: "" < "MP3" < "mp3" < "txt" byte by byte; folders by name, without case.
  EXPECT_EQ(names, (std::vector<std::string>{"..", "README", "C.MP3", "b.mp3", "a.txt", "alpha", "Zeta"}));
}

TEST(DefaultOrder, WithinOneTypeByNameWithoutCaseWhateverTheFileSystemOrder) {
  std::vector<ListingRow> rows;
  for (const char* name : {"10 - j.mp3", "07 - g.mp3", "01 - a.mp3", "Gamma", "08 - h.mp3", "beta", "02 - B.mp3",
                           "02 - b.mp3", "Alpha", "cover.jpg", ".."})
    rows.push_back(name[0] == '0' || name[0] == '1' || name[0] == 'c' ? MakeFileRow(name, 1) : MakeFolderRow(name));
  EXPECT_EQ(Names(rows, koral::DefaultOrder(rows)),
            (std::vector<std::string>{"..", "cover.jpg", "01 - a.mp3", "02 - B.mp3", "02 - b.mp3", "07 - g.mp3",
                                      "08 - h.mp3", "10 - j.mp3", "Alpha", "beta", "Gamma"}));
}

TEST(ColumnOrder, NameFirstClickZToAThenReversedFoldersAlwaysAfterFiles) {
  const auto rows = SampleRows();
  koral::SortState state;
  state.Click(0);
  EXPECT_EQ(Names(rows, koral::ColumnOrder(rows, state.column, state.flag)),
            (std::vector<std::string>{"..", "README", "C.MP3", "b.mp3", "a.txt", "Zeta", "alpha"}));
  state.Click(0);
  EXPECT_EQ(Names(rows, koral::ColumnOrder(rows, state.column, state.flag)),
            (std::vector<std::string>{"..", "a.txt", "b.mp3", "C.MP3", "README", "alpha", "Zeta"}));
  state.Click(0);
  EXPECT_TRUE(state.flag);
}

TEST(ColumnOrder, TypeComparesWithoutCase) {
  const auto rows = SampleRows();
  const auto names = Names(rows, koral::ColumnOrder(rows, 1, true));
  EXPECT_EQ(names[0], "..");
  EXPECT_EQ(names[1], "a.txt");
  EXPECT_EQ(std::vector<std::string>(names.begin() + 2, names.begin() + 4),
            (std::vector<std::string>{"b.mp3", "C.MP3"}));
  EXPECT_EQ(names[4], "README");
}

TEST(ColumnOrder, SizeMixesFoldersAsZeroAndKeepsTheParentFirst) {
  const auto rows = SampleRows();
  const auto smallest = Names(rows, koral::ColumnOrder(rows, 2, true));
  EXPECT_EQ(smallest, (std::vector<std::string>{"..", "Zeta", "alpha", "a.txt", "C.MP3", "b.mp3", "README"}));
  const auto largest = Names(rows, koral::ColumnOrder(rows, 2, false));
  EXPECT_EQ(largest, (std::vector<std::string>{"..", "README", "b.mp3", "C.MP3", "a.txt", "Zeta", "alpha"}));
}

TEST(SortState, SameColumnInvertsAnotherColumnSets) {
  koral::SortState state;
  EXPECT_EQ(state.column, -1);
  state.Click(0);
  EXPECT_TRUE(state.flag);
  state.Click(0);
  EXPECT_FALSE(state.flag);
  state.Click(2);
  EXPECT_TRUE(state.flag);
  EXPECT_EQ(state.column, 2);
}

TEST(CompareNoCase, FoldsAsciiAndAccentedLetters) {
  EXPECT_EQ(koral::CompareNoCase("abc", "ABC"), 0);
  EXPECT_EQ(koral::CompareNoCase("Été", "été"), 0);
  EXPECT_EQ(koral::CompareNoCase("Œuvre", "œuvre"), 0);
  EXPECT_LT(koral::CompareNoCase("a", "B"), 0);
  EXPECT_GT(koral::CompareNoCase("zz", "Z"), 0);
  EXPECT_LT(koral::CompareNoCase("", "a"), 0);
  EXPECT_NE(koral::CompareNoCase("\xff", "\xfe"), 0);  // bytes that are no UTF-8 still order
}

TEST(BrowseCandidate, ParentChildOrTheFolderItself) {
  EXPECT_EQ(koral::BrowseCandidate("/home/anna/Musique", ".."), "/home/anna");
  EXPECT_EQ(koral::BrowseCandidate("/home", ".."), "/");
  EXPECT_EQ(koral::BrowseCandidate("/", "home"), "/home");
  EXPECT_EQ(koral::BrowseCandidate("/media/KORAL", "Rock"), "/media/KORAL/Rock");
  EXPECT_EQ(koral::BrowseCandidate("/media/KORAL", ""), "/media/KORAL");
}
