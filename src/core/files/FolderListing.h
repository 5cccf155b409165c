// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace koral {

// One row of a folder list: "Nom", "Type" and "Taille" as shown.
struct ListingRow {
  std::string name;
  bool isFolder = false;
  std::string type;      // "dossier" for a folder, else the file's extension
  std::string sizeText;  // FormatSize of a file's length; empty for a folder
};

// The parent entry every browsable folder but a root shows.
inline constexpr std::string_view kParentName = "..";

ListingRow MakeFolderRow(std::string name);
ListingRow MakeFileRow(std::string name, std::uintmax_t bytes);

// The rows of a folder in the order the file system yields them, with ".."
// first when withParent. nullopt when the folder cannot be searched (it is a
// file, it has vanished, it may not be read).
std::optional<std::vector<ListingRow>> ListFolder(const std::string& folder, bool withParent);

// Where a double click on the row `name` leads: the parent folder for "..",
// the child for any other name, the folder itself for no row.
std::string BrowseCandidate(const std::string& folder, const std::string& name);

// ".." first, then the files grouped by extension (ascending bytes), then the
// folders; within a group, by name without regard to case. Returns the row
// indices in their new order.
std::vector<std::size_t> DefaultOrder(const std::vector<ListingRow>& rows);

// The order of a click on a column header. ".." stays first. "Taille"
// (column 2): sizes read back from their text, folders counting 0, the
// smaller first with the flag set. "Nom" (0) and "Type" (1): files before
// folders in either direction, texts compared without regard to case, the
// greater first with the flag set.
std::vector<std::size_t> ColumnOrder(const std::vector<ListingRow>& rows, int column, bool flag);

// Case-insensitive comparison of two UTF-8 texts (accented Latin letters
// fold as well): negative, zero or positive.
int CompareNoCase(std::string_view a, std::string_view b);

// A list's sort state: its sort column (-1 for none) and direction flag.
struct SortState {
  int column = -1;
  bool flag = false;
  // A click on a column: the same column again inverts the flag, another sets it.
  void Click(int clicked);
};

}  // namespace koral
