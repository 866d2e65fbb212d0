// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>

#include "model/Decimal.h"

namespace lumbra {
namespace {

TEST(Decimal, ConvertsLikeTheCLibraryAndGivesZeroForText) {
    EXPECT_EQ(ParseDecimal("0"), 0);
    EXPECT_EQ(ParseDecimal("4"), 4);
    EXPECT_EQ(ParseDecimal("  17"), 17);
    EXPECT_EQ(ParseDecimal("-3"), -3);
    EXPECT_EQ(ParseDecimal("+8"), 8);
    EXPECT_EQ(ParseDecimal("12abc"), 12);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("- 5"), 0);
}

TEST(Decimal, HugeNumbersSaturateInsteadOfWrapping) {
    EXPECT_EQ(ParseDecimal("99999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseUnsignedDecimal("4294967295"), 4294967295u);
    EXPECT_EQ(ParseUnsignedDecimal("99999999999999999999"), 4294967295u);
}

TEST(Decimal, UnsignedConversionWrapsNegativeNumbers) {
    EXPECT_EQ(ParseUnsignedDecimal("-1"), 4294967295u);
    EXPECT_EQ(ParseUnsignedDecimal("200"), 200u);
}

}  // namespace
}  // namespace lumbra
