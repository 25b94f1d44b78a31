#include "app/commandError.h"
#include "app/isoDate.h"
#include "fuzz/fuzzReport.h"
#include "fuzz/parserChecks.h"
#include "host/services/dateService.h"
#include "places/systemObject.h"

#include <cmath>
#include <string>

namespace caelo::fuzz {

namespace {

using namespace caelo::host;

bool sameFields(const HostDateTime& a, const HostDateTime& b) {
    return DateTime{a} == DateTime{b};
}

} // namespace

void requireDateRoundTrips(std::string_view stage, const HostDateTime& fields) {
    if (!isRepresentableDate(fields)) {
        reportBroken(stage, "accepted " + formatDateTime(fields) + ", which is no representable date");
    }
    const std::string text = formatDateTime(fields);
    const std::optional<HostDateTime> reread = parseDateTime(text);
    if (!reread || !sameFields(*reread, fields)) {
        reportBroken(stage, "the text " + text + " does not read back to the same date");
    }
    if (!sameFields(dayNumberToDateTime(dateTimeToDayNumber(fields)), fields)) {
        reportBroken(stage, "the day number of " + text + " does not give the same date back");
    }
}

namespace {

void checkHostText(std::string_view text) {
    if (const std::optional<HostDateTime> fields = parseDateTime(text)) {
        requireDateRoundTrips("parseDateTime", *fields);
    }
}

void checkIsoText(std::string_view text) {
    app::IsoMoment moment;
    try {
        moment = app::parseIsoMoment(text);
    } catch (const app::CommandError&) {
        return;
    }
    requireDateRoundTrips("parseIsoMoment", moment.fields);
    const double julianDate = app::universalJulianDate(moment);
    if (!std::isfinite(julianDate) || !places::universalText(julianDate)) {
        reportBroken("universalJulianDate", "the moment of '" + std::string(text) + "' has no date");
    }
}

// Any day number gives either a representable date or the all-zero fields,
// which print as no date.
void checkDayNumber(double dayNumber) {
    const HostDateTime fields = dayNumberToDateTime(dayNumber);
    if (isRepresentableDate(fields)) {
        requireDateRoundTrips("dayNumberToDateTime", fields);
    } else if (formatDateTime(fields) != kNoDateText) {
        reportBroken("formatDateTime", "printed " + formatDateTime(fields) + " for no date");
    }
}

} // namespace

void checkDates(Input input) {
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    checkHostText(text);
    checkIsoText(text);
    checkDayNumber(frontAs<double>(input));
}

} // namespace caelo::fuzz
