#include "outputs/gltf/gltfAnimation.h"

#include "host/evaluation.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "host/services/numberText.h"
#include "outputs/gltf/gltfKeyThinning.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace caelo::gltf {

using host::DocumentTime;
using host::Node;

namespace {

// A frame is sampled at the steps its fastest object needed in the frame
// before, with this much to spare, so that a motion that speeds up rarely
// needs a frame sampled twice.
constexpr double kStepMargin = 1.05;
// An object that moves more than this fraction of a key step in a frame is
// read at every step of the next frame.
constexpr double kDenseAbove = 0.5;
// Progress is reported about this many times.
constexpr std::int64_t kProgressReports = 200;

// An object's transforms at one time.
struct Sample {
    GltfTransform parts[kTransformPartCount];
};

const double* valuesOf(const GltfTransform& transform, int property) {
    switch (property) {
    case kTranslation:
        return transform.translation.data();
    case kRotation:
        return transform.rotation.data();
    default:
        return transform.scale.data();
    }
}

// How far a step between two samples goes, as a fraction of what a step
// between keys may: above 1 the step needs a key between.
double stepRatio(const Sample& a, const Sample& b) {
    double ratio = 0.0;
    for (int part = 0; part < kTransformPartCount; ++part) {
        const GltfTransform& from = a.parts[part];
        const GltfTransform& to = b.parts[part];
        ratio = std::max(ratio, rotationAngleBetween(from.rotation, to.rotation) / kMaxRotationStepRad);
        ratio = std::max(ratio, turnAngleBetween(from.translation, to.translation) / kMaxTurnStepRad);
    }
    return ratio;
}

// The largest angle a position turns by about its frame's origin between two
// samples.
double positionTurn(const Sample& a, const Sample& b) {
    double turn = 0.0;
    for (int part = 0; part < kTransformPartCount; ++part) {
        turn = std::max(turn, turnAngleBetween(a.parts[part].translation, b.parts[part].translation));
    }
    return turn;
}

std::string timeText(const host::Document& document) {
    return host::formatDouble(document.time.seconds()) + " s";
}

// The keys of one object as they are collected.
class ObjectSampler {
public:
    explicit ObjectSampler(const Node& node) : node_(node) {}

    // Reads the object's transforms as the document stands (the first time, or
    // again only when they changed since the last reading).
    const Sample& read() {
        if (!read_ || !(node_.frozen == rawFrozen_) || !(node_.relative == rawRelative_)) {
            if (!host::hasFiniteComponents(node_.frozen) || !host::hasFiniteComponents(node_.relative)) {
                throw host::HostError(host::describeNode(node_) + " (\"" + node_.name +
                                      "\"): its transform is not finite at " + "document time " +
                                      timeText(*node_.document()));
            }
            if (!read_ || !(node_.frozen == rawFrozen_)) {
                rawFrozen_ = node_.frozen;
                current_.parts[kFrozenPart] = toGltfTransform(rawFrozen_);
            }
            if (!read_ || !(node_.relative == rawRelative_)) {
                rawRelative_ = node_.relative;
                current_.parts[kRelativePart] = toGltfTransform(rawRelative_);
            }
            read_ = true;
        }
        return current_;
    }

    // The first frame: the reference every later key is compared with.
    void start(ObjectKeys& keys) {
        const Sample& sample = read();
        lastKept_ = sample;
        for (int part = 0; part < kTransformPartCount; ++part) {
            keys.first[part] = sample.parts[part];
            for (int property = 0; property < kTransformPropertyCount; ++property) {
                const double* values = valuesOf(sample.parts[part], property);
                std::copy(values, values + widthOf(property), firstValues_[part][property]);
            }
        }
    }

    [[nodiscard]] const Sample& lastKept() const { return lastKept_; }

