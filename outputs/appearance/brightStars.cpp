#include "outputs/appearance/brightStars.h"

#include "model/units.h"
#include "outputs/appearance/dataTable.h"

#include <cmath>

namespace caelo::appearance {

namespace {

constexpr double kObliquityRad = 84381.448 / 3600.0 / kDegreesPerRadian;

std::vector<BrightStar> readStars() {
    const DataTable table("bright-stars.csv");
    std::vector<BrightStar> stars;
    stars.reserve(table.rowCount());
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        stars.push_back({sceneDirectionOf(table.number(row, "ra_deg"), table.number(row, "dec_deg")),
                         table.number(row, "v_mag")});
    }
    return stars;
}

} // namespace

const std::vector<BrightStar>& brightStars() {
    static const std::vector<BrightStar> stars = readStars();
    return stars;
}

host::Vector sceneDirectionOf(double rightAscensionDeg, double declinationDeg) {
    const double ra = rightAscensionDeg / kDegreesPerRadian;
    const double dec = declinationDeg / kDegreesPerRadian;
    const double x = std::cos(dec) * std::cos(ra);
    const double y = std::cos(dec) * std::sin(ra);
    const double z = std::sin(dec);
    const double eclipticY = y * std::cos(kObliquityRad) + z * std::sin(kObliquityRad);
    const double eclipticZ = -y * std::sin(kObliquityRad) + z * std::cos(kObliquityRad);
    return {x, eclipticZ, eclipticY};
}

} // namespace caelo::appearance
