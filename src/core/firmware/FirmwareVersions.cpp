// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/firmware/FirmwareVersions.h"

#include <algorithm>

#include "core/config/PrivateProfile.h"
#include "core/config/TextEncoding.h"

namespace koral {
namespace {

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::vector<std::string> SplitAvailableVersions(std::string_view versionsdispo) {
  std::vector<std::string> versions;
  size_t start = 0;
  while (start < versionsdispo.size()) {
    const size_t space = versionsdispo.find(' ', start);
    if (space == std::string_view::npos) {
      versions.emplace_back(versionsdispo.substr(start));
      break;
    }
    versions.emplace_back(versionsdispo.substr(start, space - start));
    start = space + 1;
  }
  return versions;
}

std::vector<std::string> SortVersionsForList(std::vector<std::string> versions) {
  std::stable_sort(versions.begin(), versions.end(),
                   [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
  return versions;
}

std::optional<size_t> FindCurrentVersionEntry(const std::vector<std::string>& entries, std::string_view current) {
  // An exact match comes first: the prefix search alone would pick "119.01"
  // for a current "119.0" whenever it came after it.
  for (size_t i = 0; i < entries.size(); ++i)
    if (EqualNoCase(entries[i], current)) return i;
  for (size_t step = 1; step <= entries.size(); ++step) {
    const size_t i = step % entries.size();
    if (StartsWithNoCase(entries[i], current)) return i;
  }
  return std::nullopt;
}

std::vector<std::string> ReadVersionList(const std::filesystem::path& configIni) {
  return SortVersionsForList(
      SplitAvailableVersions(GetPrivateProfileString("firmware", "versionsdispo", "", configIni)));
}

std::optional<std::string> ListedVersionFor(const std::filesystem::path& configIni, std::string_view version) {
  const auto entries = ReadVersionList(configIni);
  const auto entry = FindCurrentVersionEntry(entries, version);
  if (!entry || entries[*entry].empty()) return std::nullopt;
  return entries[*entry];
}

std::string ReadFirmwareVersion(const std::filesystem::path& configIni) {
  return GetPrivateProfileString("firmware", "version", "", configIni);
}

FileWriteStatus SaveFirmwareVersion(const std::filesystem::path& configIni, std::string_view version) {
  return WritePrivateProfileString("firmware", "version", version, configIni);
}

}  // namespace koral
