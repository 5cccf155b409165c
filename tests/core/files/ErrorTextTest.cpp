// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/ErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace koral {
namespace {

TEST(DescribeError, TheSideThatFailedIsNamed) {
  EXPECT_EQ(DescribeError(EIO, ErrorSide::kComputer), "erreur de lecture sur l'ordinateur");
  EXPECT_EQ(DescribeError(EIO), "erreur d'écriture (l'Koral a-t-il été débranché ?)");
  EXPECT_EQ(DescribeError(ENAMETOOLONG, ErrorSide::kComputer), "nom trop long");
  EXPECT_EQ(DescribeError(ENOTEMPTY), "le dossier n'est pas vide");
}

}  // namespace
}  // namespace koral
