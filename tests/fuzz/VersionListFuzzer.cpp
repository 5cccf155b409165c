// SPDX-License-Identifier: GPL-3.0-or-later
// [firmware] versionsdispo: cut, sorted and searched as the firmware dialog does.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "core/config/TextEncoding.h"
#include "core/firmware/FirmwareVersions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using koral::fuzz::Require;
  koral::fuzz::FuzzInput input(data, size);
  const std::string_view current = input.Text(20);
  const std::string_view list = input.Rest();

  const auto versions = koral::SplitAvailableVersions(list);
  for (const std::string& version : versions) Require(version.find(' ') == std::string::npos, "a name holds no space");
  const auto sorted = koral::SortVersionsForList(versions);
  Require(std::is_permutation(sorted.begin(), sorted.end(), versions.begin(), versions.end()), "sorting loses nothing");
  for (size_t i = 1; i < sorted.size(); ++i) {
    const std::string before = koral::LowerAscii(sorted[i - 1]);
    const std::string after = koral::LowerAscii(sorted[i]);
    Require(!std::lexicographical_compare(after.begin(), after.end(), before.begin(), before.end()),
            "the list is in order");
  }

  const auto entry = koral::FindCurrentVersionEntry(sorted, current);
  if (!entry) return 0;
  Require(*entry < sorted.size(), "the entry is in the list");
  const std::string& found = sorted[*entry];
  Require(
      found.size() >= current.size() && koral::EqualNoCase(std::string_view(found).substr(0, current.size()), current),
      "the entry begins with the current version");
  return 0;
}
