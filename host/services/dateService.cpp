#include "host/services/dateService.h"

#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <utility>

namespace caelo::host {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kSecondsPerHour = 3600;
constexpr std::int64_t kSecondsPerMinute = 60;
constexpr std::int64_t kMonthsPerYear = 12;
// Day number of 1970-01-01 00:00, the zero of the system clock.
constexpr std::int64_t kUnixEpochDayNumber = 2440588;
// The C library's struct tm counts years from 1900.
constexpr std::int64_t kTmYearBase = 1900;

Clock& clockSlot() {
    static Clock clock;
    return clock;
}

std::int64_t systemSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    return a - floorDiv(a, b) * b;
}

// Days from 1970-01-01 to the first day of a month, in the proleptic Gregorian
// calendar; month is 1 to 12. Algorithm `days_from_civil` of H. Hinnant,
// "chrono-Compatible Low-Level Date Algorithms" (2013), which counts in
// 400-year eras and so holds for negative years too.
std::int64_t daysFromCivil(std::int64_t year, std::int64_t month) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = floorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;                                    // [0, 399]
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5; // [0, 365]
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    std::int64_t year, month, day;
};

// The inverse of `daysFromCivil`: algorithm `civil_from_days` of the same
// paper.
CivilDate civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = floorDiv(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097; // [0, 146096]
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365; // [0, 399]
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153; // [0, 11], March first
    const std::int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const std::int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// Seconds since 1970-01-01 00:00 of calendar fields taken as universal time;
// fields outside their ranges carry over.
std::int64_t secondsSinceUnixEpoch(const HostDateTime& fields) {
    const std::int64_t monthIndex = std::int64_t{fields.month} - 1;
    const std::int64_t year = fields.year + floorDiv(monthIndex, kMonthsPerYear);
    const std::int64_t month = floorMod(monthIndex, kMonthsPerYear) + 1;
    const std::int64_t days = daysFromCivil(year, month) + (std::int64_t{fields.day} - 1);
    return days * kSecondsPerDay + fields.hour * kSecondsPerHour + fields.minute * kSecondsPerMinute +
           fields.second;
}

HostDateTime fieldsFromDayAndSecond(std::int64_t daysSinceUnixEpoch, std::int64_t secondOfDay) {
    const CivilDate date = civilFromDays(daysSinceUnixEpoch);
    return {static_cast<std::int32_t>(date.year),
            static_cast<std::int32_t>(date.month),
            static_cast<std::int32_t>(date.day),
            static_cast<std::int32_t>(secondOfDay / kSecondsPerHour),
            static_cast<std::int32_t>(secondOfDay % kSecondsPerHour / kSecondsPerMinute),
            static_cast<std::int32_t>(secondOfDay % kSecondsPerMinute)};
}

HostDateTime fieldsFromUnixSeconds(std::int64_t seconds) {
    return fieldsFromDayAndSecond(floorDiv(seconds, kSecondsPerDay), floorMod(seconds, kSecondsPerDay));
}

bool fitsStructTm(std::int64_t year) {
    return year - kTmYearBase >= INT_MIN && year - kTmYearBase <= INT_MAX;
}

bool isLeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int32_t daysInMonth(std::int64_t year, std::int32_t month) {
    constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads exactly `width` decimal digits at `position`, advancing it.
std::optional<std::int32_t> readDigits(std::string_view text, std::size_t& position, std::size_t width) {
    if (position + width > text.size()) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const char c = text[position + i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    position += width;
    return value;
}

bool readChar(std::string_view text, std::size_t& position, char expected) {
    if (position >= text.size() || text[position] != expected) {
        return false;
    }
    ++position;
    return true;
}

} // namespace

void setClock(Clock clock) {
    clockSlot() = std::move(clock);
}

HostDateTime currentDateTime() {
    const Clock& clock = clockSlot();
    return fieldsFromUnixSeconds(clock ? clock() : systemSeconds());
}

HostDateTime universalToLocal(HostDateTime universal) {
    const std::int64_t seconds = secondsSinceUnixEpoch(universal);
    if (seconds < std::numeric_limits<std::time_t>::min() ||
        seconds > std::numeric_limits<std::time_t>::max()) {
        return universal;
    }
    const auto moment = static_cast<std::time_t>(seconds);
    std::tm local{};
    tzset(); // localtime_r need not re-read TZ by itself
    if (localtime_r(&moment, &local) == nullptr) {
        return universal;
    }
    return {static_cast<std::int32_t>(local.tm_year + kTmYearBase),
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec};
}

HostDateTime localToUniversal(HostDateTime local) {
    // Normalise first so that every field fits struct tm.
    const std::int64_t seconds = secondsSinceUnixEpoch(local);
    const CivilDate date = civilFromDays(floorDiv(seconds, kSecondsPerDay));
    const std::int64_t secondOfDay = floorMod(seconds, kSecondsPerDay);
    if (!fitsStructTm(date.year)) {
        return local;
    }
    std::tm fields{};
    fields.tm_year = static_cast<int>(date.year - kTmYearBase);
    fields.tm_mon = static_cast<int>(date.month - 1);
    fields.tm_mday = static_cast<int>(date.day);
    fields.tm_hour = static_cast<int>(secondOfDay / kSecondsPerHour);
    fields.tm_min = static_cast<int>(secondOfDay % kSecondsPerHour / kSecondsPerMinute);
    fields.tm_sec = static_cast<int>(secondOfDay % kSecondsPerMinute);
    fields.tm_isdst = -1; // let the zone's rules decide
    fields.tm_wday = -1;  // mktime sets it on success; -1 is also a valid answer
    tzset();
    const std::time_t moment = std::mktime(&fields);
    if (moment == static_cast<std::time_t>(-1) && fields.tm_wday == -1) {
        return local;
    }
    return fieldsFromUnixSeconds(moment);
}

double dateTimeToDayNumber(HostDateTime fields) {
    const std::int64_t seconds = secondsSinceUnixEpoch(fields);
    const std::int64_t day = floorDiv(seconds, kSecondsPerDay) + kUnixEpochDayNumber;
    const std::int64_t secondOfDay = floorMod(seconds, kSecondsPerDay);
    return static_cast<double>(day) + static_cast<double>(secondOfDay) / static_cast<double>(kSecondsPerDay);
}

HostDateTime dayNumberToDateTime(double dayNumber) {
    if (!std::isfinite(dayNumber) || std::fabs(dayNumber) > kMaxDayNumberMagnitude) {
        return {0, 0, 0, 0, 0, 0};
    }
    // Splitting off the whole days first is exact and keeps the full precision
    // of the fraction for the rounding to the nearest second.
    const double wholeDays = std::floor(dayNumber);
    auto day = static_cast<std::int64_t>(wholeDays);
    std::int64_t secondOfDay = std::llround((dayNumber - wholeDays) * static_cast<double>(kSecondsPerDay));
    if (secondOfDay == kSecondsPerDay) {
        ++day;
        secondOfDay = 0;
    }
    return fieldsFromDayAndSecond(day - kUnixEpochDayNumber, secondOfDay);
}

std::optional<HostDateTime> parseDateTime(std::string_view text) {
    std::size_t position = 0;
    const bool negativeYear = readChar(text, position, '-');
    const std::size_t yearEnd = text.find('-', position);
    if (yearEnd == std::string_view::npos || yearEnd - position < 4) {
        return std::nullopt;
    }
    std::int64_t year = 0;
    const auto [end, error] = std::from_chars(text.data() + position, text.data() + yearEnd, year);
    if (error != std::errc{} || end != text.data() + yearEnd || text[position] == '+' ||
        text[position] == '-') {
        return std::nullopt;
    }
    year = negativeYear ? -year : year;
    if (year < INT32_MIN || year > INT32_MAX) {
        return std::nullopt;
    }
    position = yearEnd + 1;
    const auto month = readDigits(text, position, 2);
    const bool dayDash = readChar(text, position, '-');
    const auto day = readDigits(text, position, 2);
    const bool separator = readChar(text, position, ' ') || readChar(text, position, 'T');
    const auto hour = readDigits(text, position, 2);
    const bool colon1 = readChar(text, position, ':');
    const auto minute = readDigits(text, position, 2);
    const bool colon2 = readChar(text, position, ':');
    const auto second = readDigits(text, position, 2);
    if (!month || !dayDash || !day || !separator || !hour || !colon1 || !minute || !colon2 || !second ||
        position != text.size()) {
        return std::nullopt;
    }
    const HostDateTime fields{static_cast<std::int32_t>(year), *month, *day, *hour, *minute, *second};
    if (!isRepresentableDate(fields)) {
        return std::nullopt;
    }
    return fields;
}

bool isRepresentableDate(HostDateTime fields) {
    const bool calendarDate = fields.month >= 1 && fields.month <= kMonthsPerYear && fields.day >= 1 &&
                              fields.day <= daysInMonth(fields.year, fields.month) && fields.hour >= 0 &&
                              fields.hour <= 23 && fields.minute >= 0 && fields.minute <= 59 &&
                              fields.second >= 0 && fields.second <= 59;
    return calendarDate && std::fabs(dateTimeToDayNumber(fields)) <= kMaxDayNumberMagnitude;
}

std::string representableDatesText() {
    return "from " + formatDateTime(dayNumberToDateTime(-kMaxDayNumberMagnitude)) + " to " +
           formatDateTime(dayNumberToDateTime(kMaxDayNumberMagnitude));
}

std::string formatDateTime(HostDateTime fields) {
    if (!isRepresentableDate(fields)) {
        return std::string(kNoDateText);
    }
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%s%04lld-%02d-%02dT%02d:%02d:%02d",
                                     fields.year < 0 ? "-" : "", std::llabs(std::int64_t{fields.year}),
                                     fields.month, fields.day, fields.hour, fields.minute, fields.second);
    return {buffer, static_cast<std::size_t>(length)};
}

} // namespace caelo::host
