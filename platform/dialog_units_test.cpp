// Dialog units to pixels.

#include "platform/dialog_units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using platform::BaseUnits;
using platform::BaseUnitsOf;
using platform::MapDialogRect;

TEST(DialogUnits, BaseUnitsRoundTheAverageLetterWidth) {
    EXPECT_EQ(BaseUnitsOf(26 * 6, 13).x, 3);     // 6 / 2
    EXPECT_EQ(BaseUnitsOf(26 * 7, 13).x, 4);     // 3.5 rounds up
    EXPECT_EQ(BaseUnitsOf(26 * 7 - 1, 13).x, 3); // just under 7 per letter
    EXPECT_EQ(BaseUnitsOf(26 * 12, 15).y, 15);
}

TEST(DialogUnits, EveryValueRoundsToTheNearestPixel) {
    EXPECT_EQ(MapDialogRect({6, 13}, 2, 3, 5, 4), QRect(3, 5, 8, 7));
    std::mt19937 random(3);
    const auto expected = [](int value, int base, int per) {
        // Halves away from zero.
        return int(std::lround(double(value) * base / per));
    };
    for (int round = 0; round < 2000; ++round) {
        const BaseUnits units{int(random() % 20) + 1, int(random() % 30) + 1};
        const int x = int(random() % 2001) - 1000;
        const int y = int(random() % 2001) - 1000;
        const int w = int(random() % 1000);
        const int h = int(random() % 1000);
        const QRect r = MapDialogRect(units, x, y, w, h);
        ASSERT_EQ(r.x(), expected(x, units.x, 4));
        ASSERT_EQ(r.y(), expected(y, units.y, 8));
        ASSERT_EQ(r.width(), expected(w, units.x, 4));
        ASSERT_EQ(r.height(), expected(h, units.y, 8));
    }
}

} // namespace
