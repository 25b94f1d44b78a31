#include "outputs/gltf/gltfKeyThinning.h"

#include "outputs/gltf/gltfFrame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace caelo::gltf {

namespace {

// The longest run of keys one interpolation may replace, which bounds the
// work of a search.
constexpr std::size_t kMaxSpan = 4096;

using Value = std::array<double, 4>;

class KeyView {
public:
    KeyView(const ObjectKeys& keys, int part, int property)
        : values_(keys.channels[part][property].values), width_(static_cast<std::size_t>(widthOf(property))) {
    }

    [[nodiscard]] Value at(std::size_t key) const {
        Value v{0.0, 0.0, 0.0, 0.0};
        for (std::size_t c = 0; c < width_; ++c) {
            v[c] = values_[key * width_ + c];
        }
        return v;
    }

private:
    const std::vector<float>& values_;
    std::size_t width_;
};

double norm3(const Value& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

double dot4(const Value& a, const Value& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
}

// Spherical interpolation along the shorter arc, as glTF viewers play it.
Value slerp(const Value& a, const Value& b, double u) {
    double d = dot4(a, b);
    const double sign = d < 0.0 ? -1.0 : 1.0;
    d = std::min(1.0, std::abs(d));
    const double angle = std::acos(d);
    double wa = 1.0 - u;
    double wb = u;
    if (angle > 1e-9) {
        wa = std::sin((1.0 - u) * angle) / std::sin(angle);
        wb = std::sin(u * angle) / std::sin(angle);
    }
    Value out{};
    for (std::size_t c = 0; c < 4; ++c) {
        out[c] = wa * a[c] + wb * sign * b[c];
    }
    return out;
}

// The quaternion's components blended linearly and the result normalised, as
// clients that keep a rotation as four curves play it (a client that leaves
// the blend unnormalised and turns by it as a rotation turns the same way).
Value nlerp(const Value& a, const Value& b, double u) {
    const double sign = dot4(a, b) < 0.0 ? -1.0 : 1.0;
    Value out{};
    for (std::size_t c = 0; c < 4; ++c) {
        out[c] = (1.0 - u) * a[c] + u * sign * b[c];
    }
    const double norm = std::sqrt(dot4(out, out));
    if (norm > 0.0) {
        for (double& c : out) {
            c /= norm;
        }
    }
    return out;
}

Value lerp(const Value& a, const Value& b, double u) {
    Value out{};
    for (std::size_t c = 0; c < 3; ++c) {
        out[c] = a[c] + (b[c] - a[c]) * u;
    }
    return out;
}

// The angle a position turns by about its frame's origin (gltfFrame.h).
double turnAngle(const Value& a, const Value& b) {
    return turnAngleBetween({a[0], a[1], a[2]}, {b[0], b[1], b[2]});
}

// The product of two quaternions (x, y, z, w): the rotation by `b`, then by
// `a`, as a node's rotation below its parent's.
Value multiply(const Value& a, const Value& b) {
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
            a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
            a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

using Blend = Value (*)(const Value&, const Value&, double);
// The ways clients blend two rotation keys.
constexpr Blend kRotationBlends[] = {slerp, nlerp};

struct Channel {
    int property;
    KeyView keys;
};

class Thinner {
public:
    Thinner(const ObjectKeys& keys, const std::vector<float>& frameTimes, bool followed)
        : times_(keys.timesSeconds), followed_(followed), frozenRotation_(keys, kFrozenPart, kRotation),
          relativeRotation_(keys, kRelativePart, kRotation),
          rotates_(keys.channels[kFrozenPart][kRotation].moves ||
                   keys.channels[kRelativePart][kRotation].moves) {
        for (int part = 0; part < kTransformPartCount; ++part) {
            for (int property = 0; property < kTransformPropertyCount; ++property) {
                if (keys.channels[part][property].moves) {
                    channels_.push_back({property, KeyView(keys, part, property)});
                }
            }
        }
        // Which keys stand at frames: both lists increase.
        atFrame_.resize(times_.size());
        std::size_t f = 0;
        for (std::size_t k = 0; k < times_.size(); ++k) {
            while (f < frameTimes.size() && frameTimes[f] < times_[k]) {
                ++f;
            }
            atFrame_[k] = f < frameTimes.size() && frameTimes[f] == times_[k];
        }
    }

    // The keys to keep, in order.
    [[nodiscard]] std::vector<std::size_t> kept() const {
        std::vector<std::size_t> result{0};
        const std::size_t n = times_.size();
        std::size_t from = 0;
        while (from + 1 < n) {
            // Gallop to a span that no longer holds, then halve back to the
            // longest that does.
            std::size_t good = from + 1;
            std::size_t step = 1;
            std::size_t bad = n;
            while (good + step < n && good + step - from <= kMaxSpan) {
                if (!holds(from, good + step)) {
                    bad = good + step;
                    break;
                }
                good += step;
                step *= 2;
            }
            if (bad == n) {
                bad = std::min(n, from + kMaxSpan + 1);
            }
            while (bad - good > 1) {
                const std::size_t middle = good + (bad - good) / 2;
                (holds(from, middle) ? good : bad) = middle;
            }
            result.push_back(good);
            from = good;
        }
        return result;
    }

private:
    // Whether keys `a` and `b` alone stand for every key between them.
    [[nodiscard]] bool holds(std::size_t a, std::size_t b) const {
        for (const Channel& channel : channels_) {
            const Value va = channel.keys.at(a), vb = channel.keys.at(b);
            if (channel.property == kRotation && rotationAngleBetween(va, vb) > kMaxRotationStepRad) {
                return false;
            }
            if (channel.property == kTranslation && followed_ && turnAngle(va, vb) > kMaxTurnStepRad) {
                return false;
            }
        }
        const double span = static_cast<double>(times_[b]) - static_cast<double>(times_[a]);
        for (std::size_t m = a + 1; m < b; ++m) {
            if (!atFrame_[m]) {
                continue;
            }
            const double u = (static_cast<double>(times_[m]) - static_cast<double>(times_[a])) / span;
            if (rotates_ && !rotationHolds(a, b, m, u)) {
                return false;
            }
            for (const Channel& channel : channels_) {
                if (channel.property == kRotation) {
                    continue;
                }
                const Value va = channel.keys.at(a), vb = channel.keys.at(b), want = channel.keys.at(m);
                const Value got = lerp(va, vb, u);
                const Value error{got[0] - want[0], got[1] - want[1], got[2] - want[2], 0.0};
                const double size = std::max({norm3(va), norm3(vb), norm3(want)});
                if (norm3(error) > kPositionTolerance * size) {
                    return false;
                }
            }
        }
        return true;
    }

    // Whether the object's rotation (frozen, then relative: what turns all
    // below it) blended from keys `a` and `b` at `u` stays near key `m`,
    // however a client blends.
    [[nodiscard]] bool rotationHolds(std::size_t a, std::size_t b, std::size_t m, double u) const {
        const Value want = multiply(frozenRotation_.at(m), relativeRotation_.at(m));
        for (const Blend blend : kRotationBlends) {
            const Value got = multiply(blend(frozenRotation_.at(a), frozenRotation_.at(b), u),
                                       blend(relativeRotation_.at(a), relativeRotation_.at(b), u));
            if (rotationAngleBetween(got, want) > kRotationToleranceRad) {
                return false;
            }
        }
        return true;
    }

    const std::vector<float>& times_;
    bool followed_;
    KeyView frozenRotation_;
    KeyView relativeRotation_;
    bool rotates_;
    std::vector<Channel> channels_;
    std::vector<bool> atFrame_;
};

} // namespace

void thinKeys(ObjectKeys& keys, const std::vector<float>& frameTimes, bool followed) {
    if (keys.timesSeconds.size() < 3) {
        return;
    }
    const std::vector<std::size_t> kept = Thinner(keys, frameTimes, followed).kept();
    if (kept.size() == keys.timesSeconds.size()) {
        return;
    }
    std::vector<float> times;
    times.reserve(kept.size());
    for (const std::size_t k : kept) {
        times.push_back(keys.timesSeconds[k]);
    }
    keys.timesSeconds = std::move(times);
    for (int part = 0; part < kTransformPartCount; ++part) {
        for (int property = 0; property < kTransformPropertyCount; ++property) {
            std::vector<float>& values = keys.channels[part][property].values;
            if (values.empty()) {
                continue;
            }
            const auto width = static_cast<std::size_t>(widthOf(property));
            std::vector<float> thinned;
            thinned.reserve(kept.size() * width);
            for (const std::size_t k : kept) {
                thinned.insert(thinned.end(), values.begin() + static_cast<std::ptrdiff_t>(k * width),
                               values.begin() + static_cast<std::ptrdiff_t>((k + 1) * width));
            }
            values = std::move(thinned);
        }
    }
}

} // namespace caelo::gltf
