// The benchmarks' reporter: it passes every result on to the display format
// asked for on the command line (console or json) and keeps the time
// per iteration of each benchmark, so that the last benchmark of a run can
// set the performance targets' ratios from figures measured in that run.
#ifndef CAELO_BENCH_TARGET_REPORTER_H
#define CAELO_BENCH_TARGET_REPORTER_H

#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace caelo::bench {

// One benchmark's figures: seconds per iteration and its counters.
struct RecordedRun {
    double cpuSecondsPerIteration = 0.0;
    double realSecondsPerIteration = 0.0;
    benchmark::UserCounters counters;
};

class TargetReporter : public benchmark::BenchmarkReporter {
public:
    explicit TargetReporter(std::unique_ptr<benchmark::BenchmarkReporter> display);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    // The figures of a benchmark by its name without aggregate suffix
    // ("PresetPass", "BeltPass/1000"): the median over repetitions when there
    // are several, else the single run.
    [[nodiscard]] std::optional<RecordedRun> find(const std::string& name) const;
    // True when any benchmark stopped with an error (a failed check).
    [[nodiscard]] bool anyFailed() const { return anyFailed_; }

private:
    std::unique_ptr<benchmark::BenchmarkReporter> display_;
    std::map<std::string, RecordedRun> runs_;
    bool anyFailed_ = false;
};

// The display reporter for the --benchmark_format=<console|json> among
// the arguments (console when there is none; null for another format). Call
// it before benchmark::Initialize, which removes the arguments it knows.
[[nodiscard]] std::unique_ptr<benchmark::BenchmarkReporter> displayReporterFor(int argc, char** argv);

} // namespace caelo::bench

#endif
