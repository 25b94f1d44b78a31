#include "outputs/appearance/brightStars.h"

#include "model/units.h"
#include "outputs/appearance/embeddedDataFiles.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace caelo::appearance {

namespace {

constexpr double kObliquityRad = 84381.448 / 3600.0 / kDegreesPerRadian;

// The number a CSV field starts with; throws naming the line when there is none.
double numberAt(std::string_view line, std::size_t& at) {
    const std::string field(line.substr(at, line.find(',', at) - at));
    char* end = nullptr;
    const double value = std::strtod(field.c_str(), &end);
    if (field.empty() || end != field.c_str() + field.size() || !std::isfinite(value)) {
        throw std::logic_error("bright-stars.csv holds a line caelo cannot read: " + std::string(line));
    }
    at += field.size() + 1;
    return value;
}

std::vector<BrightStar> readStars() {
    std::string_view table = embeddedDataFile("bright-stars.csv");
    std::vector<BrightStar> stars;
    bool header = true;
    while (!table.empty()) {
        const std::size_t end = std::min(table.find('\n'), table.size());
        const std::string_view line = table.substr(0, end);
        table.remove_prefix(std::min(end + 1, table.size()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (header) {
            header = false; // hip,ra_deg,dec_deg,v_mag,b_v
            continue;
        }
        std::size_t at = line.find(',') + 1;
        const double ra = numberAt(line, at);
        const double dec = numberAt(line, at);
        const double magnitude = numberAt(line, at);
        stars.push_back({sceneDirectionOf(ra, dec), magnitude});
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
