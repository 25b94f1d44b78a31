#include "tests/randomScene.h"

#include "host/application.h"
#include "host/description.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/messages.h"
#include "host/registry.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "host/services/numberText.h"
#include "tests/moduleSceneTest.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace caelo::host::randomScene {

namespace {

using moduleTest::kAttitudeTag;
using moduleTest::kBodyAxis;
using moduleTest::kEquatPlaneTag;
using moduleTest::kOrbitAxis;
using moduleTest::kOrbitPlaneSTag;
using moduleTest::kOrbitPlaneTag;
using moduleTest::kOrbitTag;
using moduleTest::kRingTag;
using moduleTest::kSystem;

// Adding and copying stop at this many living nodes, so that repeated copies
// of copies cannot grow a scene without bound.
constexpr std::size_t kMaxNodes = 400;
// Removed node ids kept as stale link targets.
constexpr std::size_t kMaxRemembered = 32;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double kLargest = std::numeric_limits<double>::max();
constexpr double kSmallestNormal = std::numeric_limits<double>::min();
constexpr double kSmallestDenormal = std::numeric_limits<double>::denorm_min();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr double kJ2000 = 2451545.0;

template <class T, std::size_t N> const T& pick(Random& random, const T (&items)[N]) {
    return items[random.below(N)];
}

// ---------------------------------------------------------------- drawing actions

struct WeightedKind {
    ActionKind kind;
    unsigned weight;
};

// How often each action comes up: mostly edits and evaluations, now and then
// structural changes, rarely a reload or a new document.
constexpr WeightedKind kActionWeights[] = {
    {ActionKind::AddObject, 12},    {ActionKind::AddTag, 8},    {ActionKind::Remove, 5},
    {ActionKind::Move, 6},          {ActionKind::Copy, 3},      {ActionKind::SetParameter, 28},
    {ActionKind::PressButton, 8},   {ActionKind::SetTime, 6},   {ActionKind::SetTransform, 5},
    {ActionKind::ToggleEnabled, 2}, {ActionKind::Evaluate, 15}, {ActionKind::SaveAndLoad, 2},
    {ActionKind::NewDocument, 1},
};

ActionKind drawKind(Random& random) {
    unsigned total = 0;
    for (const WeightedKind& entry : kActionWeights) {
        total += entry.weight;
    }
    auto ticket = static_cast<unsigned>(random.below(total));
    for (const WeightedKind& entry : kActionWeights) {
        if (ticket < entry.weight) {
            return entry.kind;
        }
        ticket -= entry.weight;
    }
    return ActionKind::Evaluate;
}

// ---------------------------------------------------------------- drawing values

// The module's object types come up more often than the host's.
constexpr std::int32_t kObjectTypes[] = {
    kSystem,    kSystem,   kOrbitAxis,   kOrbitAxis,        kOrbitAxis,  kBodyAxis,
    kBodyAxis,  kBodyAxis, kTypeNull,    kTypeSphere,       kTypeTorus,  kTypeTube,
    kTypePlane, kTypeBox,  kTypePolygon, kTypeCircleSpline, kTypeCamera, kTypeWrapDeformer,
};
constexpr std::int32_t kTagTypes[] = {kOrbitTag, kOrbitPlaneTag, kOrbitPlaneSTag, kEquatPlaneTag,
                                      kRingTag,  kRingTag,       kAttitudeTag,    kTypeShadingTag};

// Numbers a user may type: ordinary, boundary and extreme values, and the
// non-finite ones that the host must refuse. `p` gives the limits, if any.
double drawNumber(Random& random, const ParameterDescription* p) {
    const double min = p && p->min ? *p->min : -1.0;
    const double max = p && p->max ? *p->max : 1.0;
    const double sign = random.chance(0.5) ? 1.0 : -1.0;
    switch (random.below(12)) {
    case 0:
        return random.chance(0.5) ? 0.0 : -0.0;
    case 1: {
        static constexpr double kSmall[] = {1.0, -1.0, 2.0, 0.5, 90.0, 360.0, -360.0, 1e-9};
        return pick(random, kSmall);
    }
    case 2:
        return random.chance(0.5) ? min : max;
    case 3:
        return random.chance(0.5) ? std::nextafter(min, -kInfinity) : std::nextafter(max, kInfinity);
    case 4: {
        static constexpr double kHuge[] = {1e20, 1e100, 1e300, kLargest};
        return sign * pick(random, kHuge);
    }
    case 5: {
        static constexpr double kTiny[] = {1e-300, kSmallestNormal, kSmallestDenormal, 1e-20};
        return sign * pick(random, kTiny);
    }
    case 6: {
        static constexpr double kNonFinite[] = {kNotANumber, kInfinity, -kInfinity};
        return pick(random, kNonFinite);
    }
    case 7:
        return random.chance(0.8) ? kJ2000 + random.uniform(-1e6, 1e6) : sign * 1e10;
    case 8:
        return random.uniform(std::max(min, -1e6), std::min(max, 1e6));
    default:
        return sign * std::pow(10.0, random.uniform(-12.0, 12.0));
    }
}

// The same without the non-finite values (what a transform field takes).
double drawFiniteNumber(Random& random) {
    double value = kNotANumber;
    while (!std::isfinite(value)) {
        value = drawNumber(random, nullptr);
    }
    return value;
}

// Text typed into a number field: numbers in several forms and text that is
// no number or no finite one.
std::string drawNumberText(Random& random, const ParameterDescription& p) {
    static constexpr const char* kOddTexts[] = {
        "",
        " ",
        "nan",
        "NaN",
        "inf",
        "-inf",
        "Infinity",
        "1e309",
        "-1e309",
        "1e-400",
        "abc",
        "1.2.3",
        "1e",
        "--1",
        "+-1",
        "0x1p3",
        "1,5",
        " 42 ",
        "+7",
        "\t-0\n",
        ".",
        "-",
        "+",
        "e5",
        "1e+",
        "12abc",
        "1e99999999999",
        "\xd9\xa3",
        "9.999999999999999e+307",
        "0.000000000000000e+00",
        "4.9e-324",
    };
    switch (random.below(4)) {
    case 0:
        return pick(random, kOddTexts);
    case 1:
        return formatDouble(drawNumber(random, &p));
    case 2:
        return numberToText(drawNumber(random, &p), 1, 15, true, ' ');
    default: {
        std::string digits(random.below(400) + 1, '9');
        if (random.chance(0.5)) {
            digits.insert(random.below(digits.size()), ".");
        }
        return random.chance(0.3) ? "-" + digits : digits;
    }
    }
}

std::int32_t drawWhole(Random& random, const ParameterDescription& p) {
    if (!p.cycle.empty() && random.chance(0.7)) {
        return p.cycle[random.below(p.cycle.size())].first + (random.chance(0.2) ? 1 : 0);
    }
    const auto limit = [](double value) {
        return static_cast<std::int32_t>(
            std::clamp(value, static_cast<double>(kInt32Min), static_cast<double>(kInt32Max)));
    };
    const std::int32_t min = limit(p.min.value_or(-1.0));
    const std::int32_t max = limit(p.max.value_or(1.0));
    switch (random.below(5)) {
    case 0:
        return random.chance(0.5) ? kInt32Min : kInt32Max;
    case 1:
        return random.chance(0.5) ? min : max;
    case 2:
        return random.chance(0.5) ? (min == kInt32Min ? min : min - 1) : (max == kInt32Max ? max : max + 1);
    default:
        return static_cast<std::int32_t>(random.below(2001)) - 1000;
    }
}

DateTime drawDate(Random& random) {
    const auto field = [&random](int low, int high) {
        return low + static_cast<std::int32_t>(random.below(static_cast<std::size_t>(high - low + 1)));
    };
    switch (random.below(4)) {
    case 0:
        return {{field(1900, 2100), field(1, 12), field(1, 28), field(0, 23), field(0, 59), field(0, 59)}};
    case 1:
        return {
            {field(-100000, 100000), field(1, 12), field(1, 28), field(0, 23), field(0, 59), field(0, 59)}};
    case 2:
        return {{random.chance(0.5) ? kInt32Min : kInt32Max, 12, 31, 23, 59, 59}};
    default: // no such date or time
        return {{2001, field(0, 13), field(0, 32), field(-1, 24), field(-1, 60), field(-1, 60)}};
    }
}

Curve drawCurve(Random& random) {
    Curve curve;
    const std::size_t knots = random.below(5);
    for (std::size_t i = 0; i < knots; ++i) {
        const double x = random.uniform(0.0, 1.0);
        curve.knots.push_back({{x, random.uniform(0.0, 2.0), 0.0}, {-0.1, 0.0, 0.0}, {0.1, 0.0, 0.0}, 0, 0});
    }
    return curve;
}

std::vector<Node*> objectsOf(const Document& document) {
    std::vector<Node*> objects;
    document.forEachObject([&objects](Node& node) { objects.push_back(&node); });
    return objects;
}

std::vector<Node*> nodesOf(const Document& document) {
    std::vector<Node*> nodes;
    document.forEachNode([&nodes](Node& node) { nodes.push_back(&node); });
    return nodes;
}

// A node of the list, or nothing for one draw in (size + 1).
Node* pickOrNone(Random& random, const std::vector<Node*>& nodes) {
    const std::size_t index = random.below(nodes.size() + 1);
    return index < nodes.size() ? nodes[index] : nullptr;
}

Link drawLink(Random& random, const Document& document, const std::vector<NodeId>& removed) {
    switch (random.below(5)) {
    case 0:
        return {};
    case 1:
        return {removed.empty() ? kNoNode : removed[random.below(removed.size())]};
    case 2:
        return {document.view().camera};
    default: {
        const std::vector<Node*> nodes = nodesOf(document);
        return {nodes.empty() ? kNoNode : nodes[random.below(nodes.size())]->id()};
    }
    }
}

// A value for a parameter: mostly of its type, now and then of a related
// type that the host converts or refuses.
Value drawValue(Random& random, const ParameterDescription& p, const Document& document,
                const std::vector<NodeId>& removed) {
    switch (p.kind) {
    case ParameterKind::Float:
        return random.chance(0.1) ? Value{drawWhole(random, p)} : Value{drawNumber(random, &p)};
    case ParameterKind::Int32:
    case ParameterKind::Cycle:
        return random.chance(0.1) ? Value{drawNumber(random, &p)} : Value{drawWhole(random, p)};
    case ParameterKind::Bool:
        return random.chance(0.5);
    case ParameterKind::String:
    case ParameterKind::NumberText:
        return drawNumberText(random, p);
    case ParameterKind::Vector:
        return Vector{drawNumber(random, &p), drawNumber(random, &p), drawNumber(random, &p)};
    case ParameterKind::Link:
        return drawLink(random, document, removed);
    case ParameterKind::DateTime:
        return drawDate(random);
    case ParameterKind::Curve:
        return drawCurve(random);
    case ParameterKind::Button:
        break;
    }
    return 0.0;
}

DocumentTime drawTime(Random& random) {
    const double sign = random.chance(0.5) ? 1.0 : -1.0;
    switch (random.below(7)) {
    case 0:
        return {};
    case 1:
        return DocumentTime::fromSeconds(random.uniform(-1e4, 1e4));
    case 2:
        return {static_cast<std::int64_t>(random.below(200001)) - 100000, 30};
    case 3:
        return DocumentTime::fromSeconds(sign * random.uniform(1e12, 1e18));
    case 4:
        return {random.chance(0.5) ? kInt64Max : kInt64Min, 1};
    case 5:
        return {random.chance(0.5) ? 1 : kInt64Max, kInt64Max - 1};
    default:
        return DocumentTime::fromSeconds(random.uniform(-1e9, 1e9));
    }
}

// ---------------------------------------------------------------- describing

std::string typeLabel(std::int32_t typeId) {
    const NodeType* type = application().findType(typeId);
    return std::to_string(typeId) + (type ? " (" + type->displayName + ")" : std::string{});
}

std::string placeText(const Node* parent) {
    return parent ? describeNode(*parent) : std::string("the top level");
}

std::string parameterLabel(const ParameterDescription& p) {
    return std::to_string(p.id) + " (" + p.name + ")";
}

// ---------------------------------------------------------------- running

using LineSink = std::function<void(const std::string&)>;

// Runs actions on the active document and says what each one did.
class SceneRunner {
public:
    explicit SceneRunner(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Runs one action; answers its log line and sets `failure` when an
    // invariant broke.
    std::string run(const Action& action, std::optional<Failure>& failure) {
        Random random(action.draw);
        try {
            std::string line = dispatch(action.kind, random, failure);
            if (!failure) {
                failure = findViolation(document());
            }
            return line;
        } catch (const HostError& error) {
            failure = Failure{0, "exception", std::string("unexpected host error: ") + error.what()};
        } catch (const std::exception& error) {
            failure = Failure{0, "exception", std::string("unexpected exception: ") + error.what()};
        }
        return actionName(action.kind);
    }

private:
    static Document& document() { return application().activeDocument(); }

    std::string dispatch(ActionKind kind, Random& random, std::optional<Failure>& failure) {
        switch (kind) {
        case ActionKind::AddObject:
            return addObject(random);
        case ActionKind::AddTag:
            return addTag(random);
        case ActionKind::Remove:
            return remove(random);
        case ActionKind::Move:
            return move(random, failure);
        case ActionKind::Copy:
            return copy(random);
        case ActionKind::SetParameter:
            return setParameter(random, failure);
        case ActionKind::PressButton:
            return press(random);
        case ActionKind::SetTime:
            return setTime(random);
        case ActionKind::SetTransform:
            return setTransform(random);
        case ActionKind::ToggleEnabled:
            return toggle(random);
        case ActionKind::Evaluate:
            return evaluate(failure);
        case ActionKind::SaveAndLoad:
            return saveAndLoad(failure);
        case ActionKind::NewDocument:
            application().newDocument();
            return "new document";
        }
        return "unknown action";
    }

    static bool full() { return application().nodeCount() >= kMaxNodes; }

    std::string addObject(Random& random) {
        const std::int32_t type = pick(random, kObjectTypes);
        Node* parent = pickOrNone(random, objectsOf(document()));
        if (full()) {
            return "add: skipped, the scene is full";
        }
        Node& node = createObject(application(), type);
        appendChild(document(), node, parent);
        return "add " + typeLabel(type) + " under " + placeText(parent) + " -> " + describeNode(node);
    }

    std::string addTag(Random& random) {
        const std::int32_t type = pick(random, kTagTypes);
        const std::vector<Node*> objects = objectsOf(document());
        if (objects.empty()) {
            return "tag: no object";
        }
        Node& object = *objects[random.below(objects.size())];
        const Node& tag = createTag(application(), object, type);
        return "tag " + describeNode(object) + " with " + typeLabel(type) + " -> " + describeNode(tag);
    }

    std::string remove(Random& random) {
        const std::vector<Node*> nodes = nodesOf(document());
        if (nodes.empty()) {
            return "remove: nothing";
        }
        Node& node = *nodes[random.below(nodes.size())];
        const std::string what = describeNode(node);
        std::vector<NodeId> ids;
        for (const Node* n : nodes) {
            ids.push_back(n->id());
        }
        removeNode(application(), node);
        for (const NodeId id : ids) {
            if (!application().findNode(id) && removed_.size() < kMaxRemembered) {
                removed_.push_back(id);
            }
        }
        return "remove " + what;
    }

    std::string move(Random& random, std::optional<Failure>& failure) {
        const std::vector<Node*> objects = objectsOf(document());
        if (objects.empty()) {
            return "move: nothing";
        }
        Node& node = *objects[random.below(objects.size())];
        Node* parent = pickOrNone(random, objects);
        const std::string line = "move " + describeNode(node) + " under " + placeText(parent);
        const std::string before = sceneToText(document());
        try {
            moveNode(document(), node, parent);
        } catch (const HostError& error) {
            if (sceneToText(document()) != before) {
                failure =
                    Failure{0, "refusal", "a refused move changed the scene: " + std::string(error.what())};
            }
            return line + ": refused (" + error.what() + ")";
        }
        return line + " -> " + describeNode(node);
    }

    std::string copy(Random& random) {
        const std::vector<Node*> objects = objectsOf(document());
        if (objects.empty()) {
            return "copy: nothing";
        }
        const Node& source = *objects[random.below(objects.size())];
        Node* parent = pickOrNone(random, objects);
        if (full()) {
            return "copy: skipped, the scene is full";
        }
        Node& duplicate = cloneNode(application(), source);
        appendChild(document(), duplicate, parent);
        return "copy " + describeNode(source) + " under " + placeText(parent) + " -> " +
               describeNode(duplicate);
    }

    std::string setParameter(Random& random, std::optional<Failure>& failure) {
        std::vector<Node*> nodes = nodesOf(document());
        if (Node* camera = document().camera()) {
            nodes.push_back(camera);
        }
        std::vector<std::pair<Node*, const ParameterDescription*>> choices;
        for (Node* node : nodes) {
            if (const Description* description = node->description()) {
                for (const ParameterDescription& p : description->parameters) {
                    if (p.kind != ParameterKind::Button) {
                        choices.emplace_back(node, &p);
                    }
                }
            }
        }
        if (choices.empty()) {
            return "set: no parameter";
        }
        const auto [node, p] = choices[random.below(choices.size())];
        const Value value = drawValue(random, *p, document(), removed_);
        const bool quiet = random.chance(0.1);
        const std::string line = std::string(quiet ? "set quietly " : "set ") + describeNode(*node) +
                                 " parameter " + parameterLabel(*p) + " to " + valueText(value);
        const Container before = node->parameters;
        try {
            if (quiet) {
                setParameterQuietly(*node, p->id, value);
            } else {
                editParameter(*node, p->id, value);
            }
        } catch (const HostError& error) {
            if (!(node->parameters == before)) {
                failure = Failure{0, "refusal",
                                  "a refused edit changed the parameters: " + std::string(error.what())};
            }
            return line + ": refused";
        }
        return line;
    }

    std::string press(Random& random) {
        std::vector<std::pair<Node*, std::int32_t>> buttons;
        for (Node* node : nodesOf(document())) {
            if (const Description* description = node->description()) {
                for (const ParameterDescription& p : description->parameters) {
                    if (p.kind == ParameterKind::Button) {
                        buttons.emplace_back(node, p.id);
                    }
                }
            }
        }
        if (buttons.empty()) {
            return "press: no button";
        }
        const auto [node, id] = buttons[random.below(buttons.size())];
        const std::string line = "press " + describeNode(*node) + " button " + std::to_string(id);
        if (full()) {
            return line + ": skipped, the scene is full";
        }
        try {
            return line + (pressButton(*node, id) ? "" : ": reported a failure");
        } catch (const HostError&) {
            return line + ": refused (greyed out)";
        }
    }

    std::string setTime(Random& random) {
        const DocumentTime time = drawTime(random);
        document().time = time;
        return "time " + std::to_string(time.numerator) + "/" + std::to_string(time.denominator) + " s";
    }

    std::string setTransform(Random& random) {
        std::vector<Node*> objects = objectsOf(document());
        if (Node* camera = document().camera()) {
            objects.push_back(camera);
        }
        if (objects.empty()) {
            return "transform: nothing";
        }
        Node& node = *objects[random.below(objects.size())];
        const bool frozen = random.chance(0.3);
        Transform& transform = frozen ? node.frozen : node.relative;
        static constexpr Vector Transform::*kParts[] = {&Transform::position, &Transform::rotation,
                                                        &Transform::scale};
        static constexpr const char* kPartNames[] = {"position", "rotation", "scale"};
        const std::size_t part = random.below(3);
        const Vector value{drawFiniteNumber(random), drawFiniteNumber(random), drawFiniteNumber(random)};
        transform.*kParts[part] = value;
        return std::string("transform ") + describeNode(node) + (frozen ? " frozen " : " ") +
               kPartNames[part] + " " + vectorText(value);
    }

    std::string toggle(Random& random) {
        const std::vector<Node*> objects = objectsOf(document());
        if (objects.empty()) {
            return "toggle: nothing";
        }
        Node& node = *objects[random.below(objects.size())];
        node.setEnabled(!node.enabled());
        return "switch " + describeNode(node) + (node.enabled() ? " on" : " off");
    }

    std::string evaluate(std::optional<Failure>& failure) {
        evaluateDocument(document());
        if ((failure = findViolation(document()))) {
            return "evaluate";
        }
        if (const std::string change = changesOnReevaluation(document()); !change.empty()) {
            failure =
                Failure{0, "idempotence", "evaluating the same time again changed the scene: " + change};
        }
        return "evaluate";
    }

    std::string saveAndLoad(std::optional<Failure>& failure) {
        const std::filesystem::path file = folder_ / ("scene-" + std::to_string(saves_++ % 2) + ".caelo");
        saveScene(document(), file);
        const std::string text = sceneToText(document());
        try {
            const std::string reread = sceneToText(*sceneFromText(application(), text, file.string()));
            if (reread != text) {
                failure =
                    Failure{0, "round trip",
                            "reading the saved scene back changes it: " + firstDifference(text, reread)};
                return "save and load";
            }
        } catch (const HostError& error) {
            failure =
                Failure{0, "round trip", std::string("the saved scene cannot be read back: ") + error.what()};
            return "save and load";
        }
        loadScene(application(), file);
        return "save and load " + file.filename().string();
    }

    std::filesystem::path folder_;
    std::vector<NodeId> removed_;
    std::size_t saves_ = 0;
};

// Runs the actions from a new document, passing each log line on as soon as
// it is known; answers the first failure.
std::optional<Failure> runStreaming(const std::vector<Action>& actions, const std::filesystem::path& folder,
                                    const LineSink& onLine) {
    application().newDocument();
    SceneRunner runner(folder);
    for (std::size_t index = 0; index < actions.size(); ++index) {
        std::optional<Failure> failure;
        onLine(runner.run(actions[index], failure));
        if (failure) {
            failure->actionIndex = index;
            return failure;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- child processes

// Messages from a child, one a line: "L <log line>", "F <index> <category>
// <tab> <message>" and "E" once every action ran.
std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

void writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}

[[noreturn]] void runChild(int fd, const std::vector<Action>& actions, const std::filesystem::path& folder,
                           Echo echo, unsigned secondsLimit) {
    if (echo == Echo::Discard) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::dup2(null, STDOUT_FILENO);
    }
    ::alarm(secondsLimit);
    application().setTextSink([](std::string_view) {});
    const std::optional<Failure> failure = runStreaming(
        actions, folder, [fd](const std::string& line) { writeAll(fd, "L " + oneLine(line) + "\n"); });
    if (failure) {
        writeAll(fd, "F " + std::to_string(failure->actionIndex) + " " + failure->category + "\t" +
                         oneLine(failure->message) + "\n");
    }
    writeAll(fd, "E\n");
    ::_exit(0);
}

Outcome parseChild(const std::string& data, int status, unsigned secondsLimit) {
    Outcome outcome;
    bool ended = false;
    std::istringstream lines(data);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with("L ")) {
            outcome.log.push_back(line.substr(2));
        } else if (line.starts_with("F ")) {
            const std::size_t space = line.find(' ', 2);
            const std::size_t tab = line.find('\t', space);
            outcome.failure = Failure{std::stoul(line.substr(2, space - 2)),
                                      line.substr(space + 1, tab - space - 1), line.substr(tab + 1)};
        } else if (line == "E") {
            ended = true;
        }
    }
    if (ended) {
        return outcome;
    }
    Failure failure{outcome.log.size(), "crash", ""};
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) {
        failure.category = "hang";
        failure.message = "the sequence did not end within " + std::to_string(secondsLimit) + " s";
    } else if (WIFSIGNALED(status)) {
        failure.message = "the process died of signal " + std::to_string(WTERMSIG(status));
    } else {
        failure.message = "the process ended early with status " + std::to_string(WEXITSTATUS(status)) +
                          " (a sanitizer report or an abort)";
    }
    outcome.failure = failure;
    return outcome;
}

} // namespace

