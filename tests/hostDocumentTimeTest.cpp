// The exact document time.
#include "host/documentTime.h"
#include "host/services/hostError.h"

#include <cmath>
#include <gtest/gtest.h>

namespace caelo::host {
namespace {

TEST(HostTime, SecondsBecomeAnExactFraction) {
    struct Case {
        double seconds;
        DocumentTime want;
    };
    const Case cases[] = {
        {0.0, {0, 1}}, {1.5, {3, 2}}, {-2.25, {-9, 4}}, {3.0, {3, 1}}, {1024.0, {1024, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DocumentTime::fromSeconds(c.seconds), c.want) << c.seconds;
    }
    for (const double s : {0.1, 1.0 / 3.0, 86400.123456789, -7.7}) {
        EXPECT_EQ(DocumentTime::fromSeconds(s).seconds(), s) << "reads back to the same double";
    }
    EXPECT_THROW(static_cast<void>(DocumentTime::fromSeconds(std::nan(""))), HostError);
    EXPECT_THROW(static_cast<void>(DocumentTime::fromSeconds(1e300)), HostError);
    EXPECT_EQ((DocumentTime{5, 0}).seconds(), 0.0) << "a zero denominator counts as time 0";
}

} // namespace
} // namespace caelo::host
