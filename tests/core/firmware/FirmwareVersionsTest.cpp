// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/firmware/FirmwareVersions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(FirmwareVersions, PrefixSearchStartsAtTheSecondEntryAndWraps) {
  const Strings entries{"118.2", "119.0", "119.01"};
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "119.0"), 1u);
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "119"), 1u);
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "118"), 0u);  // wrapped round
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "120"), std::nullopt);
  EXPECT_EQ(koral::FindCurrentVersionEntry(Strings{"Beta", "beta2"}, "BETA"), 0u);
  EXPECT_EQ(koral::FindCurrentVersionEntry(Strings{}, ""), std::nullopt);
}

}  // namespace
