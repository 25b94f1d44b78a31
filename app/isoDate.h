// Dates typed on the command line, in ISO 8601 form.
#ifndef CAELO_APP_ISO_DATE_H
#define CAELO_APP_ISO_DATE_H

#include "interface/hostInterface.h"

#include <optional>
#include <string_view>

namespace caelo::app {

// A moment as written: calendar fields (proleptic Gregorian), a fraction of a
// second and the zone it was written in.
struct IsoMoment {
    HostDateTime fields{};
    double fractionSeconds = 0.0;           // in [0, 1)
    std::optional<int> zoneOffsetMinutes{}; // east of Greenwich; nothing: local time
};

// Reads a date or a date and time:
//   YYYY-MM-DD                          midnight, local time
//   YYYY-MM-DDThh:mm[:ss[.f...]][zone]  zone: Z, +hh:mm, -hh:mm, +hhmm or -hhmm;
//                                       without one, local time
// Fields are checked against their ranges (month 01-12, a day of that month,
// hour 00-23, minute and second 00-59, zone hour 00-23 and minute 00-59).
// Throws CommandError "date '<text>': <what is wrong>" for any other text.
// Example: parseIsoMoment("2026-12-08T18:30:00+01:00") gives the fields
// 2026-12-08 18:30:00 with a zone offset of 60 minutes.
[[nodiscard]] IsoMoment parseIsoMoment(std::string_view text);

// The moment's Julian Date in universal time (days). A moment without a zone
// is local time in the zone of the TZ variable, as the host's date service
// converts it (a local time that a daylight-saving change skips or repeats
// resolves as the C library's mktime does).
// Example: universalJulianDate(parseIsoMoment("2000-01-01T12:00Z")) == 2451545.0.
[[nodiscard]] double universalJulianDate(const IsoMoment& moment);

} // namespace caelo::app

#endif
