// The key modifiers taken from a host's float. This file is built with the
// float-cast-overflow sanitizer: an unguarded conversion of NaN or of a
// value outside int's range ends the test run instead of passing by chance.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "plugin/KeyModifiers.h"

TEST(KeyModifiers, IntegerValuesKeepTheirLowByteOthersMeanNone) {
    const float inf = std::numeric_limits<float>::infinity();
    // truncated; the low byte; -1 as the conversion has always given it
    const std::pair<float, int> rows[] = {{0.0f, 0},    {5.0f, 5},           {8.9f, 8},          {257.0f, 1},
                                          {-1.0f, 255}, {-2147483648.0f, 0}, {std::nanf(""), 0}, {-1e30f, 0},
                                          {1e30f, 0},   {2147483648.0f, 0},  {inf, 0},           {-inf, 0}};
    for (const auto& [opt, expected] : rows) EXPECT_EQ(keyModifiersFromOpt(opt), expected) << opt;
}
