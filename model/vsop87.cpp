#include "model/vsop87.h"

#include "model/units.h"

#include <cmath>

namespace caelo {

namespace {

constexpr double kDaysPerJulianMillennium = 10.0 * kDaysPerJulianCentury;
constexpr int32_t kCoordinates = 3;

} // namespace

std::array<double, 3> Vsop87Place(Vsop87Planet planet, double julianDateTt) {
    const double t = (julianDateTt - kJulianDateJ2000) / kDaysPerJulianMillennium;
    std::array<double, kCoordinates> lbr{};
    for (std::size_t s = 0; s < kVsop87SeriesCount; ++s) {
        const Vsop87Series& series = kVsop87Series[s];
        if (series.planet != static_cast<int32_t>(planet)) {
            continue;
        }
        double sum = 0.0;
        for (std::size_t i = series.first; i < series.first + series.count; ++i) {
            const Vsop87Term& term = kVsop87Terms[i];
            sum += term.amplitude * std::cos(term.phase + term.frequency * t);
        }
        lbr[static_cast<std::size_t>(series.coordinate)] += std::pow(t, series.power) * sum;
    }
    const auto [l, b, r] = lbr;
    return {r * std::cos(b) * std::cos(l), r * std::cos(b) * std::sin(l), r * std::sin(b)};
}

} // namespace caelo
