#include "ui/MsgStr.h"

#include <gtest/gtest.h>

TEST(MsgStr, StripAmpersandDeletesTheFirstOnly) {
    EXPECT_EQ(ui::msg::StripAmpersand("&Save && go"), "Save && go");
    EXPECT_EQ(ui::msg::StripAmpersand("none"), "none");
}
