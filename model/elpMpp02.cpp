#include "model/elpMpp02.h"

#include "model/units.h"

#include <cmath>

namespace caelo {

namespace {

constexpr double kRadiansPerArcsecond = kRadiansPerDegree / 3600.0;
constexpr int32_t kMeanLongitude = 3;

// Laskar's precession quantities P and Q (ELP/MPP02's documentation), as
// polynomials in T from T^1 up.
constexpr std::array<double, 5> kP{0.10180391e-4, 0.47020439e-6, -0.5417367e-9, -0.2507948e-11, 0.463486e-14};
constexpr std::array<double, 5> kQ{-0.113469002e-3, 0.12372674e-6, 0.1265417e-8, -0.1371808e-11,
                                   -0.320334e-14};

double polynomialFromT(const std::array<double, 5>& coefficients, double t) {
    double sum = 0.0;
    for (auto c = coefficients.rbegin(); c != coefficients.rend(); ++c) {
        sum = (sum + *c) * t;
    }
    return sum;
}

} // namespace

std::array<double, 3> MoonPlace(double julianDateTt) {
    const double t = (julianDateTt - kJulianDateJ2000) / kDaysPerJulianCentury;
    std::array<double, 4> sums{}; // L, B (arcsec), R (km), W1 (rad)
    for (std::size_t s = 0; s < kElpMpp02SeriesCount; ++s) {
        const ElpMpp02Series& series = kElpMpp02Series[s];
        double sum = 0.0;
        for (std::size_t i = series.first; i < series.first + series.count; ++i) {
            const ElpMpp02Term& term = kElpMpp02Terms[i];
            if (series.coordinate == kMeanLongitude) {
                sum += term.amplitude;
                continue;
            }
            sum += term.amplitude *
                   std::sin(term.f0 + t * (term.f1 + t * (term.f2 + t * (term.f3 + t * term.f4))));
        }
        sums[static_cast<std::size_t>(series.coordinate)] += std::pow(t, series.power) * sum;
    }
    const double longitude = sums[3] + sums[0] * kRadiansPerArcsecond;
    const double latitude = sums[1] * kRadiansPerArcsecond;
    const double distance = sums[2];
    const double x = distance * std::cos(latitude) * std::cos(longitude);
    const double y = distance * std::cos(latitude) * std::sin(longitude);
    const double z = distance * std::sin(latitude);
    const double p = polynomialFromT(kP, t);
    const double q = polynomialFromT(kQ, t);
    const double s = std::sqrt(1.0 - p * p - q * q);
    return {(1.0 - 2.0 * p * p) * x + 2.0 * p * q * y + 2.0 * p * s * z,
            2.0 * p * q * x + (1.0 - 2.0 * q * q) * y - 2.0 * q * s * z,
            -2.0 * p * s * x + 2.0 * q * s * y + (1.0 - 2.0 * p * p - 2.0 * q * q) * z};
}

} // namespace caelo
