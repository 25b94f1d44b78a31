// Dates typed on the command line: the forms and zones that are read, local
// time through a fixed TZ, and the texts that are refused with their reason.
#include "app/isoDate.h"

#include "app/commandError.h"
#include "tests/testTimeZone.h"

#include <gtest/gtest.h>
#include <string>

namespace caelo::app {
namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kOneMillisecondDays = 1e-3 / 86400.0;

TEST(IsoDate, EveryFormReadsToTheSameUniversalMoment) {
    const test::TimeZone zone("IST-5:30"); // India: 5 h 30 min east, no daylight saving
    struct Case {
        const char* text;
        double julianDate;
    };
    const Case cases[] = {
        {"2000-01-01T12:00:00Z", kJ2000},
        {"2000-01-01T12:00Z", kJ2000},
        {"2000-01-01T13:00:00+01:00", kJ2000},
        {"2000-01-01T13:00+0100", kJ2000},
        {"2000-01-01T07:30-04:30", kJ2000},
        {"2000-01-01T17:30", kJ2000},    // local time
        {"2000-01-01T17:30:00", kJ2000}, // local time
        {"2000-01-01T12:00:00.5Z", kJ2000 + 0.5 / 86400.0},
        {"2000-01-01T12:00:59.999Z", kJ2000 + 59.999 / 86400.0},
        {"2000-01-02", kJ2000 + 0.5 - 5.5 / 24.0}, // local midnight
        {"2000-02-29T12:00Z", kJ2000 + 59.0},      // a leap day
        {"1999-12-31T23:59:59-12:00", kJ2000 - 1.0 / 86400.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(universalJulianDate(parseIsoMoment(c.text)), c.julianDate, kOneMillisecondDays) << c.text;
    }
}

TEST(IsoDate, LocalTimeFollowsTheDaylightSavingRulesOfTheDate) {
    const test::TimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3"); // central Europe
    // 2026-07-01 12:00 local is summer time (UT + 2 h), 2026-12-01 12:00 winter time (UT + 1 h).
    EXPECT_NEAR(universalJulianDate(parseIsoMoment("2026-07-01T12:00")),
                universalJulianDate(parseIsoMoment("2026-07-01T10:00Z")), kOneMillisecondDays);
    EXPECT_NEAR(universalJulianDate(parseIsoMoment("2026-12-01T12:00")),
                universalJulianDate(parseIsoMoment("2026-12-01T11:00Z")), kOneMillisecondDays);
}

TEST(IsoDate, RefusesOtherTextsNamingTheTextAndTheFault) {
    struct Case {
        const char* text;
        const char* reason; // a part of the message
    };
    const Case cases[] = {
        {"", "expected YYYY-MM-DD"},
        {"tomorrow", "expected YYYY-MM-DD"},
        {"2026-1-08", "expected YYYY-MM-DD"},
        {"26-12-08", "expected YYYY-MM-DD"},
        {"2026-12-08 18:30", "expected YYYY-MM-DD"},
        {"2026-12-08T18", "expected YYYY-MM-DD"},
        {"2026-12-08T18:30:5", "expected YYYY-MM-DD"},
        {"2026-12-08Z", "expected YYYY-MM-DD"},
        {"2026-12-08T18:30+01", "expected YYYY-MM-DD"},
        {"2026-12-08T18:30:00ZZ", "expected YYYY-MM-DD"},
        {"2026-12-08T18:30:00.", "1 to 9 digits"},
        {"2026-12-08T18:30:00.1234567891", "1 to 9 digits"},
        {"2026-00-08", "month 00 is not between 01 and 12"},
        {"2026-13-08", "month 13 is not between 01 and 12"},
        {"2026-12-00", "day 0 is not in 2026-12"},
        {"2026-02-29", "day 29 is not in 2026-02, which has 28 days"},
        {"2100-02-29", "which has 28 days"}, // not a leap year
        {"2026-04-31", "which has 30 days"},
        {"2026-12-08T24:00", "hour 24 is not between 00 and 23"},
        {"2026-12-08T18:60", "minute 60 is not between 00 and 59"},
        {"2026-12-08T18:30:60Z", "second 60 is not between 00 and 59"},
        {"2026-12-08T18:30+24:00", "the zone's hour 24"},
        {"2026-12-08T18:30-0160", "the zone's minute 60"},
    };
    for (const Case& c : cases) {
        try {
            (void)parseIsoMoment(c.text);
            ADD_FAILURE() << "read '" << c.text << "'";
        } catch (const CommandError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("date '" + std::string(c.text) + "': ", 0), 0u) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
}

} // namespace
} // namespace caelo::app