// ---------------------------------------------------------------- public

std::uint64_t Random::next() {
    // splitmix64 (Steele, Lea and Flood, "Fast splittable pseudorandom
    // number generators", 2014).
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::size_t Random::below(std::size_t count) {
    return count == 0 ? 0 : static_cast<std::size_t>(next() % count);
}

double Random::uniform(double low, double high) {
    constexpr double kUnit = 1.0 / 9007199254740992.0; // 2^-53
    return low + (high - low) * (static_cast<double>(next() >> 11) * kUnit);
}

bool Random::chance(double probability) {
    return uniform(0.0, 1.0) < probability;
}

std::uint64_t sequenceSeed(std::uint64_t baseSeed, std::size_t index) {
    return index == 0 ? baseSeed : Random(baseSeed ^ (index * 0xd1b54a32d192ed03ULL)).next();
}

std::vector<Action> drawActions(std::uint64_t seed, std::size_t count) {
    Random random(seed);
    std::vector<Action> actions;
    actions.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ActionKind kind = drawKind(random);
        actions.push_back({kind, random.next()});
    }
    return actions;
}

Outcome runActions(const std::vector<Action>& actions, const std::filesystem::path& folder) {
    Outcome outcome;
    outcome.failure =
        runStreaming(actions, folder, [&outcome](const std::string& line) { outcome.log.push_back(line); });
    return outcome;
}

