// Delta T from Espenak and Meeus's expressions: each meets the next at their
// common year (a slip in a typed coefficient shows as a jump), and they give
// the measured values (IERS, as tabulated by Espenak and Meeus 2006, Table
// 2.1) within a second.
#include "places/deltaT.h"

#include <cmath>
#include <gtest/gtest.h>

namespace caelo::places {
namespace {

TEST(DeltaT, ExpressionsMeetAndFollowTheMeasuredValues) {
    constexpr double kJustBefore = 1e-9;
    for (const double year :
         {1700.0, 1800.0, 1860.0, 1900.0, 1920.0, 1941.0, 1961.0, 1986.0, 2005.0, 2050.0, 2150.0}) {
        EXPECT_NEAR(deltaTSeconds(year - kJustBefore), deltaTSeconds(year), 1.0) << year;
    }
    struct Measured {
        double year, seconds;
    };
    for (const Measured& m : {Measured{1900.0, -2.7}, Measured{1920.0, 21.2}, Measured{1950.0, 29.1},
                              Measured{1980.0, 50.5}, Measured{2000.0, 63.8}, Measured{2005.0, 64.7}}) {
        EXPECT_NEAR(deltaTSeconds(m.year), m.seconds, 1.0) << m.year;
    }
    EXPECT_DOUBLE_EQ(deltaTSecondsAt(2451545.0), deltaTSeconds(2000.0));
    EXPECT_TRUE(std::isnan(deltaTSeconds(NAN)));
}

} // namespace
} // namespace caelo::places
