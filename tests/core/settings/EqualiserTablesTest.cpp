// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/EqualiserTables.h"

#include <gtest/gtest.h>

#include "core/settings/EqualiserPresets.h"

namespace {

using koral::EqualiserTables;
using koral::GainTable;

TEST(EqualiserTablesTest, RestoringTheFactoryKeepsPersoAndTheReadingComesBack) {
  EqualiserTables& tables = EqualiserTables::Shared();
  GainTable read{};
  read[1] = {1, 1, 1, 1, 1};
  read[10] = {3, 3, 3, 3, 3};
  tables.TakePlayerGains(read);
  tables.SetWorking(10, {4, 4, 4, 4, 4});
  tables.RestoreFactory();
  EXPECT_EQ(tables.Working(1), koral::kFactoryPresets[1]);
  EXPECT_EQ(tables.Working(10), (koral::PresetGains{4, 4, 4, 4, 4}));
  tables.RestorePlayer();
  EXPECT_EQ(tables.WorkingTable(), read);
}

}  // namespace
