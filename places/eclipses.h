// Solar and lunar eclipses from the shadow geometry of the Sun, the Earth and
// the Moon, placed by the theories (model/vsop87.h for the Earth about the
// Sun, model/elpMpp02.h for the Moon about the Earth; geometric places, as a
// shadow falls where the bodies are).
//
// - The search steps from syzygy to syzygy (new and full moons, where the
//   Moon's ecliptic longitude is the Sun's or opposite it), skips those where
//   the Moon stands further than kEclipseLatitudeLimitDeg from the ecliptic,
//   and finds the greatest eclipse as the instant at which the shadow axis
//   passes nearest the Earth's centre (solar: the line from the Sun through
//   the Moon; lunar: the line from the Sun through the Earth, nearest the
//   Moon's centre), to a second.
// - Sizes: the Earth's equatorial radius 6378.137 km, flattened by
//   1/298.257 towards the poles; the Moon's radius 0.2725076 Earth radii
//   (the IAU's k, as Espenak and Meeus's canons take it for the penumbra;
//   their smaller umbral k for the Moon's limb valleys would call two of the
//   hybrid eclipses of 1900-2100 annular); the Sun's 696,000 km. A lunar
//   eclipse's shadow is that of a round Earth of its equatorial radius
//   enlarged by 1 % for the atmosphere (Danjon's rule, as Espenak and Meeus's
//   canon of lunar eclipses applies it).
// - Solar: gamma is the distance of the shadow axis from the Earth's centre
//   in Earth radii, positive when the axis passes north of it; the eclipse is
//   total or annular where the umbra or its extension (the antumbra) touches
//   the Earth (central when the axis does, else non-central), hybrid when
//   the central line, followed to the Earth's limb at its ends, sees both,
//   partial where only the penumbra does. Shadows run straight in the Sun's
//   frame, so each is cast from where the body stood one light time
//   (Earth-Moon) earlier. Magnitude: the share of the Sun's
//   diameter covered, where the eclipse is greatest.
// - Lunar: umbral and penumbral magnitude, the share of the Moon's diameter
//   inside the umbra and the penumbra; total at umbral magnitude 1, partial
//   above 0, penumbral when only the penumbra reaches the Moon; gamma is the
//   Moon's distance from the shadow axis in Earth radii.
// Times are TT Julian Dates; callers give UT through places/deltaT.h.
#ifndef CAELO_PLACES_ECLIPSES_H
#define CAELO_PLACES_ECLIPSES_H

#include "model/elpMpp02.h"
#include "model/vsop87.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace caelo::places {

enum class EclipseKind { Solar, Lunar };
enum class EclipseType { Total, Annular, Hybrid, Partial, Penumbral };

struct Eclipse {
    EclipseKind kind = EclipseKind::Solar;
    EclipseType type = EclipseType::Partial;
    double greatestJulianDateTt = 0.0;
    double magnitude = 0.0;          // solar: of the Sun; lunar: umbral
    double penumbralMagnitude = 0.0; // lunar only
    double gamma = 0.0;              // Earth radii
    // When the penumbra first and last touches the Earth (solar) or the
    // Moon (lunar), TT, to a second.
    double firstContactJulianDateTt = 0.0;
    double lastContactJulianDateTt = 0.0;
};

// The span in which eclipses are found (TT): that of both theories, 1800 to
// 2200.
inline constexpr double kEclipseSpanFirstJd = std::max(kVsop87SpanStartJd, kElpMpp02SpanStartJd);
inline constexpr double kEclipseSpanLastJd = std::min(kVsop87SpanEndJd, kElpMpp02SpanEndJd);

// The Moon's largest distance from the ecliptic at a syzygy that can still
// bring an eclipse (degrees; the solar limit is about 1.6).
inline constexpr double kEclipseLatitudeLimitDeg = 1.8;

// Every eclipse whose greatest instant lies from `firstJulianDateTt` to
// `lastJulianDateTt`, in time order. Empty for a span that is not finite or
// not rising.
[[nodiscard]] std::vector<Eclipse> findEclipses(double firstJulianDateTt, double lastJulianDateTt);

// The eclipse under way at an instant (between its first and last
// contacts), if any.
[[nodiscard]] std::optional<Eclipse> eclipseAt(double julianDateTt);

// ---- Shadows on the globes --------------------------------------------------

// Sizes (km): the Earth's equatorial radius; the radius of the Earth's shadow
// in a lunar eclipse (Danjon's 1 % for the atmosphere); the Moon's; the
// Sun's.
inline constexpr double kEclipseEarthRadiusKm = 6378.137;
inline constexpr double kEarthShadowRadiusKm = 1.01 * kEclipseEarthRadiusKm;
inline constexpr double kEclipseMoonRadiusKm = 0.2725076 * kEclipseEarthRadiusKm;
inline constexpr double kSunRadiusKm = 696000.0;

// The Sun and the Moon as seen from the Earth's centre at a TT date (km,
// J2000 ecliptic: x to the equinox, z to the ecliptic's north pole).
struct SunAndMoon {
    std::array<double, 3> sun;
    std::array<double, 3> moon;
};
[[nodiscard]] SunAndMoon sunAndMoonFromEarth(double julianDateTt);

// The share of the Sun's disc seen from `point` with a sphere of `radius`
// centred at `occulter` in the way (all km, one frame): 1 in full sunlight,
// 0 inside the umbra, the uncovered share of the disc's area in the
// penumbra and the antumbra.
[[nodiscard]] double sunlightSeenFrom(const std::array<double, 3>& point, const std::array<double, 3>& sun,
                                      const std::array<double, 3>& occulter, double radius);

// The words users read: "solar", "lunar"; "total", "annular", "hybrid",
// "partial", "penumbral".
[[nodiscard]] std::string_view kindName(EclipseKind kind);
[[nodiscard]] std::string_view typeName(EclipseType type);

} // namespace caelo::places

#endif
