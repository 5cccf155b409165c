// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/files/SizeText.h"

using koral::FileType;
using koral::FormatSize;
using koral::ReadSizeText;

TEST(FormatSize, EachBoundBelongsToTheLowerForm) {
  EXPECT_EQ(FormatSize(0), "0 o");
  EXPECT_EQ(FormatSize(1024), "1024 o");
  EXPECT_EQ(FormatSize(1025), "1 Ko");
  EXPECT_EQ(FormatSize(1048576), "1024 Ko");
  EXPECT_EQ(FormatSize(1048577), "1.0 Mo");
  EXPECT_EQ(FormatSize(1073741824), "1024.0 Mo");
  EXPECT_EQ(FormatSize(1073741825), "1.00 Go");
  EXPECT_EQ(FormatSize(1610612736), "1.50 Go");
}

TEST(FormatSize, KilobytesTruncateMegabytesRoundGigabytesTruncateToWholeMebibytes) {
  EXPECT_EQ(FormatSize(2047), "1 Ko");
  EXPECT_EQ(FormatSize(1572864), "1.5 Mo");
  EXPECT_EQ(FormatSize(1048576 + 104858), "1.1 Mo");
  // 1.5 GiB less one byte: whole MiB first, so 1535 MiB -> 1.499 -> 1.50.
  EXPECT_EQ(FormatSize(1610612735), "1.50 Go");
  EXPECT_EQ(FormatSize(int64_t{5} << 30), "5.00 Go");
  EXPECT_EQ(FormatSize(int64_t{3} << 40), "3072.00 Go");
}

TEST(ReadSizeText, ReadsEachFormBack) {
  EXPECT_FLOAT_EQ(ReadSizeText("0 o"), 0.0f);
  EXPECT_FLOAT_EQ(ReadSizeText("1024 o"), 1024.0f);
  EXPECT_FLOAT_EQ(ReadSizeText("3 Ko"), 3072.0f);
  EXPECT_FLOAT_EQ(ReadSizeText("1.5 Mo"), 1572864.0f);
  EXPECT_FLOAT_EQ(ReadSizeText("1.50 Go"), 1610612736.0f);
  EXPECT_FLOAT_EQ(ReadSizeText(""), 0.0f);  // a folder's empty size
  EXPECT_FLOAT_EQ(ReadSizeText("o"), 0.0f);
  EXPECT_FLOAT_EQ(ReadSizeText("nan Ko"), 0.0f);  // no number that would break a sort
  EXPECT_FLOAT_EQ(ReadSizeText("inf Go"), 0.0f);
  EXPECT_FLOAT_EQ(ReadSizeText(std::string(60, '9') + " Go"), std::numeric_limits<float>::max());
}

TEST(ReadSizeText, OrdersAsTheBytesDo) {
  const int64_t sizes[] = {0, 10, 1024, 3000, 900000, 1048577, 50000000, 1073741825, int64_t{7} << 30};
  for (size_t i = 1; i < std::size(sizes); ++i)
    EXPECT_LT(ReadSizeText(FormatSize(sizes[i - 1])), ReadSizeText(FormatSize(sizes[i]))) << sizes[i];
}

TEST(FileType, IsWhatFollowsTheLastDot) {
  EXPECT_EQ(FileType("archive.tar.gz"), "gz");
  EXPECT_EQ(FileType("Chanson.MP3"), "MP3");
  EXPECT_EQ(FileType("README"), "");
  EXPECT_EQ(FileType("fini."), "");
  EXPECT_EQ(FileType(".bashrc"), "bashrc");
  EXPECT_EQ(FileType("long.extension"), "extension");
}
