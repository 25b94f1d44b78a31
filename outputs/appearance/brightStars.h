// The bright stars behind the solar system (data/stars/bright-stars.csv, built
// into the program): the 8,874 stars to magnitude 6.5, each with its
// direction in the scene's frame.
#ifndef CAELO_OUTPUTS_APPEARANCE_BRIGHT_STARS_H
#define CAELO_OUTPUTS_APPEARANCE_BRIGHT_STARS_H

#include "host/services/matrix.h"

#include <vector>

namespace caelo::appearance {

struct BrightStar {
    // Unit direction in the scene's frame: the J2000 ecliptic (x, y, z) as
    // scene (x, z, y), as the module places the bodies (docs/sky.md).
    host::Vector direction;
    double visualMagnitude = 0.0;
};

// Every star, brightest first.
[[nodiscard]] const std::vector<BrightStar>& brightStars();

// The scene direction of right ascension and declination (degrees, J2000
// equator), turned to the ecliptic by the J2000 obliquity (84381.448 arcsec).
[[nodiscard]] host::Vector sceneDirectionOf(double rightAscensionDeg, double declinationDeg);

} // namespace caelo::appearance

#endif
