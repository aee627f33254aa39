#include "platform/THiddenList.h"

#include <gtest/gtest.h>

TEST(HiddenList, DotNamesAreHidden)
{
    const THiddenList none;
    EXPECT_TRUE(none.IsHidden(".profile"));
    EXPECT_TRUE(none.IsHidden(".hidden"));
    EXPECT_FALSE(none.IsHidden("profile"));
    EXPECT_FALSE(none.IsHidden(""));
}
