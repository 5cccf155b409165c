// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/firmware/NewFirmware.h"

#include <algorithm>
#include <optional>

#include "core/config/PrivateProfile.h"
#include "core/config/TextEncoding.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/platform/AtomicFile.h"

namespace koral {
namespace {

constexpr std::string_view kFirmwareSection = "firmware";
constexpr std::string_view kVersionsKey = "versionsdispo";

bool ContainsNoCase(const std::vector<std::string>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(), [name](const std::string& known) { return EqualNoCase(known, name); });
}

std::vector<std::string> ListedVersions(std::string_view bytes) {
  std::vector<std::string> versions;
  for (std::string& version :
       SplitAvailableVersions(FindProfileValue(bytes, kFirmwareSection, kVersionsKey).value_or("")))
    if (!version.empty() && !ContainsNoCase(versions, version)) versions.push_back(std::move(version));
  return versions;
}

// A blank line between the last section and the new one, as the shipped file has.
void SeparateNextSection(std::string& bytes) {
  const std::string ending = bytes.ends_with("\r\n") ? "\r\n" : "\n";
  if (bytes.ends_with('\n') && !bytes.ends_with(ending + ending)) bytes += ending;
}

void AddSection(const ProfileEntries& entries, const std::string& section, std::string& bytes) {
  SeparateNextSection(bytes);
  for (const auto& [key, value] : entries)
    if (auto written = SetProfileValue(bytes, section, key, value)) bytes = std::move(*written);
}

void AddVersions(const std::vector<std::string>& versions, std::string& bytes) {
  std::string list = FindProfileValue(bytes, kFirmwareSection, kVersionsKey).value_or("");
  for (const std::string& version : versions) {
    // One space between entries: the list is cut at every single space.
    if (!list.empty() && list.back() != ' ') list += ' ';
    list += version;
  }
  if (auto written = SetProfileValue(bytes, kFirmwareSection, kVersionsKey, list)) bytes = std::move(*written);
}

}  // namespace

FirmwareMerge MergeNewFirmware(std::string_view defaults, std::string_view user) {
  FirmwareMerge merge{std::string(user), {}, {}};
  const std::vector<std::string> userSections = ProfileSectionNames(user);
  const std::vector<std::string> userVersions = ListedVersions(user);
  for (const std::string& version : ListedVersions(defaults)) {
    if (!ContainsNoCase(userVersions, version)) merge.versions.push_back(version);
    if (ContainsNoCase(userSections, version)) continue;
    const ProfileEntries entries = ProfileSectionEntries(defaults, version);
    if (entries.empty()) continue;
    AddSection(entries, version, merge.bytes);
    merge.sections.push_back(version);
  }
  if (!merge.versions.empty()) AddVersions(merge.versions, merge.bytes);
  return merge;
}

bool AddNewFirmware(const std::filesystem::path& defaultsIni, const std::filesystem::path& userIni) {
  const std::optional<std::string> defaults = ReadWholeFile(defaultsIni, kConfigIniSizeLimit);
  const std::optional<std::string> user = ReadWholeFile(userIni, kConfigIniSizeLimit);
  if (!defaults || !user) return true;
  const FirmwareMerge merge = MergeNewFirmware(*defaults, *user);
  return merge.AddedNothing() || WriteFileAtomically(userIni, merge.bytes);
}

}  // namespace koral
