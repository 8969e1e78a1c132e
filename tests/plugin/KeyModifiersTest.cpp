// The key modifiers taken from a host's float. This file is built with the
// float-cast-overflow sanitizer: an unguarded conversion of NaN or of a
// value outside int's range ends the test run instead of passing by chance.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plugin/KeyModifiers.h"

TEST(KeyModifiers, IntegerValuesKeepTheirLowByteOthersMeanNone) {
    EXPECT_EQ(keyModifiersFromOpt(0.0f), 0);
    EXPECT_EQ(keyModifiersFromOpt(5.0f), 5);
    EXPECT_EQ(keyModifiersFromOpt(8.9f), 8);    // truncated
    EXPECT_EQ(keyModifiersFromOpt(257.0f), 1);  // low byte
    EXPECT_EQ(keyModifiersFromOpt(-1.0f), 255); // as the conversion has always given
    EXPECT_EQ(keyModifiersFromOpt(-2147483648.0f), 0);
    EXPECT_EQ(keyModifiersFromOpt(std::nanf("")), 0);
    EXPECT_EQ(keyModifiersFromOpt(-1e30f), 0);
    EXPECT_EQ(keyModifiersFromOpt(1e30f), 0);
    EXPECT_EQ(keyModifiersFromOpt(2147483648.0f), 0);
    EXPECT_EQ(keyModifiersFromOpt(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(keyModifiersFromOpt(-std::numeric_limits<float>::infinity()), 0);
}
