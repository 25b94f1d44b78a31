// Key frames of objects' transforms for export: the document is evaluated at
// every frame, and between frames wherever a node turns too far for a viewer's
// interpolation to follow; then only the keys that interpolation needs are kept.
//
// Clients interpolate a rotation along the shorter arc (as glTF specifies) or
// component by component (as clients that keep it as four curves do), and a
// translation along a straight line. So that a played animation follows the
// host's, the keys of an object are placed such that between two consecutive
// keys
// - neither of its rotations (frozen and relative) turns by more than
//   kMaxRotationStepRad, and
// - neither of its positions turns by more than kMaxTurnStepRad about the
//   origin of the frame it is given in,
// and such that at every frame the interpolated transform is within
// kRotationToleranceRad and kPositionTolerance of the host's.
//
// A motion that turns a position by more than kMaxFollowedTurnRad in a frame
// (Phobos and Neptune's inner moons at the default time scale) cannot be
// shown at the frame rate at all: any picture of it strobes. Such an object,
// and everything below it, is keyed at the frames only, where it is exact.
// The document is evaluated at up to kMaxStepsPerFrame steps per frame (the
// count follows the fastest motion that is followed), which bounds the time
// of an export.
#ifndef CAELO_OUTPUTS_GLTF_GLTF_ANIMATION_H
#define CAELO_OUTPUTS_GLTF_GLTF_ANIMATION_H

#include "host/scene.h"
#include "outputs/gltf/gltfFrame.h"

#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

namespace caelo::gltf {

inline constexpr double kMaxRotationStepRad = 120.0 * std::numbers::pi / 180.0;
inline constexpr double kMaxTurnStepRad = 30.0 * std::numbers::pi / 180.0;
inline constexpr double kMaxFollowedTurnRad = std::numbers::pi;
inline constexpr int kMaxStepsPerFrame = 64;
// At every frame: the largest angle between an object's interpolated
// rotation (frozen, then relative) and the host's, however a client blends
// the keys (radians), and the largest distance between an interpolated
// position or scale and the host's, as a share of its size (the distance
// from the origin of its parent's frame: an orbit's radius). The rotation's
// tenth of a degree leaves room for the keys' 16-bit storage (0.005 degrees)
// and for a client that keeps key frames as floats (Blender: up to 0.02
// degrees for Neptune's fastest moon at the end of a model year).
inline constexpr double kRotationToleranceRad = 0.075 * std::numbers::pi / 180.0;
inline constexpr double kPositionTolerance = 1e-4;
// The longest animation whose key times (float seconds) stay apart by more
// than a frame at any frame rate.
inline constexpr std::int64_t kMaxExportFrames = std::int64_t{1} << 22;

// The two transforms of an object, frozen then relative, in glTF's frame.
enum TransformPart { kFrozenPart, kRelativePart, kTransformPartCount };
// The three animated properties of a glTF node.
enum TransformProperty { kTranslation, kRotation, kScale, kTransformPropertyCount };
// The values a key of the property holds: 4 for a rotation (a quaternion),
// 3 for a translation or a scale.
[[nodiscard]] constexpr int widthOf(int property) {
    return property == kRotation ? 4 : 3;
}

// One property of one transform at an object's key times, as float values
// (3 per key, or 4 for a rotation; consecutive rotations on the same
// hemisphere, so that the shorter arc is the one sampled).
struct ChannelKeys {
    std::vector<float> values;
    bool moves = false; // some key differs from the first
};

struct ObjectKeys {
    // The transforms at the first frame, at full precision.
    GltfTransform first[kTransformPartCount];
    // Key times, seconds from the first frame; empty when nothing of the
    // object moves.
    std::vector<float> timesSeconds;
    // The keys by part and property; filled only when the object moves.
    ChannelKeys channels[kTransformPartCount][kTransformPropertyCount];

    [[nodiscard]] bool moves() const { return !timesSeconds.empty(); }
};

// The key time (seconds from the first frame, as glTF stores it) of a frame,
// or of the fraction step / steps of the way to the next frame.
// Example: keySeconds(30, 3, 1, 2) is 3.5 / 30 rounded to a float.
[[nodiscard]] float keySeconds(std::int32_t fps, std::int64_t frame, int step = 0, int steps = 1);

// The document time a key stands for: start plus the key's seconds exactly
// (a float is a fraction with a power-of-two denominator), so that each key
// holds the host's state at the very time it names; the nearest double
// where the sum does not fit a DocumentTime.
[[nodiscard]] host::DocumentTime documentTimeOfKey(host::DocumentTime start, float keySeconds);

// Evaluates the document at `frameCount` frames from `start` at its frame rate
// (at the key times of the frames, and between them as above) and collects the keys of each object, in the
// order given. `parents` holds each object's nearest ancestor among them (its
// index, -1 for none), which comes before it: what lies below an object that
// is too fast to follow is keyed at the frames only too. `progress`, when
// set, is called from 0 to 1 a few hundred
// times at most. Leaves the document at the last time it evaluated.
// Throws HostError naming the object and the time when a transform is not
// finite or does not fit a float.
[[nodiscard]] std::vector<ObjectKeys> sampleObjectKeys(host::Document& document,
                                                       const std::vector<const host::Node*>& objects,
                                                       const std::vector<int>& parents,
                                                       host::DocumentTime start, std::int64_t frameCount,
                                                       const std::function<void(double)>& progress);

} // namespace caelo::gltf

#endif
