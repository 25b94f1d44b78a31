// The benchmarks of the module and the host, in one binary:
//   PresetPass      one evaluation pass of the built solar-system preset
//   PresetBaseline  the same bodies' orbit and rotation computations in a
//                   plain loop without the host (the floor of a pass)
//   BeltPass/N      one pass over N orbit axes, each carrying a body axis
//                   with a sphere, under one system
//   PresetBuild     building the preset by the system's button 1101
//   PresetSave      saving the preset's scene file
//   PresetLoad      loading it back
//   PresetExport    exporting one model year of the preset as binary glTF
//   EllipticE/k=..  the complete elliptic integral of the second kind
//   Kepler/e=..     solving Kepler's equation over the whole turn
//   Targets         the ratios of the performance targets, from this run
// Each pass is one frame (1/30 s, 1/30 model day) later than the one before.
// The process runs in universal time, so document time 0 is J2000.0.
#include "app/console.h"
#include "app/outputFiles.h"
#include "app/sceneDump.h"
#include "app/sceneSetup.h"
#include "bench/allocationCounter.h"
#include "bench/benchScenes.h"
#include "bench/presetBaseline.h"
#include "bench/targetReporter.h"
#include "host/application.h"
#include "host/files/sceneFile.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/services/hostError.h"
#include "model/elpMpp02.h"
#include "model/moduleIds.h"
#include "model/plutoMeeus.h"
#include "model/units.h"
#include "model/vsop87.h"
#include "outputs/gltf/gltfExport.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace caelo::bench {

