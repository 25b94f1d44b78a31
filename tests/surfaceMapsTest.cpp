// The maps and stars built into caelo: every map of data/maps/maps.csv is there
// whole and of its stated size, and each lies as every map must (longitude 0
// in the middle column, east to the right, north at the top), which named
// features at their published places show: each is darker than a place that
// is bright on the real body, and a map turned or mirrored would swap them.
#include "outputs/appearance/surfaceMaps.h"

#include "outputs/appearance/brightStars.h"
#include "outputs/appearance/ringProfiles.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <tiny_gltf.h>

namespace caelo::appearance {
namespace {

struct Picture {
    tinygltf::Image image;

    // The mean brightness (0 to 255) of the pixels within `radiusDeg` of
    // latitude and east longitude (degrees) on an equirectangular map.
    [[nodiscard]] double brightnessAt(double latitudeDeg, double eastLongitudeDeg,
                                      double radiusDeg = 2.0) const {
        const MapPoint centre = mapPointOf(directionAt(latitudeDeg, eastLongitudeDeg));
        const int reach = static_cast<int>(std::ceil(radiusDeg / 360.0 * image.width));
        const int cx = static_cast<int>(centre.u * image.width);
        const int cy = static_cast<int>(centre.v * image.height);
        double sum = 0.0;
        int count = 0;
        for (int y = std::max(0, cy - reach); y <= std::min(image.height - 1, cy + reach); ++y) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const int x = ((cx + dx) % image.width + image.width) % image.width;
                const auto at = static_cast<std::size_t>((y * image.width + x) * image.component);
                for (int c = 0; c < std::min(3, image.component); ++c) {
                    sum += image.image[at + static_cast<std::size_t>(c)];
                }
                count += std::min(3, image.component);
            }
        }
        return sum / count;
    }
};

Picture decoded(const SurfaceMap& map) {
    Picture picture;
    std::string error, warning;
    const bool read = tinygltf::LoadImageData(&picture.image, 0, &error, &warning, 0, 0,
                                              reinterpret_cast<const unsigned char*>(map.jpeg.data()),
                                              static_cast<int>(map.jpeg.size()), nullptr);
    EXPECT_TRUE(read) << map.fileName << ": " << error;
    return picture;
}

TEST(SurfaceMaps, EveryMapIsBuiltInWholeAtItsStatedSizeWithItsCredit) {
    EXPECT_EQ(surfaceMaps().size(), 23u);
    for (const SurfaceMap& map : surfaceMaps()) {
        const Picture picture = decoded(map);
        EXPECT_EQ(picture.image.width, map.width) << map.fileName;
        EXPECT_EQ(picture.image.height, map.height) << map.fileName;
        EXPECT_EQ(map.width, 2 * map.height) << map.fileName << " is equirectangular";
        EXPECT_FALSE(map.credit.empty() || map.licence.empty()) << map.fileName;
    }
    EXPECT_EQ(surfaceMapOf("Earth", MapLayer::Night)->fileName, "earth-night.jpg");
    EXPECT_EQ(surfaceMapOf("Charon", MapLayer::Surface), nullptr) << "left out: its layout is not known";
}

TEST(SurfaceMaps, NamedFeaturesLieAtTheirPublishedPlaces) {
    struct Place {
        const char* name;
        double latitudeDeg;
        double eastLongitudeDeg;
    };
    struct Contrast {
        const char* body;
        MapLayer layer;
        Place dark;
        Place bright;
    };
    const Contrast contrasts[] = {
        {"Earth", MapLayer::Surface, {"the Atlantic", 20.0, 320.0}, {"the Sahara", 23.0, 13.0}},
        {"Earth", MapLayer::Surface, {"the Pacific", -25.0, 227.0}, {"Australia", -25.0, 133.0}},
        {"Earth", MapLayer::Night, {"the Atlantic", 50.0, 330.0}, {"London", 51.5, 0.0}},
        {"Moon", MapLayer::Surface, {"Mare Crisium", 17.0, 59.1}, {"the far side", 17.0, 120.0}},
        {"Moon", MapLayer::Surface, {"Mare Moscoviense", 27.3, 147.9}, {"the far side", 27.3, 212.1}},
        {"Mars", MapLayer::Surface, {"Syrtis Major", 8.4, 69.5}, {"Hellas", -42.4, 70.5}},
        {"Mars", MapLayer::Surface, {"Syrtis Major", 8.4, 69.5}, {"Syrtis Major mirrored", 8.4, 290.5}},
        {"Ganymede", MapLayer::Surface, {"Galileo Regio", 36.0, 215.0}, {"Tros", 11.0, 332.5}},
        {"Rhea", MapLayer::Surface, {"the trailing hemisphere", 0.0, 90.0}, {"Inktomi", -14.1, 247.9}},
        {"Pluto", MapLayer::Surface, {"Cthulhu", -5.0, 120.0}, {"Sputnik Planitia", 20.0, 180.0}},
    };
    for (const Contrast& c : contrasts) {
        const Picture picture = decoded(*surfaceMapOf(c.body, c.layer));
        const double dark = picture.brightnessAt(c.dark.latitudeDeg, c.dark.eastLongitudeDeg);
        const double bright = picture.brightnessAt(c.bright.latitudeDeg, c.bright.eastLongitudeDeg);
        EXPECT_LT(dark, 0.8 * bright)
            << c.body << ": " << c.dark.name << " " << dark << ", " << c.bright.name << " " << bright;
    }
}