Outcome runIsolated(const std::vector<Action>& actions, const std::filesystem::path& folder, Echo echo,
                    unsigned secondsLimit) {
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("random scene: cannot make a pipe");
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("random scene: cannot start a child process");
    }
    if (child == 0) {
        ::close(fds[0]);
        runChild(fds[1], actions, folder, echo, secondsLimit);
    }
    ::close(fds[1]);
    std::string data;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return parseChild(data, status, secondsLimit);
}

std::vector<Action> shrinkSequence(std::vector<Action> actions,
                                   const std::function<bool(const std::vector<Action>&)>& stillFails,
                                   std::size_t maxTrials) {
    std::size_t trials = 0;
    std::size_t chunk = std::max<std::size_t>(actions.size() / 2, 1);
    while (trials < maxTrials && !actions.empty()) {
        bool dropped = false;
        for (std::size_t start = 0; start < actions.size() && trials < maxTrials;) {
            std::vector<Action> candidate(actions.begin(),
                                          actions.begin() + static_cast<std::ptrdiff_t>(start));
            candidate.insert(candidate.end(),
                             actions.begin() +
                                 static_cast<std::ptrdiff_t>(std::min(start + chunk, actions.size())),
                             actions.end());
            ++trials;
            if (stillFails(candidate)) {
                actions = std::move(candidate);
                dropped = true;
            } else {
                start += chunk;
            }
        }
        if (chunk == 1 && !dropped) {
            break;
        }
        if (!dropped) {
            chunk /= 2;
        }
    }
    return actions;
}

