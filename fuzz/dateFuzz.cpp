// Fuzzes dates: the host's date texts, the command line's ISO 8601 dates, day
// numbers and calendar fields typed into a system's epoch. Whatever is
// accepted must be a date the date service represents, must print as a date
// and read back from its text and its day number to the same fields; whatever
// the service cannot represent must be refused, and no print may show a date
// that is none.
#include "app/console.h"
#include "app/isoDate.h"
#include "fuzz/fuzzHost.h"
#include "host/application.h"
#include "host/container.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "host/services/dateService.h"
#include "host/services/hostError.h"
#include "places/systemObject.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

using namespace caelo;
using namespace caelo::host;

bool sameFields(const HostDateTime& a, const HostDateTime& b) {
    return DateTime{a} == DateTime{b};
}

// A representable date prints as a date that reads back to the same fields,
// through its text and through its day number.
void requireRoundTrips(std::string_view stage, const HostDateTime& fields) {
    if (!isRepresentableDate(fields)) {
        fuzz::reportBroken(stage, "accepted " + formatDateTime(fields) + ", which is no representable date");
    }
    const std::string text = formatDateTime(fields);
    const std::optional<HostDateTime> reread = parseDateTime(text);
    if (!reread || !sameFields(*reread, fields)) {
        fuzz::reportBroken(stage, "the text " + text + " does not read back to the same date");
    }
    if (!sameFields(dayNumberToDateTime(dateTimeToDayNumber(fields)), fields)) {
        fuzz::reportBroken(stage, "the day number of " + text + " does not give the same date back");
    }
}

void checkHostText(std::string_view text) {
    if (const std::optional<HostDateTime> fields = parseDateTime(text)) {
        requireRoundTrips("parseDateTime", *fields);
    }
}

void checkIsoText(std::string_view text) {
    app::IsoMoment moment;
    try {
        moment = app::parseIsoMoment(text);
    } catch (const app::CommandError&) {
        return;
    }
    requireRoundTrips("parseIsoMoment", moment.fields);
    const double julianDate = app::universalJulianDate(moment);
    if (!std::isfinite(julianDate) || !places::universalText(julianDate)) {
        fuzz::reportBroken("universalJulianDate", "the moment of '" + std::string(text) + "' has no date");
    }
}

// Any day number gives either a representable date or the all-zero fields,
// which print as no date.
void checkDayNumber(double dayNumber) {
    const HostDateTime fields = dayNumberToDateTime(dayNumber);
    if (isRepresentableDate(fields)) {
        requireRoundTrips("dayNumberToDateTime", fields);
    } else if (formatDateTime(fields) != kNoDateText) {
        fuzz::reportBroken("formatDateTime", "printed " + formatDateTime(fields) + " for no date");
    }
}

// Calendar fields as a user's edit of a system's epoch: refused, or stored
// as a representable date.
void checkEpochEdit(const HostDateTime& fields) {
    Document& document = application().newDocument();
    Node& system = createObject(application(), kTypeCaeloSystem);
    appendChild(document, system, nullptr);
    try {
        editParameter(system, OCAELOSYSTEM_EPOCH, DateTime{fields});
    } catch (const HostError&) {
        return;
    }
    const std::optional<HostDateTime> stored = system.parameters.getDateTime(OCAELOSYSTEM_EPOCH);
    if (!stored) {
        fuzz::reportBroken("epoch edit", "the accepted epoch is not stored");
    }
    requireRoundTrips("epoch edit", *stored);
    fuzz::requireSound(document, "scene after an epoch edit");
}

template <typename T> T readFront(const std::uint8_t* data, std::size_t size) {
    T value{};
    std::memcpy(&value, data, std::min(size, sizeof value));
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startHost();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkHostText(text);
    checkIsoText(text);
    checkDayNumber(readFront<double>(data, size));
    checkEpochEdit(readFront<HostDateTime>(data, size));
    return 0;
}