    // Adds a key. `framesBefore` is the number of frame keys before it, all
    // at `frameTimes`, which stand for the object while it has not moved.
    void keep(const Sample& sample, float timeSeconds, ObjectKeys& keys, const std::vector<float>& frameTimes,
              std::size_t framesBefore) {
        lastKept_ = sample;
        float values[kTransformPartCount][kTransformPropertyCount][4];
        bool differs = false;
        for (int part = 0; part < kTransformPartCount; ++part) {
            for (int property = 0; property < kTransformPropertyCount; ++property) {
                toFloats(sample.parts[part], property, values[part][property]);
                differs =
                    differs || !std::equal(values[part][property], values[part][property] + widthOf(property),
                                           firstFloats(part, property));
            }
        }
        if (!keys.moves() && !differs) {
            return;
        }
        if (!keys.moves()) {
            backfill(keys, frameTimes, framesBefore);
        }
        keys.timesSeconds.push_back(timeSeconds);
        for (int part = 0; part < kTransformPartCount; ++part) {
            for (int property = 0; property < kTransformPropertyCount; ++property) {
                append(keys.channels[part][property], property, values[part][property],
                       firstFloats(part, property));
            }
        }
    }

private:
    // Converts a property to floats; throws for a value beyond a float's range.
    void toFloats(const GltfTransform& transform, int property, float* out) const {
        const double* values = valuesOf(transform, property);
        for (int i = 0; i < widthOf(property); ++i) {
            out[i] = static_cast<float>(values[i]);
            if (!std::isfinite(out[i])) {
                throw host::HostError(host::describeNode(node_) + " (\"" + node_.name +
                                      "\"): its transform is too large for " + "glTF at document time " +
                                      timeText(*node_.document()));
            }
        }
    }

    const float* firstFloats(int part, int property) {
        float* out = firstFloats_[part][property];
        for (int i = 0; i < widthOf(property); ++i) {
            out[i] = static_cast<float>(firstValues_[part][property][i]);
        }
        return out;
    }

    // The keys the object had while it stood still: its first values at every
    // frame so far.
    void backfill(ObjectKeys& keys, const std::vector<float>& frameTimes, std::size_t framesBefore) {
        keys.timesSeconds.assign(frameTimes.begin(),
                                 frameTimes.begin() + static_cast<std::ptrdiff_t>(framesBefore));
        for (int part = 0; part < kTransformPartCount; ++part) {
            for (int property = 0; property < kTransformPropertyCount; ++property) {
                const float* first = firstFloats(part, property);
                std::vector<float>& values = keys.channels[part][property].values;
                for (std::size_t key = 0; key < framesBefore; ++key) {
                    values.insert(values.end(), first, first + widthOf(property));
                }
            }
        }
    }

    static void append(ChannelKeys& channel, int property, float* value, const float* first) {
        const int width = widthOf(property);
        if (property == kRotation && !channel.values.empty()) {
            const float* previous = channel.values.data() + channel.values.size() - 4;
            const float d = previous[0] * value[0] + previous[1] * value[1] + previous[2] * value[2] +
                            previous[3] * value[3];
            if (d < 0.0f) {
                std::transform(value, value + 4, value, [](float c) { return -c; });
            }
        }
        const bool sameAsFirst =
            std::equal(value, value + width, first) ||
            (property == kRotation &&
             std::equal(value, value + width, first, [](float a, float b) { return a == -b; }));
        channel.moves = channel.moves || !sameAsFirst;
        channel.values.insert(channel.values.end(), value, value + width);
    }

