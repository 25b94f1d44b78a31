#include "host/services/dateService.h"

#include "tests/testTimeZone.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>
#include <random>
#include <string>

// HostDateTime is a C record in the global namespace: comparison and printing
// for the assertions live there too.
static bool operator==(const HostDateTime& a, const HostDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

static void PrintTo(const HostDateTime& fields, std::ostream* out) {
    *out << caelo::host::formatDateTime(fields);
}

namespace caelo::host {
namespace {

std::string show(const HostDateTime& fields) {
    return formatDateTime(fields);
}

// One second expressed in days: the tolerance of day-number comparisons.
constexpr double kOneSecondDays = 1.0 / 86400.0;

// The Julian Day Number (the JD at noon) of a proleptic Gregorian date by the
// integer formula of H. F. Fliegel and T. C. Van Flandern, Communications of
// the ACM 11 (1968) 657, with C's truncating division; valid for years after
// -4800. An independent authority for the day count.
std::int64_t fliegelVanFlandern(std::int64_t year, std::int64_t month, std::int64_t day) {
    const std::int64_t a = (month - 14) / 12;
    return day - 32075 + 1461 * (year + 4800 + a) / 4 + 367 * (month - 2 - a * 12) / 12 -
           3 * ((year + 4900 + a) / 100) / 4;
}

using test::TimeZone;

TEST(DateService, DayNumbersMatchPublishedJulianDates) {
    // Day number = Julian Date + 0.5. Sources: J2000.0 = JD 2451545.0 at
    // 2000-01-01 12:00 (IAU 1976); the calendar-date examples of J. Meeus,
    // Astronomical Algorithms, 2nd ed. (1998), chapter 7 (Gregorian dates
    // only); the JD of 1800-01-01, 2050-01-01 and of the Gregorian reform from
    // the same chapter's algorithm; JD 0 = 4714 BC November 24, 12:00
    // (proleptic Gregorian, astronomical year -4713).
    struct Case {
        HostDateTime fields;
        double julianDate;
    };
    const Case cases[] = {
        {{2000, 1, 1, 12, 0, 0}, 2451545.0},     {{2000, 1, 1, 0, 0, 0}, 2451544.5},
        {{1800, 1, 1, 0, 0, 0}, 2378496.5},      {{2050, 1, 1, 0, 0, 0}, 2469807.5},
        {{1957, 10, 4, 19, 26, 24}, 2436116.31}, {{1987, 1, 27, 0, 0, 0}, 2446822.5},
        {{1987, 6, 19, 12, 0, 0}, 2446966.0},    {{1988, 1, 27, 0, 0, 0}, 2447187.5},
        {{1988, 6, 19, 12, 0, 0}, 2447332.0},    {{1900, 1, 1, 0, 0, 0}, 2415020.5},
        {{1600, 1, 1, 0, 0, 0}, 2305447.5},      {{1600, 12, 31, 0, 0, 0}, 2305812.5},
        {{1582, 10, 15, 0, 0, 0}, 2299160.5},    {{1970, 1, 1, 0, 0, 0}, 2440587.5},
        {{-4713, 11, 24, 12, 0, 0}, 0.0},
    };
    for (const Case& c : cases) {
        const double expected = c.julianDate + 0.5;
        EXPECT_NEAR(dateTimeToDayNumber(c.fields), expected, 1e-3 * kOneSecondDays) << show(c.fields);
        EXPECT_EQ(dayNumberToDateTime(expected), c.fields);
    }
}

TEST(DateService, DayCountAgreesWithFliegelVanFlandernEveryMonth) {
    for (std::int32_t year = -4000; year <= 9999; ++year) {
        for (std::int32_t month = 1; month <= 12; ++month) {
            for (std::int32_t day : {1, 28}) {
                const double dayNumber = dateTimeToDayNumber({year, month, day, 0, 0, 0});
                ASSERT_EQ(dayNumber, static_cast<double>(fliegelVanFlandern(year, month, day)))
                    << year << "-" << month << "-" << day;
            }
        }
    }
}

TEST(DateService, DayNumberInvertsToTheSecondOverTheWholeRange) {
    // A grid of calendar days with the seconds of the day where rounding is
    // most delicate, then random seconds between -4000 and 9999.
    const std::int32_t secondsOfDay[] = {0, 1, 43199, 43200, 43201, 86398, 86399};
    for (std::int32_t year = -4000; year <= 9999; year += 7) {
        for (std::int32_t month = 1; month <= 12; ++month) {
            for (std::int32_t second : secondsOfDay) {
                const HostDateTime fields{
                    year,       month, 1 + ((year + month) % 28 + 28) % 28, second / 3600, second / 60 % 60,
                    second % 60};
                ASSERT_EQ(dayNumberToDateTime(dateTimeToDayNumber(fields)), fields) << show(fields);
            }
        }
    }
    const double first = dateTimeToDayNumber({-4000, 1, 1, 0, 0, 0});
    const double last = dateTimeToDayNumber({9999, 12, 31, 23, 59, 59});
    const auto totalSeconds = static_cast<std::int64_t>(std::llround((last - first) * 86400.0));
    std::mt19937_64 random(20240101);
    std::uniform_int_distribution<std::int64_t> pick(0, totalSeconds);
    for (int i = 0; i < 200000; ++i) {
        const std::int64_t offset = pick(random);
        const HostDateTime fields = dayNumberToDateTime(first + static_cast<double>(offset / 86400) +
                                                        static_cast<double>(offset % 86400) / 86400.0);
        const double dayNumber = dateTimeToDayNumber(fields);
        ASSERT_EQ(dayNumberToDateTime(dayNumber), fields) << show(fields);
        ASSERT_NEAR(dayNumber - first, static_cast<double>(offset) * kOneSecondDays, 1e-3 * kOneSecondDays);
    }
}

TEST(DateService, DayNumberWithoutCalendarDateGivesZeroFields) {
    const HostDateTime zero{0, 0, 0, 0, 0, 0};
    for (double dayNumber :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e300}) {
        EXPECT_EQ(dayNumberToDateTime(dayNumber), zero) << dayNumber;
    }
    // Just inside the limit there is still a date.
    EXPECT_NE(dayNumberToDateTime(kMaxDayNumberMagnitude).month, 0);
    // Regression: the zero fields printed as the bogus date 0000-00-00T00:00:00.
    EXPECT_EQ(formatDateTime(zero), kNoDateText);
}

TEST(DateService, FieldsOutsideTheirRangesCarryOver) {
    struct Case {
        HostDateTime given, same;
    };
    const Case cases[] = {
        {{2023, 13, 1, 0, 0, 0}, {2024, 1, 1, 0, 0, 0}}, {{2023, 0, 1, 0, 0, 0}, {2022, 12, 1, 0, 0, 0}},
        {{2023, 2, 29, 0, 0, 0}, {2023, 3, 1, 0, 0, 0}}, {{2024, 3, 1, 0, 0, -1}, {2024, 2, 29, 23, 59, 59}},
        {{2024, 1, 1, 24, 0, 0}, {2024, 1, 2, 0, 0, 0}}, {{2024, -11, 1, 0, 0, 0}, {2023, 1, 1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dateTimeToDayNumber(c.given), dateTimeToDayNumber(c.same)) << show(c.given);
    }
}

TEST(DateService, LocalTimeFollowsTheZoneAndItsDaylightSavingRules) {
    // POSIX rule strings, so that the test needs no zone database: US Eastern
    // time (UTC-5, daylight time UTC-4 from the second Sunday of March to the
    // first Sunday of November) and India (UTC+5:30, no daylight time).
    struct Case {
        const char* zone;
        HostDateTime universal, local;
    };
    const Case cases[] = {
        {"UTC0", {2024, 7, 1, 12, 0, 0}, {2024, 7, 1, 12, 0, 0}},
        {"EST5EDT,M3.2.0,M11.1.0", {2024, 1, 15, 12, 0, 0}, {2024, 1, 15, 7, 0, 0}},
        {"EST5EDT,M3.2.0,M11.1.0", {2024, 7, 15, 12, 0, 0}, {2024, 7, 15, 8, 0, 0}},
        {"EST5EDT,M3.2.0,M11.1.0", {2024, 1, 1, 2, 0, 0}, {2023, 12, 31, 21, 0, 0}},
        // The daylight-time change of 2024-03-10 at 02:00 local standard time.
        {"EST5EDT,M3.2.0,M11.1.0", {2024, 3, 10, 6, 59, 59}, {2024, 3, 10, 1, 59, 59}},
        {"EST5EDT,M3.2.0,M11.1.0", {2024, 3, 10, 7, 0, 0}, {2024, 3, 10, 3, 0, 0}},
        {"IST-5:30", {2024, 12, 31, 20, 0, 0}, {2025, 1, 1, 1, 30, 0}},
    };
    for (const Case& c : cases) {
        const TimeZone zone(c.zone);
        EXPECT_EQ(universalToLocal(c.universal), c.local) << c.zone;
        EXPECT_EQ(localToUniversal(c.local), c.universal) << c.zone;
    }
}

TEST(DateService, ClockSeamDrivesTheCurrentDate) {
    setClock([] { return std::int64_t{951782400}; }); // 2000-02-29 00:00:00 UTC
    EXPECT_EQ(currentDateTime(), (HostDateTime{2000, 2, 29, 0, 0, 0}));
    setClock([] { return std::int64_t{-1}; });
    EXPECT_EQ(currentDateTime(), (HostDateTime{1969, 12, 31, 23, 59, 59}));
    setClock({});
    EXPECT_GE(currentDateTime().year, 2024);
}

TEST(DateService, ParsesAndFormatsDateTexts) {
    struct Case {
        const char* text;
        std::optional<HostDateTime> fields;
    };
    const Case cases[] = {
        {"2024-03-09 07:05:00", HostDateTime{2024, 3, 9, 7, 5, 0}},
        {"2024-03-09T07:05:00", HostDateTime{2024, 3, 9, 7, 5, 0}},
        {"2024-02-29 23:59:59", HostDateTime{2024, 2, 29, 23, 59, 59}},
        {"-4000-01-01T00:00:00", HostDateTime{-4000, 1, 1, 0, 0, 0}},
        {"12345-06-07T08:09:10", HostDateTime{12345, 6, 7, 8, 9, 10}},
        {"2023-02-29 00:00:00", std::nullopt},
        {"1900-02-29 00:00:00", std::nullopt},
        {"2024-13-01 00:00:00", std::nullopt},
        {"2024-00-01 00:00:00", std::nullopt},
        {"2024-04-31 00:00:00", std::nullopt},
        {"2024-01-01 24:00:00", std::nullopt},
        {"2024-01-01 00:60:00", std::nullopt},
        {"2024-01-01 00:00:60", std::nullopt},
        {"2024-01-01", std::nullopt},
        {"2024-01-01 00:00:00 ", std::nullopt},
        {"2024-1-01 00:00:00", std::nullopt},
        {"224-01-01 00:00:00", std::nullopt},
        {"+2024-01-01 00:00:00", std::nullopt},
        {"2024/01/01 00:00:00", std::nullopt},
        {"99999999999-01-01 00:00:00", std::nullopt},
        {"2000000000-01-01 00:00:00", std::nullopt}, // regression: beyond the day numbers converted
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto parsed = parseDateTime(c.text);
        ASSERT_EQ(parsed.has_value(), c.fields.has_value()) << '"' << c.text << '"';
        if (parsed) {
            EXPECT_EQ(*parsed, *c.fields) << c.text;
            EXPECT_EQ(parseDateTime(formatDateTime(*parsed)).value_or(HostDateTime{}), *parsed) << c.text;
        }
    }
    EXPECT_EQ(formatDateTime({2024, 3, 9, 7, 5, 0}), "2024-03-09T07:05:00");
    EXPECT_EQ(formatDateTime({-44, 3, 15, 12, 0, 0}), "-0044-03-15T12:00:00");
}

} // namespace
} // namespace caelo::host
