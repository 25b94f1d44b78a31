#include "app/isoDate.h"

#include "app/commandError.h"
#include "host/services/dateService.h"
#include "host/services/displayText.h"
#include "model/units.h"

#include <cstddef>
#include <string>

namespace caelo::app {
namespace {

constexpr std::size_t kMaxFractionDigits = 9;
constexpr int kMinutesPerHour = 60;

constexpr const char* kExpectedShape = "expected YYYY-MM-DD or YYYY-MM-DDThh:mm[:ss[.fff]] with an optional "
                                       "zone Z, +hh:mm or +hhmm";

// Reads the text left to right; every read answers nothing and consumes
// nothing when the text does not match.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    // Exactly `width` decimal digits.
    std::optional<int> digits(std::size_t width) {
        if (position_ + width > text_.size()) {
            return std::nullopt;
        }
        int value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const char c = text_[position_ + i];
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
        position_ += width;
        return value;
    }

    // One to kMaxFractionDigits digits as the fraction they write after a
    // decimal point.
    std::optional<double> fraction() {
        double value = 0.0;
        double scale = 1.0;
        std::size_t count = 0;
        while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9') {
            scale /= 10.0;
            value += (text_[position_] - '0') * scale;
            ++position_;
            ++count;
        }
        if (count == 0 || count > kMaxFractionDigits) {
            return std::nullopt;
        }
        return value;
    }

    bool take(char expected) {
        if (position_ >= text_.size() || text_[position_] != expected) {
            return false;
        }
        ++position_;
        return true;
    }

    [[nodiscard]] bool atEnd() const { return position_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

[[noreturn]] void reject(std::string_view text, const std::string& problem) {
    throw CommandError("date " + host::quotedExcerpt(text) + ": " + problem);
}

// "must be 01 to 12" style range check of one field.
void requireRange(std::string_view text, const char* field, int value, int low, int high) {
    if (value < low || value > high) {
        const auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
        reject(text, std::string(field) + " " + twoDigits(value) + " is not between " + twoDigits(low) +
                         " and " + twoDigits(high));
    }
}

int daysInMonth(int year, int month) {
    const double first = host::dateTimeToDayNumber({year, month, 1, 0, 0, 0});
    const double next = host::dateTimeToDayNumber({year, month + 1, 1, 0, 0, 0});
    return static_cast<int>(next - first);
}

// The zone after the time: nothing (local time), Z, or a signed offset.
std::optional<int> readZone(Cursor& cursor, std::string_view text) {
    if (cursor.take('Z')) {
        return 0;
    }
    const bool east = cursor.take('+');
    if (!east && !cursor.take('-')) {
        return std::nullopt;
    }
    const auto hours = cursor.digits(2);
    cursor.take(':'); // +hh:mm and +hhmm alike
    const auto minutes = cursor.digits(2);
    if (!hours || !minutes) {
        reject(text, kExpectedShape);
    }
    requireRange(text, "the zone's hour", *hours, 0, 23);
    requireRange(text, "the zone's minute", *minutes, 0, kMinutesPerHour - 1);
    const int offset = *hours * kMinutesPerHour + *minutes;
    return east ? offset : -offset;
}

} // namespace

IsoMoment parseIsoMoment(std::string_view text) {
    Cursor cursor(text);
    IsoMoment moment;
    HostDateTime& f = moment.fields;
    const auto year = cursor.digits(4);
    const bool dash1 = cursor.take('-');
    const auto month = cursor.digits(2);
    const bool dash2 = cursor.take('-');
    const auto day = cursor.digits(2);
    if (!year || !dash1 || !month || !dash2 || !day) {
        reject(text, kExpectedShape);
    }
    f.year = *year;
    f.month = *month;
    f.day = *day;
    if (!cursor.atEnd()) {
        const bool separator = cursor.take('T');
        const auto hour = cursor.digits(2);
        const bool colon = cursor.take(':');
        const auto minute = cursor.digits(2);
        if (!separator || !hour || !colon || !minute) {
            reject(text, kExpectedShape);
        }
        f.hour = *hour;
        f.minute = *minute;
        if (cursor.take(':')) {
            const auto second = cursor.digits(2);
            if (!second) {
                reject(text, kExpectedShape);
            }
            f.second = *second;
            if (cursor.take('.')) {
                const auto fraction = cursor.fraction();
                if (!fraction) {
                    reject(text, "a fraction of a second needs 1 to " + std::to_string(kMaxFractionDigits) +
                                     " digits after the point");
                }
                moment.fractionSeconds = *fraction;
            }
        }
        moment.zoneOffsetMinutes = readZone(cursor, text);
        if (!cursor.atEnd()) {
            reject(text, kExpectedShape);
        }
    }
    requireRange(text, "month", f.month, 1, 12);
    if (const int days = daysInMonth(f.year, f.month); f.day < 1 || f.day > days) {
        reject(text, "day " + std::to_string(f.day) + " is not in " + std::string(text.substr(0, 7)) +
                         ", which has " + std::to_string(days) + " days");
    }
    requireRange(text, "hour", f.hour, 0, 23);
    requireRange(text, "minute", f.minute, 0, 59);
    requireRange(text, "second", f.second, 0, 59);
    return moment;
}

double universalJulianDate(const IsoMoment& moment) {
    double dayNumber = 0.0;
    if (moment.zoneOffsetMinutes) {
        dayNumber = host::dateTimeToDayNumber(moment.fields) - *moment.zoneOffsetMinutes / kMinutesPerDay;
    } else {
        dayNumber = host::dateTimeToDayNumber(host::localToUniversal(moment.fields));
    }
    return dayNumber + moment.fractionSeconds / kSecondsPerDay - kDayNumberToJulianDate;
}

} // namespace caelo::app