namespace {

// The targets on one machine, as ratios measured in one run.
constexpr double kPresetPassOverBaselineMax = 3.0;
constexpr double kTheoriesPassOverPassMax = 10.0;    // the preset on its theories, against its element sets
constexpr double kBeltGrowthMax = 1.3;               // per orbit axis, 100,000 against 1,000
constexpr double kBeltAxisOverBaselineBodyMax = 3.0; // per orbit axis at 100,000
constexpr double kBelt20000PassMaxSeconds = 0.016;   // 60 passes a second

constexpr std::int64_t kBeltSizes[] = {1000, 10000, 20000, 100000};
// The sibling scenes of the console and file benchmarks: ten times as many
// nodes should cost ten times as much, and a million should take seconds.
constexpr std::int64_t kSiblingsSmall = 10000;
constexpr std::int64_t kSiblingsLarge = 100000;
constexpr std::int64_t kSiblingsHuge = 1000000;

// The export samples the model year three frames a model day, as the
// system's own defaults do (a model day in 0.1 document seconds at 30 frames
// a second): 1096 frames.
constexpr std::int32_t kExportFramesPerModelDay = 3;
constexpr double kMillisecondsPerSecond = 1000.0;

// Agreement asked of the baseline with the module, in scene units and
// radians: both compute the same doubles, apart from element texts that keep
// 16 significant digits.
constexpr double kAgreementRelative = 1e-9;

TargetReporter* targetReporter = nullptr;

// A folder of its own under the system's temporary folder, removed with
// everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder()
        : path_(std::filesystem::temp_directory_path() / ("caelo-bench-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The belt of a size, kept while it stays the active document: the library
// calls a benchmark several times while it settles the iteration count, and
// a belt of 100,000 orbit axes takes seconds to build.
host::Node& beltScene(std::int32_t orbitAxes) {
    static std::int32_t builtSize = 0;
    static host::NodeId builtSystem = host::kNoNode;
    if (builtSize == orbitAxes) {
        if (host::Node* system = host::application().activeDocument().findNode(builtSystem)) {
            return *system;
        }
    }
    host::Node& system = newBeltScene(orbitAxes);
    builtSize = orbitAxes;
    builtSystem = system.id();
    return system;
}

bool closeTo(double got, double want) {
    return std::fabs(got - want) <= kAgreementRelative * std::max(1.0, std::fabs(want));
}

bool closeTo(const host::Vector& got, const HostVector& want) {
    return closeTo(got.x, want.x) && closeTo(got.y, want.y) && closeTo(got.z, want.z);
}

// The first body axis whose evaluated place, axis rotation or globe heading
// differs from the baseline's pose; the empty text when all agree.
std::string firstDisagreement(const host::Document& document, const std::vector<BaselinePose>& poses) {
    std::size_t index = 0;
    std::string found;
    document.forEachObject([&](host::Node& node) {
        if (node.typeId() != kTypeCaeloBodyAxis || !found.empty()) {
            return;
        }
        const BaselinePose& pose = poses[index++];
        const host::Node* globe = document.findNode(node.parameters.getLink(OCAELOBODYAXIS_GLOBE_LINK));
        const bool agrees = closeTo(node.relative.position, pose.position) &&
                            closeTo(node.relative.rotation, pose.axisRotation) &&
                            (!globe || closeTo(globe->relative.rotation.x, pose.globeHeadingRad));
        if (!agrees) {
            found = document.pathOf(node) + " (" + node.name + ")";
        }
    });
    return found;
}

// Counts what one more pass allocates and fails the benchmark when it
// allocates at all: once a scene has been evaluated, a pass reuses its
// storage.
void checkPassAllocatesNothing(benchmark::State& state, host::Document& document, std::int64_t frame) {
    const std::uint64_t before = allocationsSoFar();
    evaluateFrame(document, frame);
    const std::uint64_t allocations = allocationsSoFar() - before;
    state.counters["allocations_per_pass"] = static_cast<double>(allocations);
    if (allocations != 0) {
        state.SkipWithError(
            ("an evaluation pass allocated " + std::to_string(allocations) + " times").c_str());
    }
}

void presetPass(benchmark::State& state, bool byTheories) {
    host::Document& document = *newPresetScene().document();
    if (byTheories) {
        app::placeByTheories(document);
    }
    std::int64_t frame = 0;
    evaluateFrame(document, frame);
    for (auto _ : state) {
        evaluateFrame(document, ++frame);
    }
    checkPassAllocatesNothing(state, document, ++frame);
}

void presetBaseline(benchmark::State& state) {
    host::Document& document = *newPresetScene().document();
    const std::vector<BaselineBody> bodies = readBaselineBodies(document);
    std::vector<BaselinePose> poses(bodies.size());
    constexpr std::int64_t kCheckedFrame = 12345;
    evaluateFrame(document, kCheckedFrame);
    evaluateBaseline(bodies, julianDateOfFrame(kCheckedFrame), poses);
    if (const std::string body = firstDisagreement(document, poses); !body.empty()) {
        state.SkipWithError(("the baseline disagrees with the module at " + body).c_str());
        return;
    }
    std::int64_t frame = 0;
    for (auto _ : state) {
        evaluateBaseline(bodies, julianDateOfFrame(++frame), poses);
        benchmark::DoNotOptimize(poses.data());
        benchmark::ClobberMemory();
    }
    state.counters["bodies"] = static_cast<double>(bodies.size());
}

void beltPass(benchmark::State& state) {
    const auto orbitAxes = static_cast<std::int32_t>(state.range(0));
    host::Node& system = beltScene(orbitAxes);
    host::Document& document = *system.document();
    std::int64_t frame = 0;
    evaluateFrame(document, frame);
    for (auto _ : state) {
        evaluateFrame(document, ++frame);
    }
    checkPassAllocatesNothing(state, document, ++frame);
    // The last orbit axis's body must have left the origin of its orbit.
    const host::Node* lastBody = system.lastChild() ? system.lastChild()->firstChild() : nullptr;
    if (!lastBody || lastBody->relative.position == host::Vector{}) {
        state.SkipWithError("the belt's last body was not placed on its orbit");
        return;
    }
    state.counters["orbit_axes"] = orbitAxes;
    state.counters["per_orbit_axis"] = benchmark::Counter(
        orbitAxes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void presetBuild(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        host::Node& system = newSystemScene();
        state.ResumeTiming();
        host::pressButton(system, OCAELOSYSTEM_BUILD_SOLAR_SYSTEM);
    }
    state.counters["nodes"] = static_cast<double>(host::application().nodeCount());
}

// Saving `document` to a scene file, and loading that file back.
void timeSaves(benchmark::State& state, const host::Document& document) {
    const TemporaryFolder folder;
    const std::filesystem::path file = folder.path() / "scene.caelo";
    for (auto _ : state) {
        host::saveScene(document, file);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void timeLoads(benchmark::State& state, const host::Document& document) {
    const TemporaryFolder folder;
    const std::filesystem::path file = folder.path() / "scene.caelo";
    host::saveScene(document, file);
    for (auto _ : state) {
        // The document the last load made goes outside the timing.
        state.PauseTiming();
        host::application().newDocument();
        state.ResumeTiming();
        host::loadScene(host::application(), file);
    }
}

host::Document& evaluatedPresetDocument() {
    host::Document& document = *newPresetScene().document();
    evaluateFrame(document, 0);
    return document;
}

void presetSave(benchmark::State& state) {
    timeSaves(state, evaluatedPresetDocument());
}

void presetLoad(benchmark::State& state) {
    timeLoads(state, evaluatedPresetDocument());
}

void presetExport(benchmark::State& state) {
    const TemporaryFolder folder;
    const std::filesystem::path file = folder.path() / "solar-system.glb";
    host::Document& document = *newPresetScene().document();
    document.fps = static_cast<std::int32_t>(kExportFramesPerModelDay / kDocumentSecondsPerModelDay);
    const auto frames = static_cast<std::int64_t>(std::ceil(kDaysPerJulianYear * kExportFramesPerModelDay));
    for (auto _ : state) {
        app::writeGltfFile(file, gltf::exportGltf(document, gltf::GltfFormat::Binary,
                                                  {host::DocumentTime{0, 1}, frames, {}}));
    }
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

// ---------------------------------------------------------------- siblings

// A new active document with `count` null objects side by side at the top
// level, added as a console script adds them.
host::Document& newSiblingScene(std::int64_t count) {
    std::ostringstream ignored;
    app::Console console(ignored);
    console.execute("new");
    for (std::int64_t i = 0; i < count; ++i) {
        console.execute("add 5140");
    }
    return host::application().activeDocument();
}

// The console's `add` for state.range(0) siblings: each line appends one
// and prints its path.
void siblingsScript(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(&newSiblingScene(state.range(0)));
    }
    state.counters["nodes"] = static_cast<double>(state.range(0));
}

// `dump` and `dump --json` of the siblings.
void siblingsDump(benchmark::State& state, bool json) {
    const host::Document& document = newSiblingScene(state.range(0));
    for (auto _ : state) {
        std::ostringstream out;
        if (json) {
            app::writeJsonDump(document, out);
        } else {
            app::writeReadableDump(document, out);
        }
        state.counters["bytes"] = static_cast<double>(out.tellp());
    }
}

// One evaluation pass over the siblings.
void siblingsPass(benchmark::State& state) {
    host::Document& document = newSiblingScene(state.range(0));
    std::int64_t frame = 0;
    for (auto _ : state) {
        evaluateFrame(document, ++frame);
    }
}

void siblingsSave(benchmark::State& state) {
    timeSaves(state, newSiblingScene(state.range(0)));
}

void siblingsLoad(benchmark::State& state) {
    timeLoads(state, newSiblingScene(state.range(0)));
}

// An export of two frames, the least that animates.
void siblingsExport(benchmark::State& state) {
    const TemporaryFolder folder;
    const std::filesystem::path file = folder.path() / "siblings.glb";
    host::Document& document = newSiblingScene(state.range(0));
    for (auto _ : state) {
        app::writeGltfFile(
            file, gltf::exportGltf(document, gltf::GltfFormat::Binary, {host::DocumentTime{0, 1}, 2, {}}));
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void ellipticE(benchmark::State& state, double k) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(k);
        benchmark::DoNotOptimize(EllipticE(kHalfPi, k, kEllipticTolerance));
    }
}

void kepler(benchmark::State& state, double eccentricity) {
    // Mean anomalies spread evenly over [-pi, pi).
    constexpr std::size_t kAnomalies = 64;
    double anomalies[kAnomalies];
    for (std::size_t i = 0; i < kAnomalies; ++i) {
        anomalies[i] = -kPi + kTwoPi * static_cast<double>(i) / kAnomalies;
    }
    std::size_t next = 0;
    std::int64_t steps = 0;
    for (auto _ : state) {
        const KeplerSolution solution = SolveKepler(anomalies[next], eccentricity);
        benchmark::DoNotOptimize(solution.eccentricAnomalyRad);
        steps += solution.steps;
        next = (next + 1) % kAnomalies;
    }
    state.counters["steps"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}

// The theories' places of every body they cover at one date a pass (the
// eight VSOP87 planets with the Earth, the Moon, Pluto): the work a preset
// pass on the theories adds to an element-set pass.
void theories(benchmark::State& state) {
    constexpr double kFirstJd = 2451545.0;
    double jd = kFirstJd;
    for (auto _ : state) {
        for (int planet = 0; planet <= static_cast<int>(Vsop87Planet::Neptune); ++planet) {
            benchmark::DoNotOptimize(Vsop87Place(static_cast<Vsop87Planet>(planet), jd));
        }
        benchmark::DoNotOptimize(MoonPlace(jd));
        benchmark::DoNotOptimize(PlutoPlace(jd));
        jd += 1.0;
    }
}

// Sets a ratio counter and a flag counter "<name>_met" (1 or 0) when both
// figures were measured in this run; notes a missing one in `missing`.
void setRatio(benchmark::State& state, const std::string& name, std::optional<double> ratio, double limit,
              std::string& missing) {
    if (!ratio) {
        missing += (missing.empty() ? "" : ", ") + name;
        return;
    }
    state.counters[name] = *ratio;
    state.counters[name + "_met"] = *ratio <= limit ? 1.0 : 0.0;
}

std::optional<double> cpuSecondsOf(const std::string& name) {
    const std::optional<RecordedRun> run = targetReporter->find(name);
    return run ? std::optional<double>(run->cpuSecondsPerIteration) : std::nullopt;
}

std::optional<double> counterOf(const std::string& name, const std::string& counter) {
    const std::optional<RecordedRun> run = targetReporter->find(name);
    if (!run || !run->counters.contains(counter)) {
        return std::nullopt;
    }
    return run->counters.at(counter).value;
}

// Ratios of CPU times per iteration, from the benchmarks run before in this
// run; a target whose figures were filtered out is left out.
void targets(benchmark::State& state) {
    for (auto _ : state) {
    }
    const auto pass = cpuSecondsOf("PresetPass");
    const auto theoriesPass = cpuSecondsOf("PresetPassTheories");
    const auto baseline = cpuSecondsOf("PresetBaseline");
    const auto bodies = counterOf("PresetBaseline", "bodies");
    const auto belt1k = cpuSecondsOf("BeltPass/1000");
    const auto belt20k = cpuSecondsOf("BeltPass/20000");
    const auto belt100k = cpuSecondsOf("BeltPass/100000");
    const auto perAxis = [](std::optional<double> seconds, double orbitAxes) {
        return seconds ? std::optional<double>(*seconds / orbitAxes) : std::nullopt;
    };
    const auto ratio = [](std::optional<double> a, std::optional<double> b) {
        return a && b && *b > 0.0 ? std::optional<double>(*a / *b) : std::nullopt;
    };
    const auto baselinePerBody = bodies ? ratio(baseline, bodies) : std::nullopt;

    std::string missing;
    setRatio(state, "preset_pass_over_baseline", ratio(pass, baseline), kPresetPassOverBaselineMax, missing);
    setRatio(state, "theories_pass_over_preset_pass", ratio(theoriesPass, pass), kTheoriesPassOverPassMax,
             missing);
    setRatio(state, "belt_100000_over_1000_per_axis", ratio(perAxis(belt100k, 1e5), perAxis(belt1k, 1e3)),
             kBeltGrowthMax, missing);
    setRatio(state, "belt_100000_axis_over_baseline_body", ratio(perAxis(belt100k, 1e5), baselinePerBody),
             kBeltAxisOverBaselineBodyMax, missing);
    setRatio(state, "belt_20000_pass_ms",
             belt20k ? std::optional<double>(*belt20k * kMillisecondsPerSecond) : std::nullopt,
             kBelt20000PassMaxSeconds * kMillisecondsPerSecond, missing);
    if (!missing.empty()) {
        state.SetLabel("not measured in this run: " + missing);
    }
}

void registerBenchmarks() {
    benchmark::RegisterBenchmark("PresetPass", presetPass, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("PresetPassTheories", presetPass, true)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("PresetBaseline", presetBaseline)->Unit(benchmark::kMicrosecond);
    auto* belt = benchmark::RegisterBenchmark("BeltPass", beltPass)->Unit(benchmark::kMillisecond);
    for (const std::int64_t size : kBeltSizes) {
        belt->Arg(size);
    }
    benchmark::RegisterBenchmark("PresetBuild", presetBuild)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PresetSave", presetSave)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PresetLoad", presetLoad)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PresetExport", presetExport)->Unit(benchmark::kMillisecond);
    const std::vector<benchmark::internal::Benchmark*> siblings{
        benchmark::RegisterBenchmark("SiblingsScript", siblingsScript),
        benchmark::RegisterBenchmark("SiblingsDump", siblingsDump, false),
        benchmark::RegisterBenchmark("SiblingsDumpJson", siblingsDump, true),
        benchmark::RegisterBenchmark("SiblingsPass", siblingsPass),
        benchmark::RegisterBenchmark("SiblingsSave", siblingsSave),
        benchmark::RegisterBenchmark("SiblingsLoad", siblingsLoad),
        benchmark::RegisterBenchmark("SiblingsExport", siblingsExport),
    };
    for (benchmark::internal::Benchmark* sibling : siblings) {
        sibling->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Arg(kSiblingsSmall)
            ->Arg(kSiblingsLarge)
            ->Arg(kSiblingsHuge);
    }
    for (const auto& [name, k] : {std::pair{"EllipticE/k=0.0167", 0.0167}, std::pair{"EllipticE/k=0.5", 0.5},
                                  std::pair{"EllipticE/k=0.99", 0.99}}) {
        benchmark::RegisterBenchmark(name, ellipticE, k);
    }
    for (const auto& [name, e] : {std::pair{"Kepler/e=0.0167", 0.0167}, std::pair{"Kepler/e=0.25", 0.25},
                                  std::pair{"Kepler/e=0.9", 0.9}}) {
        benchmark::RegisterBenchmark(name, kepler, e);
    }
    benchmark::RegisterBenchmark("Theories", theories)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Targets", targets)->Iterations(1);
}

} // namespace

} // namespace caelo::bench

int main(int argc, char** argv) {
    using namespace caelo;
    // Universal time: the systems' epoch 2000-01-01 12:00 is then J2000.0.
    setenv("TZ", "UTC", 1);
    tzset();
    std::unique_ptr<benchmark::BenchmarkReporter> display = bench::displayReporterFor(argc, argv);
    if (!display) {
        std::cerr << "caelo_bench: --benchmark_format takes console or json\n";
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    host::HostSession session;
    try {
        // Another build of the module (to compare two builds) may be named in
        // CAELO_BENCH_MODULE; by default the one built beside this binary.
        const char* modulePath = std::getenv("CAELO_BENCH_MODULE");
        host::loadModule(modulePath != nullptr && *modulePath != '\0' ? modulePath : CAELO_BENCH_MODULE_PATH);
    } catch (const host::HostError& error) {
        std::cerr << "caelo_bench: " << error.what() << '\n';
        return 1;
    }
    bench::registerBenchmarks();
    bench::TargetReporter reporter(std::move(display));
    bench::targetReporter = &reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.anyFailed() ? 1 : 0;
}
