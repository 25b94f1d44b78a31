#include "places/deltaT.h"

#include "model/units.h"

#include <array>
#include <cmath>
#include <limits>

namespace caelo::places {

namespace {

// One expression: for years below `endYear`, the polynomial in
// t = (y - originYear) / unitYears with coefficients from t^0 up.
struct Expression {
    double endYear;
    double originYear;
    double unitYears;
    std::array<double, 8> coefficients;
};

// Espenak and Meeus (2006), section 2.6, in their order.
constexpr std::array<Expression, 12> kExpressions{{
    {500.0, 0.0, 100.0, {10583.6, -1014.41, 33.78311, -5.952053, -0.1798452, 0.022174192, 0.0090316521}},
    {1600.0, 1000.0, 100.0, {1574.2, -556.01, 71.23472, 0.319781, -0.8503463, -0.005050998, 0.0083572073}},
    {1700.0, 1600.0, 1.0, {120.0, -0.9808, -0.01532, 1.0 / 7129.0}},
    {1800.0, 1700.0, 1.0, {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000.0}},
    {1860.0,
     1800.0,
     1.0,
     {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436, 0.0000121272, -0.0000001699, 0.000000000875}},
    {1900.0, 1860.0, 1.0, {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1.0 / 233174.0}},
    {1920.0, 1900.0, 1.0, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197}},
    {1941.0, 1920.0, 1.0, {21.20, 0.84493, -0.076100, 0.0020936}},
    {1961.0, 1950.0, 1.0, {29.07, 0.407, -1.0 / 233.0, 1.0 / 2547.0}},
    {1986.0, 1975.0, 1.0, {45.45, 1.067, -1.0 / 260.0, -1.0 / 718.0}},
    {2005.0, 2000.0, 1.0, {63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599}},
    {2050.0, 2000.0, 1.0, {62.92, 0.32217, 0.005589}},
}};

// Before -500 and from 2150 on, the long-term parabola; from 2050 to 2150
// the parabola less a term that joins it to the expression before.
constexpr double kFirstExpressionYear = -500.0;
constexpr double kParabolaOriginYear = 1820.0;
constexpr double kJoinStartYear = 2050.0;
constexpr double kJoinEndYear = 2150.0;
constexpr double kJoinSecondsPerYear = 0.5628;

double longTermParabola(double year) {
    const double u = (year - kParabolaOriginYear) / 100.0;
    return -20.0 + 32.0 * u * u;
}

double polynomial(const Expression& e, double year) {
    const double t = (year - e.originYear) / e.unitYears;
    double sum = 0.0;
    for (auto c = e.coefficients.rbegin(); c != e.coefficients.rend(); ++c) {
        sum = sum * t + *c;
    }
    return sum;
}

} // namespace

double deltaTSeconds(double decimalYear) {
    if (!std::isfinite(decimalYear)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (decimalYear < kFirstExpressionYear || decimalYear >= kJoinEndYear) {
        return longTermParabola(decimalYear);
    }
    if (decimalYear >= kJoinStartYear) {
        return longTermParabola(decimalYear) - kJoinSecondsPerYear * (kJoinEndYear - decimalYear);
    }
    for (const Expression& e : kExpressions) {
        if (decimalYear < e.endYear) {
            return polynomial(e, decimalYear);
        }
    }
    return longTermParabola(decimalYear); // not reached: the last expression ends at kJoinStartYear
}

double deltaTSecondsAt(double julianDate) {
    return deltaTSeconds(2000.0 + (julianDate - kJulianDateJ2000) / kDaysPerJulianYear);
}

} // namespace caelo::places
