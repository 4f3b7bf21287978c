// Compares two configuration records field by field, so that a failure names
// the field that differs.
#pragma once

#include <gtest/gtest.h>

#include "config/config.h"

inline void ExpectPaddingEquals(const Padding& expected, const Padding& actual) {
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
    EXPECT_EQ(expected.left, actual.left);
}

inline void ExpectConfigEquals(const Config& expected, const Config& actual) {
    EXPECT_EQ(expected.screen_width, actual.screen_width);
    EXPECT_EQ(expected.screen_height, actual.screen_height);
    ExpectPaddingEquals(expected.base_padding, actual.base_padding);
    EXPECT_EQ(expected.base_style, actual.base_style);
    EXPECT_EQ(expected.base_border, actual.base_border);
    ExpectPaddingEquals(expected.tip_padding, actual.tip_padding);
    EXPECT_EQ(expected.tip_style, actual.tip_style);
    EXPECT_EQ(expected.tip_border, actual.tip_border);
    EXPECT_EQ(expected.icon_tip_padding, actual.icon_tip_padding);
    EXPECT_EQ(expected.icon_size, actual.icon_size);
    EXPECT_EQ(expected.do_convert_new_line, actual.do_convert_new_line);
    EXPECT_STREQ(expected.converted_new_line, actual.converted_new_line);
    EXPECT_EQ(expected.notify_version, actual.notify_version);
    EXPECT_EQ(expected.interactive, actual.interactive);
    EXPECT_STREQ(expected.enter_click, actual.enter_click);
    EXPECT_EQ(expected.placement, actual.placement);
}
