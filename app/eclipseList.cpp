#include "app/eclipseList.h"

#include "model/units.h"
#include "places/deltaT.h"
#include "places/systemObject.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <string>

namespace caelo::app {

namespace {

using Json = nlohmann::ordered_json;

struct Listed {
    const places::Eclipse& eclipse;
    double deltaT;        // seconds
    std::string greatest; // UT, ISO 8601
};

Listed listed(const places::Eclipse& e) {
    const double deltaT = places::deltaTSecondsAt(e.greatestJulianDateTt);
    // The search keeps its span within the dates the host represents.
    return {e, deltaT, places::universalText(e.greatestJulianDateTt - deltaT / kSecondsPerDay).value_or("")};
}

std::string fixed(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

bool isSolar(const places::Eclipse& e) {
    return e.kind == places::EclipseKind::Solar;
}

std::optional<double> terrestrialInSpan(double universalJulianDate) {
    const double tt = universalJulianDate + places::deltaTSecondsAt(universalJulianDate) / kSecondsPerDay;
    return tt >= places::kEclipseSpanFirstJd && tt <= places::kEclipseSpanLastJd ? std::optional(tt)
                                                                                 : std::nullopt;
}

} // namespace

Json eclipsesToJson(const std::vector<places::Eclipse>& eclipses) {
    Json list = Json::array();
    for (const places::Eclipse& e : eclipses) {
        const Listed l = listed(e);
        Json entry{{"kind", places::kindName(e.kind)},
                   {"type", places::typeName(e.type)},
                   {"greatest", l.greatest},
                   {"magnitude", e.magnitude}};
        if (isSolar(e)) {
            entry["gamma"] = e.gamma;
        } else {
            entry["penumbralMagnitude"] = e.penumbralMagnitude;
        }
        entry["deltaT"] = l.deltaT;
        list.push_back(std::move(entry));
    }
    return Json{{"eclipses", std::move(list)}};
}

void writeEclipses(const std::vector<places::Eclipse>& eclipses, PositionsFormat format, std::ostream& out) {
    switch (format) {
    case PositionsFormat::Json:
        out << eclipsesToJson(eclipses).dump(2) << '\n';
        return;
    case PositionsFormat::Csv:
        out << "kind,type,greatest,magnitude,gamma,penumbral_magnitude,delta_t_s\n";
        for (const places::Eclipse& e : eclipses) {
            const Listed l = listed(e);
            out << places::kindName(e.kind) << ',' << places::typeName(e.type) << ',' << l.greatest << ','
                << fixed(e.magnitude, 4) << ',' << (isSolar(e) ? fixed(e.gamma, 4) : "") << ','
                << (isSolar(e) ? "" : fixed(e.penumbralMagnitude, 4)) << ',' << fixed(l.deltaT, 1) << '\n';
        }
        return;
    case PositionsFormat::Table:
        if (eclipses.empty()) {
            out << "No eclipse in the span.\n";
            return;
        }
        out << std::left << std::setw(7) << "kind" << std::setw(11) << "type" << std::setw(22)
            << "greatest (UT)" << std::right << std::setw(10) << "magnitude" << std::setw(9) << "gamma"
            << std::setw(11) << "penumbral" << '\n';
        for (const places::Eclipse& e : eclipses) {
            const Listed l = listed(e);
            out << std::left << std::setw(7) << places::kindName(e.kind) << std::setw(11)
                << places::typeName(e.type) << std::setw(22) << l.greatest << std::right << std::setw(10)
                << fixed(e.magnitude, 4) << std::setw(9) << (isSolar(e) ? fixed(e.gamma, 4) : "")
                << std::setw(11) << (isSolar(e) ? "" : fixed(e.penumbralMagnitude, 4)) << '\n';
        }
        out << "Delta T (TT - UT) from Espenak and Meeus's expressions: "
            << fixed(listed(eclipses.front()).deltaT, 1) << " s at the first, "
            << fixed(listed(eclipses.back()).deltaT, 1) << " s at the last.\n";
        return;
    }
}

std::optional<places::Eclipse> eclipseUnderWay(double universalJulianDate) {
    const auto tt = terrestrialInSpan(universalJulianDate);
    return tt ? places::eclipseAt(*tt) : std::nullopt;
}

std::optional<places::Eclipse> nextEclipse(double universalJulianDate) {
    const auto tt = terrestrialInSpan(universalJulianDate);
    if (!tt) {
        return std::nullopt;
    }
    const std::vector<places::Eclipse> coming =
        places::findEclipses(*tt, std::min(*tt + kDaysPerJulianYear, places::kEclipseSpanLastJd));
    return coming.empty() ? std::nullopt : std::optional(coming.front());
}

std::string eclipseSentence(const places::Eclipse& eclipse) {
    return std::string(places::typeName(eclipse.type)) + " " + std::string(places::kindName(eclipse.kind)) +
           " eclipse, greatest at " + listed(eclipse).greatest;
}

Json eclipseSummaryJson(const std::optional<places::Eclipse>& eclipse) {
    if (!eclipse) {
        return nullptr;
    }
    return Json{{"kind", places::kindName(eclipse->kind)},
                {"type", places::typeName(eclipse->type)},
                {"greatest", listed(*eclipse).greatest}};
}

} // namespace caelo::app