    const Node& node_;
    bool read_ = false;
    host::Transform rawFrozen_;
    host::Transform rawRelative_;
    Sample current_;
    Sample lastKept_;
    double firstValues_[kTransformPartCount][kTransformPropertyCount][4] = {};
    float firstFloats_[kTransformPartCount][kTransformPropertyCount][4] = {};
};

// How fast an object moves, as the ratio of its step to the largest step
// allowed between keys: over a whole frame, and over the longest step of the
// frame being sampled. A dense object is read at every step of a frame, the
// others only at the frames.
// An aliased object moves too fast to be followed (or lies below one that
// does): it is read and keyed at the frames only.
struct Pace {
    bool dense = false;
    bool aliased = false;
    double perFrame = 0.0;
    double stepRatio = 0.0;
    double turnThisFrame = 0.0; // radians its position turned in the frame
};

// The steps a frame is sampled at: enough for the fastest dense object.
int stepsFor(const std::vector<Pace>& paces) {
    double needed = 1.0;
    for (const Pace& pace : paces) {
        if (pace.dense) {
            needed = std::max(needed, std::ceil(pace.perFrame * kStepMargin));
        }
    }
    return static_cast<int>(std::min<double>(needed, kMaxStepsPerFrame));
}

// After a frame was sampled at `steps` steps: updates each object's pace and
// answers whether the frame must be sampled again because a step went too
// far, with `steps` raised (a sparse object that went too far becomes dense).
// Each retry raises the steps or makes an object dense, so retries end.
bool retime(std::vector<Pace>& paces, int& steps) {
    bool again = false;
    for (Pace& pace : paces) {
        if (pace.aliased) {
            continue;
        }
        pace.perFrame = pace.stepRatio * (pace.dense ? steps : 1);
        if (pace.stepRatio > 1.0 && (!pace.dense || steps < kMaxStepsPerFrame)) {
            again = true;
            pace.dense = true;
        }
    }
    if (again) {
        steps = std::max(std::min(steps + 1, kMaxStepsPerFrame), stepsFor(paces));
    }
    return again;
}

// One frame's samples: of every object the frame before (step 0) and the
// frame's end (the last step), and the steps between only of the objects
// sampled densely, so that memory grows with the objects and the dense ones'
// steps, not with every object times the most steps.
class FrameSamples {
public:
    explicit FrameSamples(std::size_t count) : before_(count), end_(count), slots_(count, kNotDense) {}

    // Lays the rows out for a frame sampled at `steps` steps.
    void layOut(const std::vector<Pace>& paces, int steps) {
        steps_ = steps;
        std::size_t dense = 0;
        for (std::size_t i = 0; i < paces.size(); ++i) {
            slots_[i] = paces[i].dense ? dense++ : kNotDense;
        }
        between_.resize(static_cast<std::size_t>(steps - 1));
        for (std::vector<Sample>& row : between_) {
            row.resize(dense);
        }
    }

    // Object `object` at step `step`; a step between only of a dense object.
    [[nodiscard]] Sample& at(int step, std::size_t object) {
        if (step == 0) {
            return before_[object];
        }
        if (step == steps_) {
            return end_[object];
        }
        return between_[static_cast<std::size_t>(step - 1)][slots_[object]];
    }

private:
    static constexpr std::size_t kNotDense = static_cast<std::size_t>(-1);
    std::vector<Sample> before_;
    std::vector<Sample> end_;
    std::vector<std::vector<Sample>> between_;
    std::vector<std::size_t> slots_;
    int steps_ = 1;
};

// Marks the objects that turned too far to follow, and everything below one
// that is marked; `parents` holds each object's nearest exported ancestor
// (-1 at the top), which comes before it.
void markAliased(std::vector<Pace>& paces, const std::vector<int>& parents) {
    for (std::size_t i = 0; i < paces.size(); ++i) {
        Pace& pace = paces[i];
        pace.aliased = pace.aliased || pace.turnThisFrame > kMaxFollowedTurnRad ||
                       (parents[i] >= 0 && paces[static_cast<std::size_t>(parents[i])].aliased);
        pace.dense = pace.dense && !pace.aliased;
    }
}

// Evaluates the document at a time.
void evaluateAt(host::Document& document, DocumentTime time) {
    document.time = time;
    host::evaluateDocument(document);
}

} // namespace

float keySeconds(std::int32_t fps, std::int64_t frame, int step, int steps) {
    return static_cast<float>((static_cast<double>(frame) + static_cast<double>(step) / steps) / fps);
}

DocumentTime documentTimeOfKey(DocumentTime start, float keySeconds) {
    if (const std::optional<DocumentTime> exact =
            DocumentTime::sum(start, DocumentTime::fromSeconds(keySeconds))) {
        return *exact;
    }
    return DocumentTime::fromSeconds(start.seconds() + static_cast<double>(keySeconds));
}

