// SPDX-License-Identifier: GPL-3.0-or-later
#include <sstream>

#include <gtest/gtest.h>

#include "cli/Koralctl.h"
#include "core/settings/BandField.h"
#include "support/TestEnvironment.h"

namespace {

constexpr int kOffsetEq = 64;  // the shipped Config.ini, version 119.0
constexpr int kOffsetSelEq = 240;

class EqCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { m_environment.SetSettingsImage(); }

  int Run(std::vector<std::string> arguments) {
    m_out.str({});
    m_err.str({});
    return koral::cli::RunKoralctl(arguments, m_environment.Context(), m_out, m_err);
  }
  std::string Field(int preset, int band) const {
    return m_environment.SettingsImageBytes().substr(kOffsetEq + koral::BandFieldDisplacement(preset, band), 3);
  }
  int SelectionByte() const { return static_cast<unsigned char>(m_environment.SettingsImageBytes()[kOffsetSelEq]); }

  koral::test::TestEnvironment m_environment;
  std::ostringstream m_out;
  std::ostringstream m_err;
};

TEST_F(EqCommandTest, SetWritesOnePresetAndShowReadsItBack) {
  ASSERT_EQ(Run({"eq", "set", "Perso", "+5", "-3", "-12", "20", "0"}), 0) << m_err.str();
  EXPECT_EQ(Field(10, 0), std::string("\x05\x00\x00", 3));
  EXPECT_EQ(Field(10, 1), std::string("\xFD\xFF\xFF", 3));
  EXPECT_EQ(Field(10, 2), std::string("\xF4\xFF\xFF", 3));
  EXPECT_EQ(Field(10, 3), std::string("\x14\x00\x00", 3));
  EXPECT_EQ(Field(9, 4), std::string(3, '\0'));  // its neighbours are untouched

  ASSERT_EQ(Run({"eq", "show"}), 0) << m_err.str();
  EXPECT_NE(m_out.str().find("preset sélectionné : 0 Normal"), std::string::npos) << m_out.str();
  EXPECT_NE(m_out.str().find("10 Perso             5      -3     -12      20       0"), std::string::npos)
      << m_out.str();
}

TEST_F(EqCommandTest, SelectTakesAnIndexOrTheNameOfTheFirmwareVersion) {
  ASSERT_EQ(Run({"eq", "select", "jazz"}), 0);
  EXPECT_EQ(SelectionByte(), 2);  // 119.0 lists Jazz third
  ASSERT_EQ(Run({"--firmware", "118.2", "eq", "select", "Jazz"}), 0);
  EXPECT_EQ(static_cast<unsigned char>(m_environment.SettingsImageBytes()[224]), 1);  // 118.2's offsetseleq
  ASSERT_EQ(Run({"eq", "select", "11"}), 0);
  EXPECT_EQ(SelectionByte(), 11);
}

TEST_F(EqCommandTest, ClassiqueAndRockSelectTheIndexOfTheirFirmwareVersion) {
  const auto selectionOf = [this](const std::vector<std::string>& arguments, size_t offset) {
    EXPECT_EQ(Run(arguments), 0) << m_err.str();
    return static_cast<int>(static_cast<unsigned char>(m_environment.SettingsImageBytes()[offset]));
  };
  EXPECT_EQ(selectionOf({"eq", "select", "Classique"}, 240), 3);
  EXPECT_EQ(selectionOf({"eq", "select", "Rock"}, 240), 1);
  EXPECT_EQ(selectionOf({"--firmware", "118.2", "eq", "select", "Classique"}, 224), 4);
  EXPECT_EQ(selectionOf({"--firmware", "118.2", "eq", "select", "Rock"}, 224), 3);
}

TEST_F(EqCommandTest, BadArgumentsAreUsageErrorsAndWriteNothing) {
  const std::string before = m_environment.SettingsImageBytes();
  EXPECT_EQ(Run({"eq", "set", "Auto", "0", "0", "0", "0", "0"}), 2);
  EXPECT_EQ(Run({"eq", "set", "1", "0", "0", "0", "0", "21"}), 2);
  EXPECT_NE(m_err.str().find("Gain invalide : 21"), std::string::npos);
  EXPECT_EQ(Run({"eq", "set", "1", "0", "0", "x", "0", "0"}), 2);
  EXPECT_EQ(Run({"eq", "set", "1", "0", "+", "0", "0", "0"}), 2);
  EXPECT_EQ(Run({"eq", "set", "1", "0", "+-3", "0", "0", "0"}), 2);
  EXPECT_EQ(Run({"eq", "select", "12"}), 2);
  EXPECT_EQ(Run({"eq", "select", "Disco"}), 2);
  EXPECT_EQ(Run({"eq", "set", "1"}), 2);
  EXPECT_EQ(m_environment.SettingsImageBytes(), before);
}

TEST_F(EqCommandTest, AMissingOffsetKeyOrImageFailsWithoutWriting) {
  m_environment.SetConfigIni("[firmware]\nversion=119.0\n[119.0]\noffsetseleq=240\n");
  const std::string before = m_environment.SettingsImageBytes();
  EXPECT_EQ(Run({"eq", "select", "3"}), 1);
  EXPECT_NE(m_err.str().find("offseteq"), std::string::npos);
  EXPECT_EQ(m_environment.SettingsImageBytes(), before);

  std::filesystem::remove(m_environment.SettingsImage());
  m_environment.SetConfigIni("[firmware]\nversion=119.0\n[119.0]\noffseteq=64\noffsetseleq=240\n");
  EXPECT_EQ(Run({"eq", "show"}), 1);
  EXPECT_NE(m_err.str().find("Impossible d'ouvrir"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(m_environment.SettingsImage()));
}

}  // namespace
