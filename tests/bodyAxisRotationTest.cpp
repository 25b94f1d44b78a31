// The body axis's rotation mathematics: directions to angles and the inverse
// of a frame. The globe headings are tested through the module.
#include "model/bodyAxisRotation.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <optional>

namespace caelo::rotation {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kAngleTolerance = 1e-12; // radians

// The +Z axis turned by a heading and a pitch (rotation order 6, bank 0):
// (-cos P sin H, sin P, cos P cos H).
HostVector TurnedZ(HostVector angles) {
    return {-std::cos(angles.y) * std::sin(angles.x), std::sin(angles.y),
            std::cos(angles.y) * std::cos(angles.x)};
}

TEST(BodyAxisRotation, VectorToAnglesTurnsZOntoTheDirection) {
    struct Case {
        HostVector direction;
        double heading, pitch;
    };
    const Case cases[] = {
        {{0.0, 0.0, 1.0}, 0.0, 0.0},
        {{1.0, 0.0, 0.0}, 1.5 * kPi, 0.0}, // z = 0 takes the branch beyond pi
        {{-1.0, 0.0, 0.0}, 0.5 * kPi, 0.0},
        {{0.0, 0.0, -2.0}, kPi, 0.0},
        {{-1.0, 1.0, 1.0}, 0.25 * kPi, std::atan(1.0 / std::sqrt(2.0))},
        {{3.0, -4.0, -3.0}, 1.25 * kPi, -std::atan(4.0 / std::sqrt(18.0))},
        // Straight above or below (horizontal length under 0.00001): heading 0.
        {{0.0, 5.0, 0.0}, 0.0, 0.5 * kPi},
        {{0.000009, -5.0, 0.0}, 0.0, -0.5 * kPi},
        {{0.0, 0.0, 0.0}, 0.0, -0.5 * kPi},
    };
    for (const Case& c : cases) {
        const HostVector angles = VectorToAngles(c.direction);
        EXPECT_NEAR(angles.x, c.heading, kAngleTolerance)
            << c.direction.x << " " << c.direction.y << " " << c.direction.z;
        EXPECT_NEAR(angles.y, c.pitch, kAngleTolerance);
        EXPECT_EQ(angles.z, 0.0);
        const double length = std::sqrt(c.direction.x * c.direction.x + c.direction.y * c.direction.y +
                                        c.direction.z * c.direction.z);
        if (std::hypot(c.direction.x, c.direction.z) >= kVerticalDirectionThreshold) {
            const HostVector z = TurnedZ(angles);
            EXPECT_NEAR(z.x, c.direction.x / length, 1e-12);
            EXPECT_NEAR(z.y, c.direction.y / length, 1e-12);
            EXPECT_NEAR(z.z, c.direction.z / length, 1e-12);
        }
    }
}

TEST(BodyAxisRotation, InverseFrameUndoesTheFrame) {
    // A frame with rotation, shear, scale and offset.
    const HostMatrix frame{{10.0, -2.0, 3.0}, {0.0, 2.0, 1.0}, {-1.0, 0.5, 0.0}, {0.3, 0.0, 4.0}};
    const std::optional<HostMatrix> inverse = InvertMatrix(frame);
    ASSERT_TRUE(inverse.has_value());
    const HostMatrix product = MultiplyMatrices(*inverse, frame);
    const HostMatrix identity{{0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
    const double* got = &product.off.x;
    const double* want = &identity.off.x;
    for (int i = 0; i < 12; ++i) {
        EXPECT_NEAR(got[i], want[i], 1e-14) << "component " << i;
    }

    // A singular frame has no inverse, and so no direction towards a point.
    const HostMatrix flat{{1.0, 2.0, 3.0}, {1.0, 0.0, 0.0}, {2.0, 0.0, 0.0}, {0.0, 0.0, 1.0}};
    EXPECT_FALSE(InvertMatrix(flat).has_value());
    EXPECT_FALSE(AnglesTowardPoint(flat, {0.0, 0.0, 5.0}, {0.0, 0.0, 0.0}).has_value());
}

} // namespace
} // namespace caelo::rotation