std::vector<ObjectKeys> sampleObjectKeys(host::Document& document, const std::vector<const Node*>& objects,
                                         const std::vector<int>& parents, DocumentTime start,
                                         std::int64_t frameCount,
                                         const std::function<void(double)>& progress) {
    const std::int32_t fps = document.fps;
    const auto report = [&](double fraction) {
        if (progress) {
            progress(fraction);
        }
    };
    report(0.0);

    const std::size_t count = objects.size();
    std::vector<ObjectKeys> keys(count);
    std::vector<ObjectSampler> samplers;
    samplers.reserve(count);
    for (const Node* node : objects) {
        samplers.emplace_back(*node);
    }
    evaluateAt(document, start);
    for (std::size_t i = 0; i < count; ++i) {
        samplers[i].start(keys[i]);
    }
    std::vector<float> frameTimes{0.0f};

    // How fast each object moves: the first estimate from a probe one finest
    // step ahead.
    std::vector<Pace> paces(count);
    if (frameCount > 1) {
        evaluateAt(document, documentTimeOfKey(start, keySeconds(fps, 0, 1, kMaxStepsPerFrame)));
        for (std::size_t i = 0; i < count; ++i) {
            const Sample& probe = samplers[i].read();
            paces[i].perFrame = stepRatio(samplers[i].lastKept(), probe) * kMaxStepsPerFrame;
            paces[i].turnThisFrame = positionTurn(samplers[i].lastKept(), probe) * kMaxStepsPerFrame;
            paces[i].dense = paces[i].perFrame > kDenseAbove;
        }
        markAliased(paces, parents);
    }

    FrameSamples samples(count);
    std::vector<float> stepTimes(kMaxStepsPerFrame + 1);
    const std::int64_t progressStride = std::max<std::int64_t>(1, frameCount / kProgressReports);
    for (std::int64_t frame = 0; frame + 1 < frameCount; ++frame) {
        int steps = stepsFor(paces);
        while (true) {
            samples.layOut(paces, steps);
            for (std::size_t i = 0; i < count; ++i) {
                samples.at(0, i) = samplers[i].lastKept();
                paces[i].stepRatio = 0.0;
                paces[i].turnThisFrame = 0.0;
            }
            for (int step = 1; step <= steps; ++step) {
                const auto row = static_cast<std::size_t>(step);
                stepTimes[row] =
                    step == steps ? keySeconds(fps, frame + 1) : keySeconds(fps, frame, step, steps);
                evaluateAt(document, documentTimeOfKey(start, stepTimes[row]));
                for (std::size_t i = 0; i < count; ++i) {
                    if (!paces[i].dense && step < steps) {
                        continue;
                    }
                    const Sample& now = samples.at(step, i) = samplers[i].read();
                    const Sample& before = samples.at(paces[i].dense ? step - 1 : 0, i);
                    paces[i].stepRatio = std::max(paces[i].stepRatio, stepRatio(before, now));
                    paces[i].turnThisFrame += positionTurn(before, now);
                }
            }
            if (!retime(paces, steps)) {
                break;
            }
        }
        markAliased(paces, parents);

        const float frameStart = frameTimes.back();
        const float frameEnd = stepTimes[static_cast<std::size_t>(steps)];
        for (std::size_t i = 0; i < count; ++i) {
            float lastTime = frameStart;
            for (int step = 1; paces[i].dense && step < steps; ++step) {
                if (stepRatio(samplers[i].lastKept(), samples.at(step + 1, i)) <= 1.0) {
                    continue;
                }
                const auto time = static_cast<float>(
                    (static_cast<double>(frame) + static_cast<double>(step) / steps) / fps);
                if (time > lastTime && time < frameEnd) {
                    samplers[i].keep(samples.at(step, i), time, keys[i], frameTimes, frameTimes.size());
                    lastTime = time;
                }
            }
            samplers[i].keep(samples.at(steps, i), frameEnd, keys[i], frameTimes, frameTimes.size());
            paces[i].dense = paces[i].perFrame > kDenseAbove && !paces[i].aliased;
        }
        frameTimes.push_back(frameEnd);
        if ((frame + 1) % progressStride == 0) {
            report(static_cast<double>(frame + 1) / static_cast<double>(frameCount - 1));
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        thinKeys(keys[i], frameTimes, !paces[i].aliased);
    }
    report(1.0);
    return keys;
}

} // namespace caelo::gltf
