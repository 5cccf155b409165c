// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/FolderListing.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "core/config/TextEncoding.h"
#include "core/files/Paths.h"
#include "core/files/SizeText.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

bool IsParent(const ListingRow& row) { return row.name == kParentName; }

// The next code point of a UTF-8 text; a byte that starts no valid sequence
// stands for itself.
char32_t NextCodePoint(std::string_view text, size_t& at) {
  char32_t point = 0;
  const size_t length = DecodeUtf8(text, at, point);
  if (length == 0) return static_cast<unsigned char>(text[at++]);
  at += length;
  return point;
}

// Upper-case letters of Latin Extended-A come in pairs with their lower case.
bool IsPairedUpper(char32_t point) {
  if (point >= 0x100 && point <= 0x137) return point % 2 == 0 && point != 0x130;
  if (point >= 0x139 && point <= 0x148) return point % 2 == 1;
  if (point >= 0x14A && point <= 0x177) return point % 2 == 0;
  if (point >= 0x179 && point <= 0x17E) return point % 2 == 1;
  return false;
}

// Lower case for ASCII, Latin-1 and Latin Extended-A: the letters of French names.
char32_t FoldCase(char32_t point) {
  if (point >= U'A' && point <= U'Z') return point + 32;
  if (point >= 0xC0 && point <= 0xDE && point != 0xD7) return point + 32;
  if (point == 0x178) return 0xFF;
  return IsPairedUpper(point) ? point + 1 : point;
}

// Within one type, by name: the order the file system yields is no order at all.
bool ByName(const ListingRow& a, const ListingRow& b) {
  const int order = CompareNoCase(a.name, b.name);
  return order != 0 ? order < 0 : a.name < b.name;
}

bool DefaultLess(const ListingRow& a, const ListingRow& b) {
  if (IsParent(a) || IsParent(b)) return IsParent(a) && !IsParent(b);
  if (a.isFolder != b.isFolder) return !a.isFolder;
  if (!a.isFolder && a.type != b.type) return a.type < b.type;
  return ByName(a, b);
}

bool ColumnLess(const ListingRow& a, const ListingRow& b, int column, bool flag) {
  if (IsParent(a) || IsParent(b)) return IsParent(a) && !IsParent(b);
  if (column == 2) {
    const float sizeA = ReadSizeText(a.sizeText);
    const float sizeB = ReadSizeText(b.sizeText);
    return flag ? sizeA < sizeB : sizeA > sizeB;
  }
  if (a.isFolder != b.isFolder) return !a.isFolder;
  const int order = column == 0 ? CompareNoCase(a.name, b.name) : CompareNoCase(a.type, b.type);
  return flag ? order > 0 : order < 0;
}

template <typename Less>
std::vector<size_t> StableOrder(const std::vector<ListingRow>& rows, Less less) {
  std::vector<size_t> order(rows.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return less(rows[a], rows[b]); });
  return order;
}

}  // namespace

ListingRow MakeFolderRow(std::string name) { return {std::move(name), true, "dossier", {}}; }

ListingRow MakeFileRow(std::string name, std::uintmax_t bytes) {
  std::string type = FileType(name);
  return {std::move(name), false, std::move(type), FormatSize(static_cast<std::int64_t>(bytes))};
}

std::optional<std::vector<ListingRow>> ListFolder(const std::string& folder, bool withParent) {
  std::error_code error;
  fs::directory_iterator it(fs::path(folder), error);
  if (error) return std::nullopt;
  std::vector<ListingRow> rows;
  if (withParent) rows.push_back(MakeFolderRow(std::string(kParentName)));
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) break;
    std::error_code entryError;
    std::string name = it->path().filename().string();
    if (it->is_directory(entryError)) {
      rows.push_back(MakeFolderRow(std::move(name)));
      continue;
    }
    const std::uintmax_t bytes = it->file_size(entryError);
    rows.push_back(MakeFileRow(std::move(name), entryError ? 0 : bytes));
  }
  return rows;
}

std::string BrowseCandidate(const std::string& folder, const std::string& name) {
  if (name == kParentName) return ParentFolder(folder);
  if (name.empty()) return folder;
  return JoinPath(folder, name);
}

std::vector<size_t> DefaultOrder(const std::vector<ListingRow>& rows) { return StableOrder(rows, DefaultLess); }

std::vector<size_t> ColumnOrder(const std::vector<ListingRow>& rows, int column, bool flag) {
  return StableOrder(
      rows, [column, flag](const ListingRow& a, const ListingRow& b) { return ColumnLess(a, b, column, flag); });
}

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t atA = 0;
  size_t atB = 0;
  while (atA < a.size() && atB < b.size()) {
    const char32_t pointA = FoldCase(NextCodePoint(a, atA));
    const char32_t pointB = FoldCase(NextCodePoint(b, atB));
    if (pointA != pointB) return pointA < pointB ? -1 : 1;
  }
  if (atA < a.size()) return 1;
  return atB < b.size() ? -1 : 0;
}

void SortState::Click(int clicked) {
  flag = clicked == column ? !flag : true;
  column = clicked;
}

}  // namespace koral