// The stars behind: all 8,874, brightest (Sirius) first, each in its J2000
// direction turned into the scene's frame: the equinox along +X, the ecliptic
// pole +Y, the Sun's place at the June solstice +Z.
TEST(BrightStars, StandInTheirDirectionsInTheScenesFrame) {
    ASSERT_EQ(brightStars().size(), 8874u);
    EXPECT_DOUBLE_EQ(brightStars().front().visualMagnitude, -1.44);
    struct Case {
        double raDeg, decDeg;
        host::Vector scene;
    };
    const double obliquityDeg = 84381.448 / 3600.0;
    for (const Case& c : {Case{0.0, 0.0, {1.0, 0.0, 0.0}}, Case{270.0, 90.0 - obliquityDeg, {0.0, 1.0, 0.0}},
                          Case{90.0, obliquityDeg, {0.0, 0.0, 1.0}}}) {
        const host::Vector got = sceneDirectionOf(c.raDeg, c.decDeg);
        EXPECT_NEAR(host::length(got - c.scene), 0.0, 1e-12) << c.raDeg << " " << c.decDeg;
    }
}

// The rings' profiles: each feature's optical depth at its published radius,
// a gap or ringlet over the ring it lies in; Uranus's narrow rings each fill
// a pixel of their band's strip with their own opacity, clear between.
TEST(RingProfiles, PutFeaturesAtTheirPublishedRadii) {
    struct Case {
        const char* planet;
        double radiusKm;
        std::optional<double> opticalDepth;
    };
    for (const Case& c :
         {Case{"Saturn", 80000.0, 0.132}, Case{"Saturn", 77880.0, 4.0}, Case{"Saturn", 105000.0, 3.6},
          Case{"Saturn", 121000.0, 0.0866}, Case{"Saturn", 125000.0, 0.632}, Case{"Saturn", 133570.0, 0.0},
          Case{"Saturn", 136530.0, 0.0}, Case{"Saturn", 138000.0, 0.0}, Case{"Uranus", 51149.0, 1.12},
          Case{"Jupiter", 125000.0, std::nullopt}}) {
        EXPECT_EQ(ringOpticalDepthAt(c.planet, c.radiusKm), c.opticalDepth) << c.planet << " " << c.radiusKm;
    }
    EXPECT_EQ(ringOpacityOfDepth(0.0), 0.0);
    EXPECT_EQ(ringOpacityOfDepth(1e-6), kFaintestRingOpacity);
    EXPECT_NEAR(ringOpacityOfDepth(3.6), 1.0 - std::exp(-3.6), 1e-15);

    const RadialSpan band{41837.0, 69900.0};
    const std::vector<double> strip = ringStrip("Uranus", band, kRingStripPixels);
    ASSERT_EQ(strip.size(), static_cast<std::size_t>(kRingStripPixels));
    const auto pixelAt = [&](double km) {
        return strip[static_cast<std::size_t>((km - band.innerKm) / (band.outerKm - band.innerKm) *
                                              strip.size())];
    };
    EXPECT_NEAR(pixelAt(51149.0), ringOpacityOfDepth(1.12), 1e-12);
    EXPECT_NEAR(pixelAt(50023.0), ringOpacityOfDepth(0.141), 1e-12);
    EXPECT_EQ(pixelAt(49000.0), 0.0);
    EXPECT_EQ(pixelAt(68000.0), kFaintestRingOpacity);
    // The ten narrow rings, epsilon (44 km) two pixels wide.
    EXPECT_EQ(std::count_if(strip.begin(), strip.end(), [](double a) { return a > kFaintestRingOpacity; }),
              11);
    EXPECT_TRUE(ringStrip("Saturn", {500000.0, 510000.0}, kRingStripPixels).empty()); // no feature there
    EXPECT_TRUE(ringStrip("Saturn", {136775.0, 122170.0}, kRingStripPixels).empty());
}

} // namespace
} // namespace caelo::appearance