std::vector<Action> shrinkFailure(const std::vector<Action>& actions, const Failure& failure,
                                  const std::filesystem::path& folder) {
    const std::size_t end = std::min(failure.actionIndex + 1, actions.size());
    const std::vector<Action> prefix(actions.begin(), actions.begin() + static_cast<std::ptrdiff_t>(end));
    return shrinkSequence(prefix, [&](const std::vector<Action>& candidate) {
        const Outcome outcome = runIsolated(candidate, folder, Echo::Discard);
        return outcome.failure && outcome.failure->category == failure.category;
    });
}

const char* actionName(ActionKind kind) {
    switch (kind) {
    case ActionKind::AddObject:
        return "add object";
    case ActionKind::AddTag:
        return "add tag";
    case ActionKind::Remove:
        return "remove";
    case ActionKind::Move:
        return "move";
    case ActionKind::Copy:
        return "copy";
    case ActionKind::SetParameter:
        return "set parameter";
    case ActionKind::PressButton:
        return "press button";
    case ActionKind::SetTime:
        return "set time";
    case ActionKind::SetTransform:
        return "set transform";
    case ActionKind::ToggleEnabled:
        return "switch on or off";
    case ActionKind::Evaluate:
        return "evaluate";
    case ActionKind::SaveAndLoad:
        return "save and load";
    case ActionKind::NewDocument:
        return "new document";
    }
    return "unknown";
}

} // namespace caelo::host::randomScene
