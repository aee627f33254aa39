#include "engine/pieces/PieceNaming.h"

#include <gtest/gtest.h>

TEST(PieceNaming, PadsToFourDigitsAndNeverCuts)
{
    EXPECT_EQ(FormatPieceNumber(1), "0001");
    EXPECT_EQ(FormatPieceNumber(42), "0042");
    EXPECT_EQ(FormatPieceNumber(9999), "9999");
    EXPECT_EQ(FormatPieceNumber(10000), "10000");
    EXPECT_EQ(FormatPieceNumber(10001), "10001");
    EXPECT_EQ(FormatPieceNumber(123456), "123456");
}

TEST(PieceNaming, AppendsTheNumberToTheWholeSourcePath)
{
    EXPECT_EQ(PieceFileName("/x/a.b", 1), "/x/a.b.0001");
    EXPECT_EQ(PieceFileName("/x/a", 2), "/x/a.0002");
    EXPECT_EQ(PieceFileName("/x/a.0001", 1), "/x/a.0001.0001");
    EXPECT_EQ(PieceFileName("/x/film.avi", 10000), "/x/film.avi.10000");
}
